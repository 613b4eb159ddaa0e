#include "pages/page_pointer.h"

#include "lang/language.h"
#include "lang/messages.h"

namespace kovral {
namespace {

constexpr int kDefaultStep = 6;
constexpr int kMaxStep = 11;

int ValidStep(uint8_t step) { return step >= 1 && step <= kMaxStep ? step : kDefaultStep; }

}  // namespace

SystemPointerValues PointerValuesFromRecord(const DeviceConfig& config) {
  SystemPointerValues v;
  if (config.enhancePrecision == 1) {
    v.mouse[0] = 6;
    v.mouse[1] = 10;
    v.mouse[2] = 1;
  }
  const int speedStep = ValidStep(config.pointerSpeed);
  v.speed = speedStep == 1 ? 1 : 2 * speedStep - 2;
  v.wheelLines = config.scrollOneScreen != 0 ? kWheelPageScroll : config.scrollLines;
  v.doubleClickTime = static_cast<uint32_t>(970 - 70 * ValidStep(config.doubleClickSpeed));
  return v;
}

void ApplyPointerSettings(const DeviceConfig& config, PointerSettingsApi& api, MessageSink& messages) {
  const SystemPointerValues v = PointerValuesFromRecord(config);
  if (!api.SetMouse(v.mouse[0], v.mouse[1], v.mouse[2])) messages.Show(kMsgSetMouseFailed, kCaptionWarning);
  if (!api.SetMouseSpeed(v.speed)) messages.Show(kMsgSetMouseSpeedFailed, kCaptionWarning);
  if (!api.SetWheelScrollLines(v.wheelLines)) messages.Show(kMsgSetWheelLinesFailed, kCaptionWarning);
  if (!api.SetDoubleClickTime(v.doubleClickTime)) messages.Show(kMsgSetDoubleClickTimeFailed, kCaptionWarning);
}

}  // namespace kovral
