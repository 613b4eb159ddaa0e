// Switching records on the simulated mouse: only the families that differ go
// out, what the mouse holds afterwards is what full Applies leave, and
// anything that may have changed the mouse behind the link's back makes the
// next switch a full Apply.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "device/commands.h"
#include "device/device_link.h"
#include "device/record_switch.h"
#include "settings/device_config.h"
#include "sim/sim_mouse.h"
#include "sim_mouse_harness.h"

namespace kovral {
namespace {

using namespace std::chrono_literals;

// A connected mouse of the given sensor with a clean trace.
struct Mouse : testing::SimMouseHarness {
  explicit Mouse(uint8_t sensorType = 0) : SimMouseHarness(Sensor(sensorType)) { Connect(); }
};

// The record's bytes of each family, for mixing records family by family.
enum Family { kRate, kLighting, kDpi, kMacros, kKeys, kFamilyCount };

void CopyFamily(Family f, const DeviceConfig& from, DeviceConfig& to) {
  auto copy = [&](size_t first, size_t end) {
    std::memcpy(reinterpret_cast<uint8_t*>(&to) + first, reinterpret_cast<const uint8_t*>(&from) + first, end - first);
  };
  switch (f) {
    case kRate: to.reportRate = from.reportRate; break;
    case kLighting: copy(offsetof(DeviceConfig, lightMode), offsetof(DeviceConfig, neonEffect) + 1); break;
    case kDpi: copy(offsetof(DeviceConfig, dpiLevel), offsetof(DeviceConfig, dpiColor) + sizeof from.dpiColor); break;
    case kMacros: std::memcpy(to.macroSlots, from.macroSlots, sizeof to.macroSlots); break;
    case kKeys:
      to.modeA = from.modeA;
      to.modeB = from.modeB;
      std::memcpy(to.dpiActionA, from.dpiActionA, sizeof to.dpiActionA);
      std::memcpy(to.dpiActionB, from.dpiActionB, sizeof to.dpiActionB);
      break;
    default: break;
  }
}

// Any bytes at all, with the values the pages choose from most of the time,
// so the lighting modes and the DPI tables all come up.
DeviceConfig RandomRecord(std::mt19937& rng) {
  DeviceConfig c;
  std::uniform_int_distribution<int> byte(0, 255);
  uint8_t* bytes = reinterpret_cast<uint8_t*>(&c);
  for (size_t i = 0; i < sizeof c; ++i) bytes[i] = static_cast<uint8_t>(byte(rng));
  if (byte(rng) < 200) {
    c.lightMode = static_cast<uint8_t>(byte(rng) % 4);
    c.respirationEffect = static_cast<uint8_t>(byte(rng) % 4);
    c.neonEffect = static_cast<uint8_t>(byte(rng) % 4);
    for (uint8_t& level : c.dpiLevel) level = static_cast<uint8_t>(byte(rng) % 12);
    for (int b = 0; b < kButtonCount; ++b) {
      c.modeA.functionIndex[b] = static_cast<uint8_t>(byte(rng) % 16);
      c.modeB.functionIndex[b] = static_cast<uint8_t>(byte(rng) % 16);
    }
  }
  return c;
}

// The proof: random records, random sequences of switches among records that
// share some families and not others, each checked against a second mouse
// that gets every record as a full Apply. After any sequence both mice hold
// the same, and a full Apply on the switched mouse changes nothing more.
TEST(DeviceSwitch, AfterAnySwitchesTheMouseHoldsWhatFullAppliesLeave) {
  std::mt19937 rng(19);
  size_t partial = 0, skipped = 0;
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    const uint8_t sensorType = static_cast<uint8_t>(round % 5);  // type 4 has no DPI table
    Mouse switched(sensorType), applied(sensorType);
    std::vector<DeviceConfig> pool;
    for (int i = 0; i < 4; ++i) pool.push_back(RandomRecord(rng));
    DeviceConfig record = pool[0];
    for (int step = 0; step < 12; ++step) {
      SCOPED_TRACE(step);
      // Some families from another record of the pool, the rest kept.
      const DeviceConfig& other = pool[rng() % pool.size()];
      for (int f = 0; f < kFamilyCount; ++f)
        if (rng() % 3 == 0) CopyFamily(static_cast<Family>(f), other, record);
      if (rng() % 8 == 0) record = RandomRecord(rng);
      const SwitchResult result = Switch(switched.link, record, switched.image);
      ASSERT_TRUE(result.complete);
      EXPECT_EQ(result.full, step == 0);
      const bool nothingSent = switched.Commands().empty();
      if (!result.full && !(result.sent == CommandFamilies{})) ++partial;
      if (!result.full && nothingSent) ++skipped;
      ASSERT_TRUE(applied.FullApply(record));
      ASSERT_EQ(switched.mouse.State(), applied.mouse.State());
    }
    const SimFirmwareState before = switched.mouse.State();
    ASSERT_TRUE(switched.FullApply(record));
    EXPECT_EQ(switched.mouse.State(), before);
    EXPECT_TRUE(switched.mouse.Errors().empty()) << switched.mouse.Errors().front();
  }
  // The sequences did exercise partial switches, and ones with nothing to send.
  EXPECT_GT(partial, 40u);
  EXPECT_GT(skipped, 3u);
}

std::vector<uint8_t> Codes(std::initializer_list<int> codes) { return std::vector<uint8_t>(codes.begin(), codes.end()); }

// What goes on the wire: the first switch exactly what kvctl's apply sends,
// then only the commands of the families that differ, in Apply's order.
TEST(DeviceSwitch, ASwitchSendsTheFamiliesThatDifferAndNothingElse) {
  std::mt19937 rng(7);
  const DeviceConfig base = RandomRecord(rng);
  Mouse reference;
  ASSERT_TRUE(reference.FullApply(base));
  std::vector<SimExchange> full = reference.mouse.Exchanges();

  Mouse m;
  EXPECT_TRUE(Switch(m.link, base, m.image).full);
  std::vector<SimExchange> first = m.mouse.Exchanges();
  ASSERT_EQ(first.size(), full.size());
  for (size_t i = 0; i < full.size(); ++i) {
    EXPECT_EQ(first[i].call, full[i].call) << i;
    EXPECT_EQ(first[i].report, full[i].report) << i;
    EXPECT_EQ(first[i].time, full[i].time) << i;  // the same pauses
  }
  m.mouse.ClearRecord();

  DeviceConfig next = base;
  EXPECT_TRUE(Switch(m.link, next, m.image).complete);
  EXPECT_TRUE(m.Commands().empty());

  next.modeB.functionIndex[3] = static_cast<uint8_t>((next.modeB.functionIndex[3] + 1) % 16);
  SwitchResult r = Switch(m.link, next, m.image);
  EXPECT_EQ(r.sent, (CommandFamilies{false, false, false, false, true}));
  EXPECT_EQ(m.Commands(), Codes({0x12, 0x12, 0x12, 0x12}));

  next.lightMode = 2;
  next.respirationEffect = 2;
  next.reportRate = static_cast<uint8_t>(next.reportRate ^ 3);
  Switch(m.link, next, m.image);
  EXPECT_EQ(m.Commands(), Codes({0x01, 0x8D, 0x87, 0x87, 0x07, 0x07, 0x0D}));

  next.dpiColor[4] ^= 0xFF;
  next.macroSlots[5][9] ^= 0x01;
  Switch(m.link, next, m.image);
  std::vector<uint8_t> dpiAndMacros = Codes({0x90, 0x90, 0x10, 0x10, 0x11});
  dpiAndMacros.insert(dpiAndMacros.end(), 12, 0x13);
  dpiAndMacros.insert(dpiAndMacros.end(), 12, 0x93);
  EXPECT_EQ(m.Commands(), dpiAndMacros);

  // Bytes no command carries (the pointer settings, the layer being edited)
  // send nothing.
  next.pointerSpeed ^= 0x55;
  next.editedMode ^= 1;
  Switch(m.link, next, m.image);
  EXPECT_TRUE(m.Commands().empty());
  // A level beyond the sensor's table gives the same code 0 as another such level.
  next.dpiLevel[2] = 200;
  Switch(m.link, next, m.image);
  m.Commands();
  next.dpiLevel[2] = 201;
  Switch(m.link, next, m.image);
  EXPECT_TRUE(m.Commands().empty());
  EXPECT_TRUE(m.mouse.Errors().empty()) << m.mouse.Errors().front();
}

// A failed, stalled or skipped exchange, a new handshake, an incomplete Apply
// and a change the mouse reports making itself each forget the record: the
// next switch is a full Apply again, and the mouse ends as a full Apply leaves it.
TEST(DeviceSwitch, AnythingThatMayHaveChangedTheMouseMakesTheNextSwitchFull) {
  std::mt19937 rng(3);
  const DeviceConfig a = RandomRecord(rng);
  DeviceConfig b = a;
  CopyFamily(kKeys, RandomRecord(rng), b);
  CopyFamily(kLighting, RandomRecord(rng), b);

  struct Fault {
    const char* what;
    std::function<void(Mouse&)> inject;
  };
  const Fault faults[] = {
      {"a failed set-feature", [](Mouse& m) { m.mouse.FailNext(SimCall::SetFeature); }},
      {"a failed data write", [](Mouse& m) { m.mouse.FailNext(SimCall::Write); }},
      {"an unanswered query", [](Mouse& m) { m.mouse.FailNext(SimCall::GetFeature); }},
      {"a stall", [](Mouse& m) { m.mouse.StallNext(1, 800ms); }},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.what);
    Mouse m, reference;
    ASSERT_TRUE(Switch(m.link, a, m.image).complete);
    fault.inject(m);
    const SwitchResult cut = Switch(m.link, b, m.image);
    EXPECT_FALSE(cut.full);
    EXPECT_FALSE(cut.complete);
    m.mouse.ClearFaults();
    const SwitchResult again = Switch(m.link, b, m.image);
    EXPECT_TRUE(again.full);
    EXPECT_TRUE(again.complete);
    reference.FullApply(a);
    reference.FullApply(b);
    EXPECT_EQ(m.mouse.State(), reference.mouse.State());
    // And the record is remembered again.
    EXPECT_FALSE(Switch(m.link, a, m.image).full);
  }

  Mouse m;
  ASSERT_TRUE(Switch(m.link, a, m.image).complete);
  Handshake(m.link);
  EXPECT_TRUE(Switch(m.link, b, m.image).full);

  // A full switch whose sensor refresh went unanswered is not built on either.
  Handshake(m.link);
  m.mouse.ClearRecord();
  m.mouse.FailExchange(1);  // the refresh's get-feature
  EXPECT_FALSE(Switch(m.link, a, m.image).complete);
  EXPECT_TRUE(Switch(m.link, a, m.image).full);

  // An Apply that did not go through (the window's, say) forgets too.
  m.mouse.ClearRecord();
  m.mouse.FailExchange(3);
  Apply(m.link, b, m.image, {});
  EXPECT_TRUE(Switch(m.link, b, m.image).full);

  // The mouse's own buttons changed a setting: the reader says so.
  ASSERT_TRUE(CreateReadEvent(m.link));
  std::thread reader([&] { NotifyReaderLoop(m.link); });
  ASSERT_TRUE(m.mouse.EmitNotification(5, 2));
  for (int i = 0; i < 3000 && !m.link.mouseChangedSettings; ++i) std::this_thread::sleep_for(1ms);
  StopNotifyReader(m.link);
  reader.join();
  EXPECT_TRUE(Switch(m.link, b, m.image).full);
  EXPECT_FALSE(Switch(m.link, a, m.image).full);
}

}  // namespace
}  // namespace kovral
