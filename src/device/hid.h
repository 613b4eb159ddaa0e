#pragma once
// The HID platform seam. It mirrors the calls the link makes on Windows
// (SetupAPI enumeration, CreateFileW with an access mode, HidD_* and HidP_*,
// ReadFile/WriteFile, overlapped reads with an event) so that the link's
// algorithms are written once and run against the real stack, the simulator
// or a test fake.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kovral {

struct HidAttributes {
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  uint16_t versionNumber = 0;
};

struct HidCaps {
  uint16_t usage = 0;
  uint16_t usagePage = 0;
  uint16_t inputReportByteLength = 0;
  uint16_t outputReportByteLength = 0;
  uint16_t featureReportByteLength = 0;
};

enum class HidCapsStatus { Ok, PreparsedDataFailed, CapsFailed };
enum class HidIoStatus { Ok, Failed, TimedOut };

// Access modes of the opens the link makes.
enum class HidAccess { Query, Read, Write, ReadWrite };

// A manual-reset event: completion event of the notification read and
// wake-up signal of the reader thread.
class HidEvent {
 public:
  virtual ~HidEvent() = default;
  virtual void Set() = 0;
  virtual void Reset() = 0;
  virtual void Wait() = 0;  // no time-out
};

// One open handle on a HID interface. Destroying it closes the handle.
class HidDevice {
 public:
  virtual ~HidDevice() = default;
  virtual bool GetAttributes(HidAttributes& attributes) = 0;
  virtual HidCapsStatus GetCaps(HidCaps& caps) = 0;
  // Feature reports: report[0] is the report ID.
  virtual bool SetFeature(const uint8_t* report, size_t length) = 0;
  virtual bool GetFeature(uint8_t* report, size_t length) = 0;
  // Output and input reports of a data phase, each waiting at most `timeout`.
  virtual HidIoStatus Write(const uint8_t* report, size_t length, std::chrono::milliseconds timeout) = 0;
  virtual HidIoStatus Read(uint8_t* report, size_t length, std::chrono::milliseconds timeout) = 0;
  // Drops input reports already queued for this handle (HidD_FlushQueue).
  virtual void DiscardQueuedInput() = 0;
  // Overlapped notification read: StartRead begins a read whose completion
  // sets `done` (false while an earlier read is still ending); FinishRead,
  // once `done` was set by the completion, returns the bytes transferred and
  // stores them in `report` (0 on failure, and without waiting when the read
  // has not ended); CancelRead asks for a pending read to be cancelled and
  // returns at once: the read then ends with 0 bytes and sets `done`, and
  // `report` is not written to after CancelRead returns. Neither waits, so
  // they may be called under a lock. Destroying the device waits a short,
  // bounded time for its I/O to end.
  virtual bool StartRead(uint8_t* report, size_t length, HidEvent& done) = 0;
  virtual size_t FinishRead() = 0;
  virtual void CancelRead() = 0;
};

// A snapshot of the present HID interfaces (SetupDiGetClassDevsW); destroying
// it destroys the list.
class HidEnumeration {
 public:
  enum class Status { Ok, NoMoreItems, DetailFailed };
  virtual ~HidEnumeration() = default;
  virtual Status Interface(uint32_t index, std::wstring& devicePath) = 0;
};

class HidPlatform {
 public:
  virtual ~HidPlatform() = default;
  // nullptr when the interface list cannot be created.
  virtual std::unique_ptr<HidEnumeration> Enumerate() = 0;
  // nullptr when the open fails. `overlapped` asks for FILE_FLAG_OVERLAPPED.
  virtual std::unique_ptr<HidDevice> Open(const std::wstring& devicePath, HidAccess access, bool overlapped) = 0;
  virtual std::unique_ptr<HidEvent> NewEvent() = 0;
};

}  // namespace kovral
