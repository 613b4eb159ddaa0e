#pragma once
// A notice's balloon worded with the record: a DPI stage notice names the
// stage's DPI, which only the record's dpiLevel and the mouse's sensor type
// tell.
#include <cstdint>
#include <optional>

#include "lang/language.h"
#include "lang/notices.h"
#include "settings/device_config.h"

namespace kovral {

// The balloon for a notice (lang/notices.h), finding the DPI label of the
// stage from the record's dpiLevel and the sensor type the mouse reported.
std::optional<Balloon> NoticeBalloon(UiLanguage language, uint64_t type, int64_t value,
                                     const DeviceConfig& config, uint8_t sensorType);

}  // namespace kovral
