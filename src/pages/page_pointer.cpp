#include "pages/page_pointer.h"

#include <algorithm>

#include "lang/language.h"
#include "lang/messages.h"
#include "settings/defaults.h"
#include "settings/settings_session.h"

namespace kovral {
namespace {

constexpr int kDefaultStep = 6;
constexpr int kMaxStep = 11;

// Indexes of SystemPointerSettings' ownership table, in the order of the writes.
enum Setting { kPrecision, kSpeed, kWheel, kDoubleClick };

int ValidStep(uint8_t step) { return step >= 1 && step <= kMaxStep ? step : kDefaultStep; }

uint8_t ClampStep(int step, int lowest) { return static_cast<uint8_t>(std::clamp(step, lowest, kMaxStep)); }

// Times from 200 to 900 ms map as step = (900 - time) / 70 + 1. A longer time
// would wrap the subtraction and come out as an arbitrary byte (901 ms as the
// fastest step), so anything from 900 ms up is the slowest step, and anything
// under 200 ms the fastest.
uint8_t DoubleClickStep(uint32_t milliseconds) {
  if (milliseconds >= 900) return 1;
  return ClampStep(static_cast<int>((900 - milliseconds) / 70 + 1), 1);
}

// The record bytes one setting is written from. The wheel's two go together:
// the one-screen box decides, and the line step counts only without it.
uint16_t RecordValue(const DeviceConfig& config, int setting) {
  switch (setting) {
    case kPrecision: return config.enhancePrecision;
    case kSpeed: return config.pointerSpeed;
    case kWheel: return static_cast<uint16_t>(config.scrollOneScreen << 8 | config.scrollLines);
    default: return config.doubleClickSpeed;
  }
}

void SetRecordValue(DeviceConfig& config, int setting, uint16_t value) {
  const uint8_t low = static_cast<uint8_t>(value & 0xFF);
  switch (setting) {
    case kPrecision: config.enhancePrecision = low; break;
    case kSpeed: config.pointerSpeed = low; break;
    case kWheel:
      config.scrollOneScreen = static_cast<uint8_t>(value >> 8);
      config.scrollLines = low;
      break;
    default: config.doubleClickSpeed = low; break;
  }
}

bool Homeless(const PointerSettingsApi& api, int setting) {
  return !api.NoHomeReason(static_cast<PointerSettingsApi::Setting>(setting)).empty();
}

bool WriteSetting(int setting, const SystemPointerValues& v, PointerSettingsApi& api, MessageSink& messages) {
  bool written = false;
  const wchar_t* failure = nullptr;
  switch (setting) {
    case kPrecision:
      written = api.SetMouse(v.mouse[0], v.mouse[1], v.mouse[2]);
      failure = kMsgSetMouseFailed;
      break;
    case kSpeed:
      written = api.SetMouseSpeed(v.speed);
      failure = kMsgSetMouseSpeedFailed;
      break;
    case kWheel:
      written = api.SetWheelScrollLines(v.wheelLines);
      failure = kMsgSetWheelLinesFailed;
      break;
    default:
      written = api.SetDoubleClickTime(v.doubleClickTime);
      failure = kMsgSetDoubleClickTimeFailed;
      break;
  }
  if (!written) messages.Show(failure, kCaptionWarning);
  return written;
}

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

SystemPointerSettings::SystemPointerSettings(PointerSettingsApi& api, MessageSink& messages)
    : api_(api), messages_(messages) {}

// Each read that succeeds remembers the record value it produced: the user
// owns a setting only once the record leaves that value. A failed read gives
// the page something to show but nothing to compare with, so that setting is
// left alone until Default sets it.
bool SystemPointerSettings::ReadOnce(DeviceConfig& config) {
  if (readDone_) return false;
  readDone_ = true;

  // A setting the desktop does not keep is not asked for: the record keeps
  // its value, and nothing is written for it later.
  bool mouseRead = false;
  if (!Homeless(api_, kPrecision)) {
    int mouse[3] = {0, 0, 0};
    mouseRead = api_.GetMouse(mouse[0], mouse[1], mouse[2]);  // a failure goes unreported
    config.enhancePrecision = mouseRead && mouse[2] != 0 ? 1 : 0;
  }

  bool speedRead = false;
  if (!Homeless(api_, kSpeed)) {
    int speed = 0;
    speedRead = api_.GetMouseSpeed(speed);
    if (!speedRead) messages_.Show(kMsgGetMouseSpeedFailed, kCaptionWarning);
    config.pointerSpeed = speedRead ? ClampStep(speed / 2 + 1, 1) : kDefaultStep;
  }

  bool wheelRead = false;
  if (!Homeless(api_, kWheel)) {
    uint32_t lines = 0;
    wheelRead = api_.GetWheelScrollLines(lines);
    if (!wheelRead) messages_.Show(kMsgGetWheelLinesFailed, kCaptionWarning);
    const bool oneScreen = wheelRead && lines == kWheelPageScroll;
    config.scrollOneScreen = oneScreen ? 1 : 0;
    config.scrollLines = wheelRead && !oneScreen ? static_cast<uint8_t>(std::min<uint32_t>(lines, kMaxStep)) : 0;
  }

  bool timeRead = false;
  if (!Homeless(api_, kDoubleClick)) {
    uint32_t time = 0;
    timeRead = api_.GetDoubleClickTime(time) && time != 0;
    if (!timeRead) messages_.Show(kMsgGetDoubleClickTimeFailed, kCaptionWarning);
    config.doubleClickSpeed = timeRead ? DoubleClickStep(time) : kDefaultStep;
  }

  const bool read[kSettingCount] = {mouseRead, speedRead, wheelRead, timeRead};
  for (int setting = 0; setting < kSettingCount; ++setting) {
    settings_[setting].known = read[setting];
    settings_[setting].baseline = RecordValue(config, setting);
  }
  return true;
}

// Record values are compared, not edits, so a slider moved and moved back, or
// a record Cancel restored, writes nothing. A written setting takes the
// record's value as its new baseline: moving the slider back to the value
// first read must then be written too. A failed write keeps its old state and
// is tried again by the next Apply.
void SystemPointerSettings::Apply(const DeviceConfig& config) {
  const SystemPointerValues v = PointerValuesFromRecord(config);
  for (int setting = 0; setting < kSettingCount; ++setting) {
    Ownership& owner = settings_[setting];
    const uint16_t value = RecordValue(config, setting);
    if (Homeless(api_, setting)) continue;
    if (!owner.forced && !(owner.known && value != owner.baseline)) continue;
    if (!WriteSetting(setting, v, api_, messages_)) continue;
    owner = {true, value, false};
  }
}

// The system gets its own defaults at once; the record's default steps give
// 550 ms rather than 500 for the double-click, and they are the user's
// choice, so the next Apply writes all four. Each default that reached the
// system is what it holds from now on, read back as the default step (500 ms
// is step 6), so a Cancel shows the defaults; one that failed leaves the
// system's old value, and Cancel shows that.
void SystemPointerSettings::RestoreDefaults(DeviceConfig& config) {
  SystemPointerValues systemDefaults;
  systemDefaults.doubleClickTime = 500;
  DeviceConfig defaults = config;
  RestorePointerDefaults(defaults);
  for (int setting = 0; setting < kSettingCount; ++setting) {
    Ownership& owner = settings_[setting];
    if (Homeless(api_, setting)) continue;
    if (WriteSetting(setting, systemDefaults, api_, messages_)) {
      owner.known = true;
      owner.baseline = RecordValue(defaults, setting);
    }
    owner.forced = true;
  }
  RestorePointerDefaults(config);
}

void SystemPointerSettings::Revert(DeviceConfig& config) {
  if (!readDone_) return;
  for (int setting = 0; setting < kSettingCount; ++setting) {
    settings_[setting].forced = false;
    SetRecordValue(config, setting, settings_[setting].baseline);
  }
}

void CancelEdits(SettingsSession& settings, SystemPointerSettings& pointer) {
  settings.Revert();
  pointer.Revert(settings.config);
}

}  // namespace kovral
