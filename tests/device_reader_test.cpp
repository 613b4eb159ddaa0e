// The notification reader on its own thread, against the scripted platform.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <thread>

#include "device/device_link.h"
#include "device_test_support.h"
#include "settings/device_config.h"

namespace kovral {
namespace {

using namespace std::chrono_literals;
using fake::ConfigCollection;
using fake::FakeMouse;
using fake::NotifyCollection;
using fake::NotifySource;
using Notices = std::vector<std::pair<int, int>>;

const std::wstring kArrivalName = L"\\\\?\\HID#VID_04D9&PID_A09F&MI_01&Col02#8&35a2b7e1&0&0001";

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = 3s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

class EventLog {
 public:
  void Add(int code, int value) {
    std::lock_guard<std::mutex> lock(mutex_);
    items_.emplace_back(code, value);
  }
  Notices Items() {
    std::lock_guard<std::mutex> lock(mutex_);
    return items_;
  }
  size_t Size() { return Items().size(); }

 private:
  std::mutex mutex_;
  Notices items_;
};

struct ReaderHarness : fake::LinkHarness {
  std::shared_ptr<NotifySource> source = std::make_shared<NotifySource>(&log);
  EventLog events;
  std::thread reader;

  ReaderHarness() {
    link.notify = [this](int code, int value) { events.Add(code, value); };
    platform.interfaces = {NotifyCollection(source), ConfigCollection()};
    EXPECT_TRUE(CreateReadEvent(link));
  }
  ~ReaderHarness() { Stop(); }
  void Start() {
    reader = std::thread([this] { NotifyReaderLoop(link); });
  }
  void Stop() {
    if (!reader.joinable()) return;
    StopNotifyReader(link);
    reader.join();
  }
  void Push(std::vector<uint8_t> report) {
    report.resize(8, 0);
    source->Push(std::move(report));
  }
};

TEST(NotifyReaderTest, ForwardsEventCodes5789OfReport6WithTheValueFromByte3) {
  ReaderHarness h;
  ASSERT_TRUE(ConnectDevice(h.link));
  h.Start();
  ASSERT_TRUE(WaitUntil([&] { return h.source->pending(); }));
  h.Push({6, 7, 0x22, 3});
  h.Push({5, 7, 0, 1});   // another report ID
  h.Push({6, 6, 0, 1});   // an event code the program does not know
  h.Push({6, 5, 0x11, 8});
  h.Push({6, 14, 0, 0});  // the handshake's codes never come from the mouse
  h.Push({6, 15, 0, 0});
  h.Push({6, 8, 0, 2});
  h.Push({6, 10, 0, 1});
  h.Push({6, 9, 0, 12});
  h.Push({6, 7, 0, 4});  // last: when it has arrived, everything before it has been handled
  ASSERT_TRUE(WaitUntil([&] { return h.events.Size() >= 6; }));
  h.Stop();
  EXPECT_EQ(h.events.Items(), (Notices{{14, 0}, {7, 3}, {5, 8}, {8, 2}, {9, 12}, {7, 4}}));
}

// A link that failed its handshake is not read; once a handshake passes the
// reader starts, and reports the mouse sent meanwhile arrive.
TEST(NotifyReaderTest, WaitsWhileNotReadyAndStartsAfterAHandshakePasses) {
  ReaderHarness h;
  h.platform.mouse.handshake = FakeMouse::Handshake::PlainEcho;
  ASSERT_TRUE(ConnectDevice(h.link));
  ASSERT_EQ(h.link.ready, 0);
  h.Start();
  h.Push({6, 7, 0, 1});
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(h.source->attempts(), 0);
  EXPECT_EQ(h.events.Items(), (Notices{{15, 0}}));

  h.platform.mouse.handshake = FakeMouse::Handshake::ScrambledEcho;
  Handshake(h.link);
  ASSERT_TRUE(WaitUntil([&] { return h.events.Size() >= 3; }));
  EXPECT_EQ(h.events.Items(), (Notices{{15, 0}, {14, 0}, {7, 1}}));
}

// Re-opening cancels the pending read and lets it complete before its handle
// is closed, and the reader starts again only once the new link is ready.
TEST(NotifyReaderTest, ReopeningCancelsTheReadBeforeClosingAndResumesAfterTheHandshake) {
  ReaderHarness h;
  ASSERT_TRUE(ConnectDevice(h.link));
  h.Start();
  ASSERT_TRUE(WaitUntil([&] { return h.source->pending(); }));
  h.platform.logOpens = true;
  h.log.Clear();

  DeviceImage image;
  const DeviceChangeResult r = HandleDeviceChange(h.link, image, 0x8000, 5, kArrivalName);
  EXPECT_TRUE(r.resumeReader);
  ASSERT_TRUE(WaitUntil([&] { return h.source->pending(); }));
  const std::vector<std::string> lines = h.log.Lines();
  auto at = [&](const std::string& prefix) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
  };
  auto nth = [&](const std::string& prefix, int n) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].rfind(prefix, 0) == 0 && --n == 0) return static_cast<int>(i);
    return -1;
  };
  ASSERT_GE(at("CANCEL-READ"), 0);
  EXPECT_LT(at("CANCEL-READ"), at("CLOSE "));
  // No read starts before the handshake's second answer, which made the link ready.
  ASSERT_GE(nth("GET", 2), 0);
  EXPECT_GT(at("START-READ"), nth("GET", 2));

  h.Push({6, 8, 0, 2});
  ASSERT_TRUE(WaitUntil([&] { return h.events.Size() >= 3; }));
  EXPECT_EQ(h.events.Items(), (Notices{{14, 0}, {14, 0}, {8, 2}}));
}

// Closing a handle may wait for its cancelled read to end (boundedly, on
// Windows); it never does so holding the notification lock, which the reader
// and every wake-up need.
TEST(NotifyReaderTest, HandlesCloseWithTheNotificationLockFree) {
  ReaderHarness h;
  ASSERT_TRUE(ConnectDevice(h.link));
  h.Start();
  ASSERT_TRUE(WaitUntil([&] { return h.source->pending(); }));
  int closes = 0, lockFree = 0;
  h.platform.onClose = [&] {
    ++closes;
    // Tried, not waited for: a close under the lock must fail here, not hang.
    auto taken = std::async(std::launch::async, [&] {
      return WaitUntil([&] {
        if (!h.link.notifyMutex.try_lock()) return false;
        h.link.notifyMutex.unlock();
        return true;
      }, 1s);
    });
    lockFree += taken.get();
  };
  CloseDevice(h.link);
  h.platform.onClose = nullptr;
  EXPECT_EQ(closes, 3);  // the notification read and write handles, the configuration handle
  EXPECT_EQ(lockFree, closes);
}

// The mouse pulled out: the reader stops reading and sends nothing; plugged
// back in, it reads again, and what the mouse sent meanwhile is not lost.
TEST(NotifyReaderTest, UnplugLeavesTheReaderWaitingAndReplugResumesIt) {
  ReaderHarness h;
  ASSERT_TRUE(ConnectDevice(h.link));
  h.Start();
  ASSERT_TRUE(WaitUntil([&] { return h.source->pending(); }));

  const auto interfaces = h.platform.interfaces;
  h.platform.interfaces.clear();
  DeviceImage image;
  const DeviceChangeResult gone = HandleDeviceChange(h.link, image, 0x8004, 5, kArrivalName);
  EXPECT_TRUE(gone.hideWindow);
  EXPECT_EQ(h.link.ready, 0);
  EXPECT_FALSE(h.source->pending());
  h.Push({6, 7, 0, 2});
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(h.events.Items(), (Notices{{14, 0}, {15, 0}}));

  h.platform.interfaces = interfaces;
  const DeviceChangeResult back = HandleDeviceChange(h.link, image, 0x8000, 5, kArrivalName);
  EXPECT_TRUE(back.resumeReader);
  ASSERT_TRUE(WaitUntil([&] { return h.events.Size() >= 4; }));
  EXPECT_EQ(h.events.Items(), (Notices{{14, 0}, {15, 0}, {14, 0}, {7, 2}}));
}

// The reader blocks in its synchronous message while the window is busy; the
// interface thread must still be able to re-open the link.
TEST(NotifyReaderTest, TheInterfaceThreadNeverWaitsForTheReader) {
  ReaderHarness h;
  std::mutex gate;
  std::condition_variable opened;
  bool release = false;
  std::atomic<bool> inside{false};
  h.link.notify = [&](int code, int value) {
    h.events.Add(code, value);
    if (code != 7) return;
    inside = true;
    std::unique_lock<std::mutex> lock(gate);
    opened.wait(lock, [&] { return release; });
  };
  ASSERT_TRUE(ConnectDevice(h.link));
  h.Start();
  ASSERT_TRUE(WaitUntil([&] { return h.source->pending(); }));
  h.Push({6, 7, 0, 1});
  ASSERT_TRUE(WaitUntil([&] { return inside.load(); }));

  DeviceImage image;
  auto reopen = std::async(std::launch::async, [&] {
    return HandleDeviceChange(h.link, image, 0x8000, 5, kArrivalName).resumeReader;
  });
  const bool finished = reopen.wait_for(3s) == std::future_status::ready;
  {
    std::lock_guard<std::mutex> lock(gate);
    release = true;
  }
  opened.notify_all();
  ASSERT_TRUE(finished) << "re-opening waited for the reader";
  EXPECT_TRUE(reopen.get());
  h.Push({6, 9, 0, 3});
  ASSERT_TRUE(WaitUntil([&] { return h.events.Size() >= 4; }));
  EXPECT_EQ(h.events.Items(), (Notices{{14, 0}, {7, 1}, {14, 0}, {9, 3}}));
}

// A read that cannot even start (the device vanished) does not make the
// reader spin; it waits for the next wake-up.
TEST(NotifyReaderTest, AFailedReadWaitsForTheNextWakeUp) {
  ReaderHarness h;
  ASSERT_TRUE(ConnectDevice(h.link));
  h.source->FailNextStart();
  h.Start();
  ASSERT_TRUE(WaitUntil([&] { return h.source->attempts() >= 1; }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(h.source->attempts(), 1);
  Handshake(h.link);
  ASSERT_TRUE(WaitUntil([&] { return h.source->pending(); }));
  h.Push({6, 5, 0, 1});
  ASSERT_TRUE(WaitUntil([&] { return h.events.Size() >= 3; }));
  EXPECT_EQ(h.events.Items(), (Notices{{14, 0}, {14, 0}, {5, 1}}));
}

}  // namespace
}  // namespace kovral
