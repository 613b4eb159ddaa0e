#pragma once
// The operating system's pointer settings as the advanced page edits them:
// read into the record the first time the page is shown in a run, written back
// by OK and Apply only where the user changed them, or at once by Default.
#include <cstdint>
#include <memory>
#include <string>

#include "base/message_sink.h"
#include "settings/device_config.h"

namespace kovral {

class SettingsSession;

// The system calls, one per setting (SystemParametersInfoW and
// GetDoubleClickTime on Windows). Each returns false when the system refused;
// a failed read leaves its outputs untouched.
class PointerSettingsApi {
 public:
  virtual ~PointerSettingsApi() = default;
  // SPI_GETMOUSE: thresholds and acceleration.
  virtual bool GetMouse(int& threshold1, int& threshold2, int& acceleration) = 0;
  // SPI_GETMOUSESPEED: 1..20.
  virtual bool GetMouseSpeed(int& speed) = 0;
  // SPI_GETWHEELSCROLLLINES: lines per notch, or kWheelPageScroll.
  virtual bool GetWheelScrollLines(uint32_t& lines) = 0;
  // GetDoubleClickTime; a time of 0 is its failure.
  virtual bool GetDoubleClickTime(uint32_t& milliseconds) = 0;
  // SPI_SETMOUSE: thresholds and acceleration; SPIF_SENDCHANGE only.
  virtual bool SetMouse(int threshold1, int threshold2, int acceleration) = 0;
  // SPI_SETMOUSESPEED 1..20; SPIF_SENDCHANGE only.
  virtual bool SetMouseSpeed(int speed) = 0;
  // SPI_SETWHEELSCROLLLINES; SPIF_SENDCHANGE only.
  virtual bool SetWheelScrollLines(uint32_t lines) = 0;
  // SPI_SETDOUBLECLICKTIME; also saved in the user's profile.
  virtual bool SetDoubleClickTime(uint32_t milliseconds) = 0;

  enum class Setting { Precision, Speed, Wheel, DoubleClick };
  // Empty where the desktop keeps the setting; otherwise why it does not
  // (a desktop without a wheel setting), so the page shows the control
  // disabled with the reason instead of failing reads and writes.
  virtual std::wstring NoHomeReason(Setting) const { return {}; }
};

// The running system's settings (Windows; GSettings on Linux).
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

// The pointer settings of one run, between the system and the record. Lives
// as long as the main dialog.
class SystemPointerSettings {
 public:
  SystemPointerSettings(PointerSettingsApi& api, MessageSink& messages);

  // The advanced page's first showing: reads the four settings into config.
  // Later calls do nothing and return false.
  bool ReadOnce(DeviceConfig& config);
  bool readDone() const { return readDone_; }
  // Why the desktop keeps no such setting; empty where it does. Such a
  // setting is never read or written, and its control is disabled.
  std::wstring NoHomeReason(PointerSettingsApi::Setting setting) const { return api_.NoHomeReason(setting); }

  // OK and Apply: writes the settings whose record value the user changed
  // since they were read or last written, and all four after Default.
  void Apply(const DeviceConfig& config);

  // The Default button: sets the system's defaults at once and the record's
  // default steps, which the next Apply writes.
  void RestoreDefaults(DeviceConfig& config);

  // Cancel: puts into the record's pointer fields what the system holds (the
  // values last read from it or written to it) and forgets a pending write
  // of Default, so the next Apply writes nothing the user has not changed
  // again. Before the first read the record's fields are left as they are.
  void Revert(DeviceConfig& config);

 private:
  // Precision, speed, wheel, double-click: the order of the writes.
  static constexpr int kSettingCount = 4;
  struct Ownership {
    bool known = false;  // the system holds what the record value baseline gives
    uint16_t baseline = 0;  // also after a failed read: the step the page showed for it
    bool forced = false;  // Default was used: the record's steps are the user's choice
  };
  PointerSettingsApi& api_;
  MessageSink& messages_;
  bool readDone_ = false;
  Ownership settings_[kSettingCount];
};

// Cancel in the main window: the record and the row texts as OK or Apply
// last committed them, with the pointer fields as the system has them.
// (config.bin's pointer steps are the record's when the system was never
// read; once it was, they may differ from the system, and OK would write them.)
void CancelEdits(SettingsSession& settings, SystemPointerSettings& pointer);

}  // namespace kovral
