#pragma once
// Writing the operating system's pointer settings from the record: what OK
// and Apply do after the configuration went to the mouse.
#include <cstdint>
#include <memory>

#include "base/message_sink.h"
#include "settings/device_config.h"

namespace kovral {

// The system calls, one per setting (SystemParametersInfoW on Windows). Each
// returns false when the system refused.
class PointerSettingsApi {
 public:
  virtual ~PointerSettingsApi() = default;
  // SPI_SETMOUSE: thresholds and acceleration; SPIF_SENDCHANGE only.
  virtual bool SetMouse(int threshold1, int threshold2, int acceleration) = 0;
  // SPI_SETMOUSESPEED 1..20; SPIF_SENDCHANGE only.
  virtual bool SetMouseSpeed(int speed) = 0;
  // SPI_SETWHEELSCROLLLINES; SPIF_SENDCHANGE only.
  virtual bool SetWheelScrollLines(uint32_t lines) = 0;
  // SPI_SETDOUBLECLICKTIME; also saved in the user's profile.
  virtual bool SetDoubleClickTime(uint32_t milliseconds) = 0;
};

// The running system's settings (Win32 build only).
std::unique_ptr<PointerSettingsApi> MakeSystemPointerSettings();

// One notch scrolls one screen (WHEEL_PAGESCROLL).
constexpr uint32_t kWheelPageScroll = 0xFFFFFFFFu;

struct SystemPointerValues {
  int mouse[3] = {0, 0, 0};
  int speed = 10;
  uint32_t wheelLines = 3;
  uint32_t doubleClickTime = 550;
};

// The record's steps as system values. A speed or double-click step outside
// the slider's 1..11 (a record never edited on the advanced page, or an old
// file) is taken as the default step 6, so OK never sets a crawling pointer
// or a two-second double-click from a byte nobody chose.
SystemPointerValues PointerValuesFromRecord(const DeviceConfig& config);

// The four calls in order; each failure shows its message (caption
// "Warning") and the next call still runs.
void ApplyPointerSettings(const DeviceConfig& config, PointerSettingsApi& api, MessageSink& messages);

}  // namespace kovral
