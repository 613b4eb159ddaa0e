// The Win32 HID binding on a machine without the mouse. Its overlapped
// reads and writes are exercised on a named pipe, which takes ReadFile and
// WriteFile like a HID handle does.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "device/hid_system.h"

namespace kovral {
namespace {

using namespace std::chrono_literals;

TEST(WinHid, EnumerationWorksAndFindsNoMouse) {
  auto platform = MakeSystemHidPlatform();
  auto list = platform->Enumerate();
  ASSERT_TRUE(list);
  std::wstring path;
  uint32_t index = 0;
  for (; index < 256; ++index) {
    const auto status = list->Interface(index, path);
    if (status == HidEnumeration::Status::NoMoreItems) break;
    if (status != HidEnumeration::Status::Ok) continue;
    auto query = platform->Open(path, HidAccess::Query, false);
    HidAttributes a;
    if (query && query->GetAttributes(a)) {
      EXPECT_FALSE(a.vendorId == 0x04D9 && a.productId == 0xA09F);
    }
  }
  EXPECT_LT(index, 256u);
}

TEST(WinHid, OpeningAMissingInterfaceFails) {
  auto platform = MakeSystemHidPlatform();
  EXPECT_FALSE(platform->Open(L"\\\\?\\hid#vid_04d9&pid_a09f&mi_01&col01#8&35a2b7e1&0&0000#"
                              L"{4d1e55b2-f16f-11cf-88cb-001111000030}",
                              HidAccess::Query, false));
  EXPECT_FALSE(platform->Open(L"", HidAccess::ReadWrite, true));
}

TEST(WinHid, EventsSetResetAndWakeAnotherThread) {
  auto platform = MakeSystemHidPlatform();
  auto event = platform->NewEvent();
  ASSERT_TRUE(event);
  event->Set();
  event->Wait();  // set: returns at once
  event->Wait();  // manual reset: still set
  event->Reset();
  std::atomic<bool> setterRan{false};
  std::thread setter([&] {
    std::this_thread::sleep_for(30ms);
    setterRan = true;
    event->Set();
  });
  event->Wait();
  EXPECT_TRUE(setterRan);  // after the reset, Wait blocked until the set
  setter.join();
}

class PipeServer {
 public:
  explicit PipeServer(const wchar_t* name)
      : name_(name),
        pipe_(CreateNamedPipeW(name, PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 4096,
                               4096, 0, nullptr)) {}
  ~PipeServer() {
    if (pipe_ != INVALID_HANDLE_VALUE) CloseHandle(pipe_);
  }
  bool ok() const { return pipe_ != INVALID_HANDLE_VALUE; }
  void Accept() { ConnectNamedPipe(pipe_, nullptr); }  // the client is already there
  bool Send(const std::vector<uint8_t>& bytes) {
    DWORD written = 0;
    return WriteFile(pipe_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  std::vector<uint8_t> Receive(size_t size) {
    std::vector<uint8_t> bytes(size);
    DWORD read = 0;
    ReadFile(pipe_, bytes.data(), static_cast<DWORD>(size), &read, nullptr);
    bytes.resize(read);
    return bytes;
  }
  const wchar_t* name() const { return name_; }

 private:
  const wchar_t* name_;
  HANDLE pipe_;
};

TEST(WinHid, OverlappedReadsAreBoundedAndCancelled) {
  PipeServer server(L"\\\\.\\pipe\\kovral-hid-binding-read");
  ASSERT_TRUE(server.ok());
  auto platform = MakeSystemHidPlatform();
  auto handle = platform->Open(server.name(), HidAccess::ReadWrite, true);
  ASSERT_TRUE(handle);
  server.Accept();

  uint8_t buffer[40] = {};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(handle->Read(buffer, 33, 50ms), HidIoStatus::TimedOut);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 45ms);
  ASSERT_TRUE(server.Send({0, 1, 2, 3}));
  EXPECT_EQ(handle->Read(buffer, 33, 500ms), HidIoStatus::Ok);  // the cancelled read took nothing
  EXPECT_EQ(buffer[3], 3);

  const uint8_t chunk[33] = {0, 0xA1, 0xA2};
  EXPECT_EQ(handle->Write(chunk, sizeof chunk, 500ms), HidIoStatus::Ok);
  const auto received = server.Receive(64);
  ASSERT_EQ(received.size(), 33u);
  EXPECT_EQ(received[2], 0xA2);
}

TEST(WinHid, NotificationReadsCompleteOrCancelWithZeroBytes) {
  PipeServer server(L"\\\\.\\pipe\\kovral-hid-binding-notify");
  ASSERT_TRUE(server.ok());
  auto platform = MakeSystemHidPlatform();
  auto handle = platform->Open(server.name(), HidAccess::Read, true);
  ASSERT_TRUE(handle);
  server.Accept();
  auto event = platform->NewEvent();

  uint8_t report[40] = {};
  ASSERT_TRUE(handle->StartRead(report, 8, *event));
  ASSERT_TRUE(server.Send({6, 7, 0, 2, 0, 0, 0, 0}));
  event->Wait();
  EXPECT_EQ(handle->FinishRead(), 8u);
  EXPECT_EQ(report[3], 2);

  event->Reset();
  ASSERT_TRUE(handle->StartRead(report, 8, *event));
  std::thread canceller([&] {
    std::this_thread::sleep_for(20ms);
    handle->CancelRead();
  });
  event->Wait();  // the cancelled read's completion sets the event
  canceller.join();
  EXPECT_EQ(handle->FinishRead(), 0u);

  // A read whose result the reader skipped does not block the next one.
  event->Reset();
  ASSERT_TRUE(handle->StartRead(report, 8, *event));
  ASSERT_TRUE(server.Send({6, 5, 0, 4, 0, 0, 0, 0}));
  event->Wait();
  event->Reset();
  ASSERT_TRUE(handle->StartRead(report, 8, *event));
  ASSERT_TRUE(server.Send({6, 9, 0, 3, 0, 0, 0, 0}));
  event->Wait();
  EXPECT_EQ(handle->FinishRead(), 8u);
  EXPECT_EQ(report[1], 9);

  // A read given up on writes nothing into the reader's buffer, even when its
  // report came before the cancel: the bytes reach it through FinishRead only.
  event->Reset();
  uint8_t abandoned[40] = {};
  ASSERT_TRUE(handle->StartRead(abandoned, 8, *event));
  ASSERT_TRUE(server.Send({6, 8, 0, 1, 0, 0, 0, 0}));
  event->Wait();
  handle->CancelRead();
  EXPECT_EQ(handle->FinishRead(), 0u);
  EXPECT_EQ(abandoned[1], 0);

  // An event of another platform cannot carry a Win32 completion.
  class ForeignEvent final : public HidEvent {
   public:
    void Set() override {}
    void Reset() override {}
    void Wait() override {}
  } foreign;
  EXPECT_FALSE(handle->StartRead(report, 8, foreign));

  // Closing with a read pending cancels it and returns promptly.
  event->Reset();
  ASSERT_TRUE(handle->StartRead(report, 8, *event));
  const auto closing = std::chrono::steady_clock::now();
  handle.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - closing, 1s);
}

}  // namespace
}  // namespace kovral
