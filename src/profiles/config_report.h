#pragma once
// A readable account of a configuration record, for the command-line tool.
#include <cstdint>
#include <string>
#include <vector>

#include "settings/device_config.h"

namespace kovral {

// One button's function in words, with its parameters, e.g.
// "Fire Key: R-Button, speed 5, times 0 (until released)".
std::wstring DescribeButton(const DeviceConfig& config, int mode, int button);

// The whole record: both layers, DPI stages (labels of `sensorType`), report
// rate, lighting, pointer settings and the macro slots, with the macro names
// when `macroNames` (record.ini's sections in order) is given.
std::wstring DescribeConfig(const DeviceConfig& config, uint8_t firstRunFlag, uint8_t sensorType,
                            const std::vector<std::wstring>& macroNames);

}  // namespace kovral
