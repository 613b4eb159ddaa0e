#include <windows.h>

#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "device/hid.h"
#include "device/hid_class_win.h"
#include "device/hid_system.h"
#include "base/handles_win.h"

namespace kovral {
namespace {


// The HID device-interface class.

static_assert(sizeof(HIDD_ATTRIBUTES) == 12, "HIDD_ATTRIBUTES as hid.dll lays it out");
static_assert(offsetof(HIDD_ATTRIBUTES, VendorID) == 4 && offsetof(HIDD_ATTRIBUTES, ProductID) == 6 &&
              offsetof(HIDD_ATTRIBUTES, VersionNumber) == 8);
static_assert(sizeof(HIDP_CAPS) == 64, "HIDP_CAPS as hid.dll lays it out");
static_assert(offsetof(HIDP_CAPS, InputReportByteLength) == 4 && offsetof(HIDP_CAPS, OutputReportByteLength) == 6 &&
              offsetof(HIDP_CAPS, FeatureReportByteLength) == 8);
// The sizes SetupAPI checks are those of the build's own structures (32 and
// 8 bytes in 64-bit Windows), so they are always taken with sizeof.
static_assert(sizeof(void*) != 8 || sizeof(SP_DEVICE_INTERFACE_DATA) == 32);
static_assert(sizeof(void*) != 8 || sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == 8);

class OwnedDeviceInfoList {
 public:
  explicit OwnedDeviceInfoList(HDEVINFO list) : list_(list) {}
  ~OwnedDeviceInfoList() {
    if (list_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(list_);
  }
  OwnedDeviceInfoList(const OwnedDeviceInfoList&) = delete;
  OwnedDeviceInfoList& operator=(const OwnedDeviceInfoList&) = delete;
  HDEVINFO get() const { return list_; }

 private:
  HDEVINFO list_;
};

class OwnedPreparsedData {
 public:
  ~OwnedPreparsedData() {
    if (data_) HidD_FreePreparsedData(data_);
  }
  PHIDP_PREPARSED_DATA* out() { return &data_; }
  PHIDP_PREPARSED_DATA get() const { return data_; }

 private:
  PHIDP_PREPARSED_DATA data_ = nullptr;
};

class WinEvent final : public HidEvent {
 public:
  WinEvent() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  bool valid() const { return event_.valid(); }
  HANDLE get() const { return event_.get(); }
  void Set() override { SetEvent(event_.get()); }
  void Reset() override { ResetEvent(event_.get()); }
  void Wait() override { WaitForSingleObject(event_.get(), INFINITE); }

 private:
  OwnedHandle event_;
};

class WinEnumeration final : public HidEnumeration {
 public:
  explicit WinEnumeration(HDEVINFO list) : list_(list) {}

  Status Interface(uint32_t index, std::wstring& devicePath) override {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    if (!SetupDiEnumDeviceInterfaces(list_.get(), nullptr, &kHidInterfaceClass, index, &data)) {
      return Status::NoMoreItems;
    }
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailW(list_.get(), &data, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return Status::DetailFailed;
    // 8-byte units keep the structure aligned.
    std::vector<uint64_t> storage((required + sizeof(uint64_t) - 1) / sizeof(uint64_t));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(list_.get(), &data, detail, required, nullptr, nullptr)) {
      return Status::DetailFailed;
    }
    devicePath = detail->DevicePath;
    return Status::Ok;
  }

 private:
  OwnedDeviceInfoList list_;
};

// How long giving up a timed-out data report, or closing a handle, waits for
// the cancelled I/O to end. Cancellation normally completes at once; a driver
// that is slow to cancel must not hold the caller (the window, the reader's
// lock, a close) for longer than this.
constexpr DWORD kCancelWaitMs = 100;

// The memory the system writes into or reads from while an overlapped
// operation is in flight. The device owns it on the heap, never the caller's
// buffer or a stack frame, so an operation whose cancellation does not end in
// time can be left behind: it keeps its slot (the next operation on the slot
// fails until it has ended), and a device closed before then leaks the slot
// on purpose rather than free memory the system may still write into.
struct IoSlot {
  OVERLAPPED overlapped{};
  std::vector<uint8_t> buffer;
  bool busy = false;  // started, and its result not taken yet
};

bool Ended(IoSlot& slot) { return HasOverlappedIoCompleted(&slot.overlapped); }

// Waits at most kCancelWaitMs for the slot's operation to end. Polls, since
// the completion event of a notification read belongs to its reader, which
// may reset it.
bool WaitForEnd(IoSlot& slot) {
  const ULONGLONG deadline = GetTickCount64() + kCancelWaitMs;
  while (!Ended(slot)) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(1);
  }
  return true;
}

// One open handle. A handle opened for overlapped I/O bounds its reads and
// writes by the caller's time-out and cancels what did not finish, so a mouse
// that stops answering cannot hang the program; no cancel waits without a
// bound.
class WinHidDevice final : public HidDevice {
 public:
  WinHidDevice(HANDLE handle, bool overlapped) : handle_(handle), overlapped_(overlapped) {
    if (overlapped_) ioEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  }
  ~WinHidDevice() override {
    // Closing the handle cancels whatever is in flight; each operation is
    // given a bounded time to end first.
    CancelRead();
    Settle(read_);
    Settle(io_);
    handle_.reset();
  }
  WinHidDevice(const WinHidDevice&) = delete;
  WinHidDevice& operator=(const WinHidDevice&) = delete;

  bool GetAttributes(HidAttributes& attributes) override {
    HIDD_ATTRIBUTES a{};
    a.Size = sizeof a;
    if (!HidD_GetAttributes(handle_.get(), &a)) return false;
    attributes.vendorId = a.VendorID;
    attributes.productId = a.ProductID;
    attributes.versionNumber = a.VersionNumber;
    return true;
  }

  HidCapsStatus GetCaps(HidCaps& caps) override {
    OwnedPreparsedData preparsed;
    if (!HidD_GetPreparsedData(handle_.get(), preparsed.out())) return HidCapsStatus::PreparsedDataFailed;
    HIDP_CAPS c{};
    if (HidP_GetCaps(preparsed.get(), &c) != HIDP_STATUS_SUCCESS) return HidCapsStatus::CapsFailed;
    caps.usage = c.Usage;
    caps.usagePage = c.UsagePage;
    caps.inputReportByteLength = c.InputReportByteLength;
    caps.outputReportByteLength = c.OutputReportByteLength;
    caps.featureReportByteLength = c.FeatureReportByteLength;
    return HidCapsStatus::Ok;
  }

  // Synchronous, with no time-out the system offers: the link times them and
  // gives up the rest of a sequence after one that stalled.
  bool SetFeature(const uint8_t* report, size_t length) override {
    return HidD_SetFeature(handle_.get(), const_cast<uint8_t*>(report), static_cast<ULONG>(length));
  }

  bool GetFeature(uint8_t* report, size_t length) override {
    return HidD_GetFeature(handle_.get(), report, static_cast<ULONG>(length));
  }

  HidIoStatus Write(const uint8_t* report, size_t length, std::chrono::milliseconds timeout) override {
    if (!overlapped_) {
      DWORD written = 0;
      return WriteFile(handle_.get(), report, static_cast<DWORD>(length), &written, nullptr) ? HidIoStatus::Ok
                                                                                            : HidIoStatus::Failed;
    }
    if (!PrepareDataSlot(length)) return HidIoStatus::Failed;
    std::memcpy(io_->buffer.data(), report, length);
    return Bounded(timeout, [&](OVERLAPPED* ov) {
      return WriteFile(handle_.get(), io_->buffer.data(), static_cast<DWORD>(length), nullptr, ov);
    });
  }

  // A handle opened without overlapped I/O cannot bound its wait: its read
  // blocks until a report comes.
  HidIoStatus Read(uint8_t* report, size_t length, std::chrono::milliseconds timeout) override {
    if (!overlapped_) {
      DWORD read = 0;
      return ReadFile(handle_.get(), report, static_cast<DWORD>(length), &read, nullptr) ? HidIoStatus::Ok
                                                                                        : HidIoStatus::Failed;
    }
    if (!PrepareDataSlot(length)) return HidIoStatus::Failed;
    const HidIoStatus status = Bounded(timeout, [&](OVERLAPPED* ov) {
      return ReadFile(handle_.get(), io_->buffer.data(), static_cast<DWORD>(length), nullptr, ov);
    });
    if (status == HidIoStatus::Ok) std::memcpy(report, io_->buffer.data(), length);
    return status;
  }

  void DiscardQueuedInput() override { HidD_FlushQueue(handle_.get()); }

  // The read goes into the device's own buffer; `report` receives its bytes
  // in FinishRead only, so a read that ends after the reader gave it up
  // writes nothing of the reader's.
  bool StartRead(uint8_t* report, size_t length, HidEvent& done) override {
    auto* event = dynamic_cast<WinEvent*>(&done);
    if (!event || !event->valid() || !overlapped_) return false;
    std::lock_guard<std::mutex> lock(readMutex_);
    if (!read_) return false;
    if (read_->busy) {
      // A reader may skip the result of a read it no longer wants, or have it
      // cancelled; once that read has ended the handle is free for the next.
      if (!Ended(*read_)) return false;
      read_->busy = false;
    }
    read_->buffer.assign(length, 0);
    read_->overlapped = OVERLAPPED{};
    read_->overlapped.hEvent = event->get();
    if (!ReadFile(handle_.get(), read_->buffer.data(), static_cast<DWORD>(length), nullptr, &read_->overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
      return false;
    }
    // Also when the read finished at once: the result is fetched, and the
    // event was set, as for any completion.
    read_->busy = true;
    readTarget_ = report;
    return true;
  }

  size_t FinishRead() override {
    std::lock_guard<std::mutex> lock(readMutex_);
    if (!read_ || !read_->busy || !Ended(*read_)) return 0;
    DWORD transferred = 0;
    const BOOL ok = GetOverlappedResult(handle_.get(), &read_->overlapped, &transferred, FALSE);
    read_->busy = false;
    uint8_t* target = readTarget_;
    readTarget_ = nullptr;
    if (!ok || !target) return 0;
    const size_t bytes = std::min<size_t>(transferred, read_->buffer.size());
    std::memcpy(target, read_->buffer.data(), bytes);
    return bytes;
  }

  // Asks for the cancellation and returns: the link calls this under its
  // notification lock. The read counts as ended with 0 bytes; its end sets
  // the reader's event.
  void CancelRead() override {
    std::lock_guard<std::mutex> lock(readMutex_);
    if (!read_ || !read_->busy) return;
    readTarget_ = nullptr;
    if (!Ended(*read_)) CancelIoEx(handle_.get(), &read_->overlapped);
  }

 private:
  // The data slot is free unless an operation given up on is still in flight.
  bool PrepareDataSlot(size_t length) {
    if (!io_ || !ioEvent_.valid()) return false;
    if (io_->busy) {
      if (!Ended(*io_)) return false;
      io_->busy = false;
    }
    io_->buffer.assign(length, 0);
    return true;
  }

  template <typename Start>
  HidIoStatus Bounded(std::chrono::milliseconds timeout, Start start) {
    OVERLAPPED& ov = io_->overlapped;
    ov = OVERLAPPED{};
    ov.hEvent = ioEvent_.get();
    ResetEvent(ov.hEvent);
    DWORD transferred = 0;
    if (!start(&ov)) {
      if (GetLastError() != ERROR_IO_PENDING) return HidIoStatus::Failed;
      const DWORD wait = WaitForSingleObject(ov.hEvent, static_cast<DWORD>(timeout.count()));
      if (wait != WAIT_OBJECT_0) {
        // Cancel, and give the cancellation a bounded time. An operation
        // that has not ended by then keeps the slot; its buffer is the
        // device's, so returning now is safe.
        CancelIoEx(handle_.get(), &ov);
        if (WaitForSingleObject(ov.hEvent, kCancelWaitMs) != WAIT_OBJECT_0 || !Ended(*io_)) {
          io_->busy = true;
          return HidIoStatus::TimedOut;
        }
        // It may have completed before the cancel took.
        return GetOverlappedResult(handle_.get(), &ov, &transferred, FALSE) ? HidIoStatus::Ok
                                                                           : HidIoStatus::TimedOut;
      }
    }
    return GetOverlappedResult(handle_.get(), &ov, &transferred, FALSE) ? HidIoStatus::Ok : HidIoStatus::Failed;
  }

  // Before the handle closes: an operation still in flight is cancelled and
  // waited for, boundedly; one that does not end keeps its memory for good.
  void Settle(std::unique_ptr<IoSlot>& slot) {
    if (!slot || !slot->busy || Ended(*slot)) return;
    CancelIoEx(handle_.get(), &slot->overlapped);
    if (!WaitForEnd(*slot)) (void)slot.release();
  }

  OwnedHandle handle_;
  const bool overlapped_;
  OwnedHandle ioEvent_;
  std::unique_ptr<IoSlot> io_ = std::make_unique<IoSlot>();  // data-phase reads and writes
  std::mutex readMutex_;  // the notification read's state; never held across a wait
  std::unique_ptr<IoSlot> read_ = std::make_unique<IoSlot>();
  uint8_t* readTarget_ = nullptr;  // the reader's buffer while its read may still deliver
};

class WinHidPlatform final : public HidPlatform {
 public:
  std::unique_ptr<HidEnumeration> Enumerate() override {
    HDEVINFO list = SetupDiGetClassDevsW(&kHidInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WinEnumeration>(list);
  }

  std::unique_ptr<HidDevice> Open(const std::wstring& devicePath, HidAccess access, bool overlapped) override {
    DWORD desired = 0;
    switch (access) {
      case HidAccess::Query: desired = 0; break;
      case HidAccess::Read: desired = GENERIC_READ; break;
      case HidAccess::Write: desired = GENERIC_WRITE; break;
      case HidAccess::ReadWrite: desired = GENERIC_READ | GENERIC_WRITE; break;
    }
    const DWORD flags = overlapped ? (FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL) : 0;
    HANDLE handle = CreateFileW(devicePath.c_str(), desired, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WinHidDevice>(handle, overlapped);
  }

  std::unique_ptr<HidEvent> NewEvent() override {
    auto event = std::make_unique<WinEvent>();
    if (!event->valid()) return nullptr;
    return event;
  }
};

}  // namespace

std::unique_ptr<HidPlatform> MakeSystemHidPlatform() { return std::make_unique<WinHidPlatform>(); }

}  // namespace kovral
