#pragma once
// Time seam for the protocol's pauses and for timestamps in traces.
// The pauses are part of the protocol: Pause must last at least the time
// asked for and, to keep Apply fast, little more.
#include <chrono>
#include <cstdint>
#include <memory>

namespace kovral {

using Micros = std::chrono::microseconds;

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic time since an arbitrary origin.
  virtual Micros Now() = 0;
  virtual void Pause(Micros duration) = 0;
};

// A performance-counter reading as microseconds, exact (truncated) for any
// counter a run can reach. A frequency of 0 or less gives 0.
Micros TicksToMicros(int64_t ticks, int64_t frequency);

// Real time: the native implementation sleeps most of the pause and spins the
// last part; the Windows build binds a high-resolution wait instead.
std::unique_ptr<Clock> MakeSystemClock();

// Virtual time for tests: Pause advances the clock without sleeping.
class ManualClock final : public Clock {
 public:
  Micros Now() override { return now_; }
  void Pause(Micros duration) override { now_ += duration; }
  void Advance(Micros duration) { now_ += duration; }

 private:
  Micros now_{0};
};

}  // namespace kovral
