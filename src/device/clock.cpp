#include "device/clock.h"

#include <thread>

namespace kovral {
namespace {

// Sleeps all but the last stretch of a pause and spins through the rest:
// the scheduler may overshoot a sleep by tens of microseconds or more, and the
// protocol wants each pause to last at least its time but not much longer.
class SteadyClock final : public Clock {
 public:
  Micros Now() override {
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - origin_);
  }
  void Pause(Micros duration) override {
    const auto deadline = std::chrono::steady_clock::now() + duration;
    constexpr auto kSpinSlack = std::chrono::microseconds(300);
    if (duration > kSpinSlack) std::this_thread::sleep_for(duration - kSpinSlack);
    while (std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  }

 private:
  std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
};

}  // namespace

#ifndef _WIN32
std::unique_ptr<Clock> MakeSystemClock() { return std::make_unique<SteadyClock>(); }
#endif

}  // namespace kovral
