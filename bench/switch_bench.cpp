// Times switches between two records against the simulated mouse in real
// time, each beside a full Apply of the same record: a switch sends only the
// command families that differ, so its floor is the protocol's pauses for
// those families (3 ms after each output chunk, 2 ms after each command of an
// indexed family) as a share of a full Apply's. The ratio of the wall times
// should stay near that floor.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "base/message_sink.h"
#include "bench_pauses.h"
#include "device/clock.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "device/protocol.h"
#include "device/record_switch.h"
#include "settings/defaults.h"
#include "sim/sim_mouse.h"

namespace {

using namespace kovral;
using bench::MandatedPauses;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

struct Case {
  const char* what;
  std::function<void(DeviceConfig&)> change;
};

}  // namespace

int main() {
  constexpr int kRuns = 5;
  std::unique_ptr<Clock> clock = MakeSystemClock();
  SimMouse mouse(*clock);
  SimHidPlatform platform(mouse);
  RecordingMessageSink messages;
  DeviceLink link(platform, messages, *clock);
  if (!ConnectDevice(link) || link.ready != 1) {
    std::printf("the simulated mouse was not detected\n");
    return 1;
  }
  DeviceImage image;
  RefreshSensor(link, image);
  const DeviceConfig from = FactoryConfig();

  const Case cases[] = {
      {"buttons only", [](DeviceConfig& c) { c.modeA.functionIndex[2] = 15; }},
      {"lighting only", [](DeviceConfig& c) { c.lightMode = c.lightMode == 3 ? 1 : 3; }},
      {"one macro", [](DeviceConfig& c) { c.macroSlots[4][2] ^= 0x5A; }},
      {"everything",
       [](DeviceConfig& c) {
         c.reportRate = c.reportRate == 8 ? 1 : 8;
         c.lightMode = c.lightMode == 2 ? 1 : 2;
         c.dpiLevel[0] = static_cast<uint8_t>((c.dpiLevel[0] + 1) % 8);
         c.macroSlots[0][5] ^= 0x11;
         c.modeB.functionIndex[0] = 1;
       }},
  };

  std::printf("Switches against the simulated mouse, median of %d runs each, beside a full Apply\n", kRuns);
  std::printf("%-14s %10s %10s %8s %8s %10s\n", "switch", "switch ms", "apply ms", "ratio", "floor", "ratio/floor");
  bool allWithin = true;
  for (const Case& c : cases) {
    DeviceConfig to = from;
    c.change(to);
    std::vector<double> switchMs, applyMs, ratios, floors;
    for (int run = 0; run < kRuns; ++run) {
      // A full Apply of the target, from the start record.
      Apply(link, from, image, {});
      mouse.ClearRecord();
      Micros start = clock->Now();
      Apply(link, to, image, {});
      const Micros full = clock->Now() - start;
      const Micros fullMandated = MandatedPauses(mouse.Exchanges());

      // The switch to the target, from the start record sent.
      Apply(link, from, image, {});
      mouse.ClearRecord();
      start = clock->Now();
      const SwitchResult result = Switch(link, to, image);
      const Micros fast = clock->Now() - start;
      const Micros fastMandated = MandatedPauses(mouse.Exchanges());
      if (result.full || !result.complete) {
        std::printf("%s: the switch was not a partial one\n", c.what);
        return 1;
      }
      for (const std::string& error : mouse.Errors()) std::printf("  firmware: %s\n", error.c_str());
      switchMs.push_back(fast.count() / 1000.0);
      applyMs.push_back(full.count() / 1000.0);
      ratios.push_back(static_cast<double>(fast.count()) / static_cast<double>(full.count()));
      floors.push_back(static_cast<double>(fastMandated.count()) / static_cast<double>(fullMandated.count()));
    }
    const double ratio = Median(ratios), floor = Median(floors);
    allWithin = allWithin && ratio <= 1.1 * floor;
    std::printf("%-14s %10.1f %10.1f %8.3f %8.3f %10.2f\n", c.what, Median(switchMs), Median(applyMs), ratio, floor,
                ratio / floor);
  }
  // With every family different a switch is a full Apply's traffic: its
  // floor is 1 and its ratio is 1 within the machine's noise.
  std::printf("goal: each ratio within 1.1 of its floor: %s\n", allWithin ? "met" : "missed");
  return 0;
}
