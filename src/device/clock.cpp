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

// ticks * 1000000 overflows 64 bits after about 10.7 days at a 10 MHz counter,
// and the program runs in the notification area for longer than that. Whole
// seconds are scaled on their own; the remainder is below the frequency, so
// its product stays far from the limit for any counter frequency in use.
Micros TicksToMicros(int64_t ticks, int64_t frequency) {
  if (frequency <= 0) return Micros(0);
  constexpr int64_t kMicrosPerSecond = 1000000;
  const int64_t seconds = ticks / frequency;
  const int64_t remainder = ticks % frequency;
  return Micros(seconds * kMicrosPerSecond + remainder * kMicrosPerSecond / frequency);
}

#ifndef _WIN32
std::unique_ptr<Clock> MakeSystemClock() { return std::make_unique<SteadyClock>(); }
#endif

}  // namespace kovral
