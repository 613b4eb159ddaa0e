#include "settings/notice_balloon.h"

#include <string>

#include "lang/dpi_labels.h"

namespace kovral {

std::optional<Balloon> NoticeBalloon(UiLanguage language, uint64_t type, int64_t value,
                                     const DeviceConfig& config, uint8_t sensorType) {
  std::wstring label;
  if (type == kNoticeDpiStage && value >= 1 && value <= kDpiStageCount)
    label = DpiLevelLabel(sensorType, config.dpiLevel[value - 1]);
  return NoticeBalloon(language, type, value, label);
}

}  // namespace kovral
