// The link over the machine's own HID stack (SetupAPI and hid.dll on Windows,
// an empty machine elsewhere): with no mouse present it reports absence
// cleanly, and the reader starts, waits and stops on the system's events.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "base/message_sink.h"
#include "device/clock.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "device/hid_system.h"
#include "settings/device_config.h"

namespace kovral {
namespace {

TEST(SystemLinkTest, NoMouseIsReportedAsAbsentAndTheReaderStillStartsAndStops) {
  std::unique_ptr<HidPlatform> platform = MakeSystemHidPlatform();
  std::unique_ptr<Clock> clock = MakeSystemClock();
  RecordingMessageSink messages;
  DeviceLink link(*platform, messages, *clock);
  std::mutex mutex;
  std::vector<std::pair<int, int>> notices;
  link.notify = [&](int code, int value) {
    std::lock_guard<std::mutex> lock(mutex);
    notices.emplace_back(code, value);
  };

  EXPECT_FALSE(ConnectDevice(link));
  EXPECT_EQ(link.ready, 0);
  EXPECT_EQ(link.featureHandle, nullptr);
  EXPECT_TRUE(messages.messages.empty());
  ASSERT_TRUE(CreateReadEvent(link));
  std::thread reader([&] { NotifyReaderLoop(link); });

  // An interface change for the mouse while it is absent: not detected again.
  DeviceImage image;
  const DeviceChangeResult r = HandleDeviceChange(link, image, 0x8000, 5, L"\\\\?\\HID#VID_04D9&PID_A09F&MI_01#x");
  EXPECT_TRUE(r.hideWindow);
  // Apply without a mouse sends nothing and still saves.
  bool saved = false;
  Apply(link, DeviceConfig{}, image, [&] { saved = true; });
  EXPECT_TRUE(saved);

  StopNotifyReader(link);
  reader.join();
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_EQ(notices, (std::vector<std::pair<int, int>>{{15, 0}, {15, 0}}));
}

}  // namespace
}  // namespace kovral
