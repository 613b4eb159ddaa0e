#pragma once
// A link to the simulated mouse over the same HID seam as the real one, for
// the tests that need the firmware's answers rather than a script.
#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "base/message_sink.h"
#include "device/clock.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "settings/device_config.h"
#include "sim/sim_mouse.h"

namespace kovral::testing {

struct SimMouseHarness {
  // A real clock makes the mouse keep time (pauses, stalls); by default time
  // is the test's own and nothing waits.
  explicit SimMouseHarness(SimOptions options = {}, Clock* realClock = nullptr)
      : clock(realClock ? *realClock : manual), mouse(clock, std::move(options)), platform(mouse),
        link(platform, messages, clock) {
    link.notify = [this](int code, int value) {
      std::lock_guard<std::mutex> lock(noticesMutex);
      notices.emplace_back(code, value);
    };
  }
  ~SimMouseHarness() { CloseDevice(link); }
  SimMouseHarness(const SimMouseHarness&) = delete;
  SimMouseHarness& operator=(const SimMouseHarness&) = delete;

  static SimOptions Sensor(uint8_t sensorType) {
    SimOptions o;
    o.sensorType = sensorType;
    return o;
  }

  // The handshake, then a clean trace for what the test does next.
  void Connect() {
    EXPECT_TRUE(ConnectDevice(link));
    EXPECT_EQ(link.ready, 1);
    mouse.ClearRecord();
  }
  // What kvctl's apply sends: the sensor refresh, then the whole Apply.
  bool FullApply(const DeviceConfig& config) {
    RefreshSensor(link, image);
    return Apply(link, config, image, {});
  }
  // The command codes of the set-feature reports since the last look.
  std::vector<uint8_t> Commands() {
    std::vector<uint8_t> codes;
    for (const SimExchange& e : mouse.Exchanges())
      if (e.call == SimCall::SetFeature && e.hasPayload) codes.push_back(e.payload[0]);
    mouse.ClearRecord();
    return codes;
  }
  // (code, value) of the notices the link sent from its reader thread.
  std::vector<std::pair<int, int>> Notices() {
    std::lock_guard<std::mutex> lock(noticesMutex);
    return notices;
  }

  ManualClock manual;
  Clock& clock;
  SimMouse mouse;
  SimHidPlatform platform;
  RecordingMessageSink messages;
  DeviceLink link;
  DeviceImage image{};
  std::mutex noticesMutex;
  std::vector<std::pair<int, int>> notices;
};

}  // namespace kovral::testing
