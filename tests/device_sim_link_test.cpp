// The link against the simulated mouse: whole sequences, the firmware's own
// checks (checksums, data-phase sizes, pauses), discovery orders, injected
// faults, a mouse that stops answering, and unplugging under the reader.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "assign/key_function.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "sim/sim_mouse.h"
#include "settings/device_config.h"
#include "sim_mouse_harness.h"

namespace kovral {
namespace {

using namespace std::chrono_literals;

using SimHarness = testing::SimMouseHarness;

DeviceConfig UserRecord() {
  DeviceConfig c{};
  const uint8_t functions[8] = {0, 1, 2, 3, 4, 6, 15, 15};
  for (int mode = 0; mode < 2; ++mode) {
    std::memcpy(LayerTable(c, mode).functionIndex, functions, 8);
    LayerDpiAction(c, mode)[5] = 3;
  }
  LayerTable(c, 1).functionIndex[6] = 14;  // Mode B: button 7 is Shift
  c.reportRate = 2;
  const uint8_t levels[4] = {1, 3, 5, 8};
  const uint8_t enabled[4] = {1, 1, 1, 0};
  const uint8_t colours[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  std::memcpy(c.dpiLevel, levels, 4);
  std::memcpy(c.dpiEnabled, enabled, 4);
  std::memcpy(c.dpiColor, colours, 12);
  c.lightMode = 3;
  c.neonPeriod = 4;
  c.neonEffect = 3;
  for (int slot = 0; slot < 12; ++slot)
    for (int i = 0; i < 128; ++i) c.macroSlots[slot][i] = static_cast<uint8_t>(slot * 7 + i);
  return c;
}

// What the mouse must hold after an Apply of UserRecord() on a sensor of type
// 2. `carried` includes the values the program only reads and sends back.
void ExpectMouseHolds(const SimFirmwareState& s, const DeviceConfig& c, const SimFirmwareState& factory,
                      bool carried = true) {
  EXPECT_EQ(s.reportRate, 2);
  const std::array<uint8_t, 8> dpi = {0x04, 0x08, 0x26, 0x80, 0x80, 0x80, 0x80, 0x80};
  EXPECT_EQ(s.dpiCodes, dpi);
  if (carried) {
    EXPECT_EQ(s.stageBlocks[0], factory.stageBlocks[0]);  // the mouse's own block, carried back
  }
  const std::array<uint8_t, 24> block1 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_EQ(s.stageBlocks[1], block1);
  EXPECT_EQ(s.lightEffect[0], 3);
  EXPECT_EQ(s.lightEffect[1], 5);
  if (carried) {
    EXPECT_EQ(s.lightEffect[2], factory.lightEffect[2]);
  }
  const std::array<uint8_t, 3> neon = {3, 5, 5};
  EXPECT_EQ(s.lightParams[0], neon);
  if (carried) {
    EXPECT_EQ(s.lightParams[1], factory.lightParams[1]);
  }
  for (int slot = 0; slot < 12; ++slot)
    EXPECT_EQ(0, std::memcmp(s.macroSlots[slot].data(), c.macroSlots[slot], 128)) << slot;
  const std::array<uint8_t, 64> matrixA = {0x01, 0, 0xF0, 0, 0x01, 0, 0xF1, 0, 0x01, 0, 0xF2, 0, 0x01, 0, 0xF3, 0,
                                           0x01, 0, 0xF4, 0, 0x07, 0, 0x03, 0, 0,    0, 0,    0, 0,    0, 0,    0,
                                           0,    0, 0,    0, 0,    0, 0,    0, 0,    0, 0,    0, 0,    0, 0,    0,
                                           0,    0, 0,    0, 0,    0, 0,    0, 0x01, 0, 0xF7, 0, 0x01, 0, 0xF8, 0};
  std::array<uint8_t, 64> matrixB = matrixA;
  matrixB[24] = 0x08;  // slot 6: Shift
  matrixB[26] = 0x02;
  EXPECT_EQ(s.keyMatrices[0], matrixA);
  EXPECT_EQ(s.keyMatrices[1], (std::array<uint8_t, 64>{}));
  EXPECT_EQ(s.keyMatrices[2], matrixB);
  EXPECT_EQ(s.keyMatrices[3], (std::array<uint8_t, 64>{}));
}

std::string Joined(const std::vector<std::string>& errors) {
  std::string s;
  for (const std::string& e : errors) s += e + "\n";
  return s;
}

// The firmware checks every checksum, every data-phase size and every pause;
// with virtual time a pause one microsecond short would show.
TEST(SimLinkTest, StartRefreshAndApplyAsTheProgramRunsThem) {
  SimOptions options;
  options.sensorType = 2;
  SimHarness h(options);
  const SimFirmwareState factory = h.mouse.State();
  ASSERT_TRUE(ConnectDevice(h.link));
  ASSERT_EQ(h.link.ready, 1);
  DeviceImage image;
  RefreshSensor(h.link, image);
  EXPECT_EQ(image.activeSensorType, 2);
  EXPECT_EQ(h.mouse.State().sensorSettings[3], factory.sensorSettings[3] | 0x40);

  const DeviceConfig config = UserRecord();
  bool saved = false;
  Apply(h.link, config, image, [&] { saved = true; });
  EXPECT_TRUE(saved);
  EXPECT_TRUE(h.mouse.Errors().empty()) << Joined(h.mouse.Errors());
  ExpectMouseHolds(h.mouse.State(), config, factory);
  // The read-back holds what the mouse now has.
  EXPECT_EQ(0, std::memcmp(image.macroImage, config.macroSlots, sizeof image.macroImage));
  EXPECT_EQ(h.Notices(), (std::vector<std::pair<int, int>>{{14, 0}}));
}

TEST(SimLinkTest, BothCollectionsOpenInAnyEnumerationOrder) {
  using I = SimInterface;
  const std::vector<std::vector<I>> orders = {
      {I::Configuration, I::Notification},
      {I::Notification, I::Configuration},
      {I::OtherVendor, I::Configuration, I::MouseKeyboard, I::Notification},
      {I::MouseKeyboard, I::Notification, I::OtherVendor, I::Configuration},
  };
  for (const auto& order : orders) {
    SimOptions options;
    options.order = order;
    SimHarness h(options);
    ASSERT_TRUE(ConnectDevice(h.link));
    EXPECT_EQ(h.link.ready, 1);
    EXPECT_NE(h.link.notifyReadHandle, nullptr);
    EXPECT_EQ(h.link.devicePath, h.mouse.InterfacePath(I::Configuration));
    EXPECT_EQ(h.mouse.OpenHandleCount(), 3u);
  }
}

// Any one exchange of an Apply failing, or lost on the way, is survived: the
// sequence runs to its end and saves, and the next Apply puts right everything
// the program itself decides. (A value the program only carries back, such as
// stage block 0, is sent back as zeros when its query failed: the mouse's
// values are its own business.)
TEST(SimLinkTest, EveryExchangeOfApplyMayFailOrBeLost) {
  SimOptions options;
  options.sensorType = 2;
  SimHarness probe(options);
  ASSERT_TRUE(ConnectDevice(probe.link));
  DeviceImage probeImage;
  probeImage.activeSensorType = 2;
  probe.mouse.ClearRecord();
  Apply(probe.link, UserRecord(), probeImage, [] {});
  const size_t exchanges = probe.mouse.Exchanges().size();
  // 0x01; 0x8D; 0x87 x2; 0x90 x2 with a chunk; 0x10 x2 with a chunk; 0x07 x2;
  // 0x0D; 0x11 with a chunk; 0x13 x12 with four; 0x93 x12 with four; 0x12 x4 with two.
  ASSERT_EQ(exchanges, 1u + 2 + 4 + 6 + 4 + 2 + 1 + 2 + 60 + 72 + 12);

  for (bool drop : {false, true}) {
    for (size_t position = 0; position < exchanges; ++position) {
      SimHarness h(options);
      const SimFirmwareState factory = h.mouse.State();
      ASSERT_TRUE(ConnectDevice(h.link));
      DeviceImage image;
      image.activeSensorType = 2;
      h.mouse.ClearRecord();
      if (drop) h.mouse.DropExchange(position);
      else h.mouse.FailExchange(position);
      int saves = 0;
      Apply(h.link, UserRecord(), image, [&] { ++saves; });
      ASSERT_EQ(saves, 1) << position;
      h.mouse.ClearRecord();
      Apply(h.link, UserRecord(), image, [&] { ++saves; });
      // A chunk lost at the very end of the faulty Apply leaves a data phase
      // open that the firmware reports when the next command comes.
      std::vector<std::string> errors = h.mouse.Errors();
      if (!errors.empty() && errors[0].find("cut short") != std::string::npos) errors.erase(errors.begin());
      ASSERT_TRUE(errors.empty()) << (drop ? "drop " : "fail ") << position << "\n" << Joined(errors);
      SCOPED_TRACE(position);
      ExpectMouseHolds(h.mouse.State(), UserRecord(), factory, /*carried=*/false);
      if (HasFailure()) return;
    }
  }
}

// Answers naming a block or slot that does not exist are dropped, longer ones
// are cut to their destination, and the chunks left over do not shift into
// the next answer.
TEST(SimLinkTest, OutOfRangeAndOversizedAnswersDoNotSpillOver) {
  SimHarness h;
  ASSERT_TRUE(ConnectDevice(h.link));
  DeviceImage image;
  std::memset(image.stageBlocks, 0x33, sizeof image.stageBlocks);
  h.mouse.AnswerWithIndex(5);
  TransferStageBlocks(h.link, image, Transfer::Read);
  EXPECT_EQ(image.stageBlocks[0][0], 0x33);  // index 0 answered as 5: dropped
  EXPECT_EQ(0, std::memcmp(image.stageBlocks[1], h.mouse.State().stageBlocks[1].data(), 24));

  SimFirmwareState state = h.mouse.State();
  for (int slot = 0; slot < 12; ++slot) state.macroSlots[slot].fill(static_cast<uint8_t>(0x10 + slot));
  h.mouse.SetState(state);
  h.mouse.AnswerWithCount(255);  // slot 1 announces 255 bytes and sends eight chunks
  ReadMacroSlots(h.link, image);
  for (int slot = 0; slot < 12; ++slot)
    for (int i = 0; i < 128; ++i) ASSERT_EQ(image.macroImage[slot][i], 0x10 + slot) << slot << " " << i;
  h.mouse.AnswerWithIndex(13);
  std::memset(image.macroImage, 0, sizeof image.macroImage);
  ReadMacroSlots(h.link, image);
  for (int i = 0; i < 128; ++i) ASSERT_EQ(image.macroImage[0][i], 0) << i;  // slot 1 answered as 13
  EXPECT_EQ(image.macroImage[1][0], 0x11);
}

// A mouse that hangs costs one time-out per Apply, not one per chunk.
TEST(SimLinkTest, ASilentMouseCostsAboutOneSecondPerApply) {
  auto clock = MakeSystemClock();
  SimOptions options;
  options.waits = SimWaits::RealTime;
  SimHarness h(options, clock.get());
  ASSERT_TRUE(ConnectDevice(h.link));
  h.mouse.SetResponding(false);
  h.mouse.ClearRecord();
  DeviceImage image;
  bool saved = false;
  const auto start = std::chrono::steady_clock::now();
  Apply(h.link, UserRecord(), image, [&] { saved = true; });
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(saved);
  EXPECT_LT(elapsed, 1500ms);
  // The protocol's pauses, less those of the writes that would only carry the
  // mouse's unread values back: stage block 0 with its chunk and the second
  // lighting triple (Neon effect 3 sets the first itself).
  EXPECT_GE(elapsed, 700ms + 249ms - 5ms - 2ms);
  size_t timedOut = 0;
  for (const SimExchange& e : h.mouse.Exchanges()) timedOut += e.outcome == SimOutcome::TimedOut;
  EXPECT_EQ(timedOut, 1u);
}

// A mouse that stalls on every exchange: without a bound each of Apply's
// feature exchanges would wait out the stall (about a minute here). The
// first one costs its stall and the rest fail at once; Apply says so, and once
// the mouse recovers the next Apply puts everything right.
TEST(SimLinkTest, AStalledMouseCostsOneStallPerApply) {
  auto clock = MakeSystemClock();
  SimOptions options;
  options.sensorType = 2;
  options.waits = SimWaits::RealTime;
  SimHarness h(options, clock.get());
  const SimFirmwareState factory = h.mouse.State();
  ASSERT_TRUE(ConnectDevice(h.link));
  h.mouse.ClearRecord();
  h.mouse.StallNext(1000, 800ms);
  DeviceImage image;
  image.activeSensorType = 2;
  bool saved = false;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Apply(h.link, UserRecord(), image, [&] { saved = true; }));
  // One stall and the protocol's pauses, with room for a loaded machine; that
  // only one exchange waited is the count below.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3000ms);
  EXPECT_TRUE(saved);
  EXPECT_EQ(h.mouse.Exchanges().size(), 1u);

  h.mouse.ClearFaults();
  EXPECT_TRUE(Apply(h.link, UserRecord(), image, [] {}));
  EXPECT_TRUE(h.mouse.Errors().empty()) << Joined(h.mouse.Errors());
  ExpectMouseHolds(h.mouse.State(), UserRecord(), factory);
}

// The handshake is one sequence: a challenge that stalls is not followed by
// the second attempt, the mouse counts as not detected, and the next
// connection finds it.
TEST(SimLinkTest, AStalledHandshakeIsNotDetectedAndTheNextOneIs) {
  SimHarness h;
  h.mouse.StallExchange(0, 800ms);
  ASSERT_TRUE(ConnectDevice(h.link));
  EXPECT_EQ(h.link.ready, 0);
  EXPECT_EQ(h.mouse.Exchanges().size(), 1u);
  ASSERT_TRUE(ConnectDevice(h.link));
  EXPECT_EQ(h.link.ready, 1);
  EXPECT_EQ(h.Notices(), (std::vector<std::pair<int, int>>{{15, 0}, {14, 0}}));
}

// Pulled out under a pending read: the reader sees the read end, sends
// nothing, and waits; plugged back in, the link is re-opened and notifications
// flow again.
TEST(SimLinkTest, UnplugAndReplugWithTheReaderRunning) {
  SimHarness h;
  std::vector<SimPlugEvent> events;
  h.mouse.SetPlugListener([&](const SimPlugEvent& e) { events.push_back(e); });
  ASSERT_TRUE(ConnectDevice(h.link));
  ASSERT_TRUE(CreateReadEvent(h.link));
  std::thread reader([&] { NotifyReaderLoop(h.link); });
  auto waitFor = [&](size_t n) {
    for (int i = 0; i < 3000 && h.Notices().size() < n; ++i) std::this_thread::sleep_for(1ms);
    return h.Notices().size() >= n;
  };
  // Notifications emitted before the reader's first read wait in the
  // driver's queue; none is lost.
  ASSERT_TRUE(h.mouse.EmitNotification(7, 2));
  ASSERT_TRUE(waitFor(2));

  h.mouse.Unplug();
  std::this_thread::sleep_for(20ms);
  EXPECT_EQ(h.Notices().size(), 2u);
  DeviceImage image;
  for (const SimPlugEvent& e : events) {
    const DeviceChangeResult r =
        HandleDeviceChange(h.link, image, e.arrival ? 0x8000 : 0x8004, 5, e.arrivalName);
    EXPECT_TRUE(r.hideWindow);
  }
  events.clear();
  EXPECT_EQ(h.link.ready, 0);

  h.mouse.Plug();
  bool resume = false;
  for (const SimPlugEvent& e : events)
    resume |= HandleDeviceChange(h.link, image, e.arrival ? 0x8000 : 0x8004, 5, e.arrivalName).resumeReader;
  EXPECT_TRUE(resume);
  EXPECT_EQ(h.link.ready, 1);
  ASSERT_TRUE(h.mouse.EmitNotification(8, 1));
  ASSERT_TRUE(waitFor(9));

  StopNotifyReader(h.link);
  reader.join();
  // Each collection's arrival re-opened the link; the notification came once.
  EXPECT_EQ(h.Notices(), (std::vector<std::pair<int, int>>{{14, 0}, {7, 2}, {15, 0}, {15, 0}, {15, 0}, {14, 0},
                                                           {14, 0}, {14, 0}, {8, 1}}));
  EXPECT_TRUE(h.mouse.Errors().empty()) << Joined(h.mouse.Errors());
}

// After a wake: a live link costs one query; one whose mouse was enumerated
// anew or left unheard (no plug event) is re-opened as at an arrival.
TEST(SimLinkTest, AWakeReopensALinkWhoseHandlesDiedAndLeavesALiveOneAlone) {
  SimHarness h(SimHarness::Sensor(2));
  h.Connect();
  RefreshSensor(h.link, h.image);
  h.Commands();
  DeviceChangeResult r = CheckLinkAfterWake(h.link, h.image);
  EXPECT_FALSE(r.reopened || r.hideWindow || r.resumeReader);
  EXPECT_EQ(h.Commands(), (std::vector<uint8_t>{0x83}));

  ASSERT_TRUE(h.mouse.Reenumerate());
  r = CheckLinkAfterWake(h.link, h.image);
  EXPECT_TRUE(r.reopened && r.resumeReader && !r.hideWindow);
  EXPECT_EQ(h.link.ready, 1);
  const std::vector<uint8_t> sent = h.Commands();
  EXPECT_EQ(sent.front(), 0x00) << "the handshake on the new handles";
  EXPECT_EQ(std::vector<uint8_t>(sent.end() - 2, sent.end()), (std::vector<uint8_t>{0x83, 0x03}));
  EXPECT_EQ(h.Notices(), (std::vector<std::pair<int, int>>{{14, 0}, {14, 0}}));

  h.mouse.Unplug();
  r = CheckLinkAfterWake(h.link, h.image);
  EXPECT_TRUE(r.reopened && r.hideWindow);
  EXPECT_EQ(h.Notices().back(), (std::pair<int, int>{15, 0}));
  EXPECT_FALSE(h.mouse.Reenumerate()) << "nothing to enumerate while unplugged";
}

}  // namespace
}  // namespace kovral
