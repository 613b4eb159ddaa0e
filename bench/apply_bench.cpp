// Times Apply against the simulated mouse in real time and compares it with
// the pauses the protocol mandates for the traffic that actually went out:
// 3 ms after each output chunk and 2 ms after each command of an indexed
// family. A ratio near 1 means the pauses cost what they must and little more.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "base/message_sink.h"
#include "bench_pauses.h"
#include "device/clock.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "sim/sim_mouse.h"
#include "device/protocol.h"
#include "settings/defaults.h"

namespace {

using namespace kovral;
using bench::MandatedPauses;

}  // namespace

int main() {
  constexpr int kRuns = 10;
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
  const DeviceConfig config = FactoryConfig();

  std::printf("Apply against the simulated mouse, %d runs\n", kRuns);
  std::vector<double> ratios;
  for (int run = 1; run <= kRuns; ++run) {
    mouse.ClearRecord();
    const Micros start = clock->Now();
    Apply(link, config, image, [] {});
    const Micros elapsed = clock->Now() - start;
    const Micros mandated = MandatedPauses(mouse.Exchanges());
    const double ratio = static_cast<double>(elapsed.count()) / static_cast<double>(mandated.count());
    ratios.push_back(ratio);
    std::printf("run %2d: %8.3f ms, mandated pauses %8.3f ms, ratio %.3f, %zu exchanges\n", run,
                elapsed.count() / 1000.0, mandated.count() / 1000.0, ratio, mouse.Exchanges().size());
    for (const std::string& error : mouse.Errors()) std::printf("  firmware: %s\n", error.c_str());
  }
  std::sort(ratios.begin(), ratios.end());
  const double median = (ratios[kRuns / 2 - 1] + ratios[kRuns / 2]) / 2;
  std::printf("median ratio %.3f, worst %.3f (goal: at most 1.15)\n", median, ratios.back());
  return 0;
}
