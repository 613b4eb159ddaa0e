#include <windows.h>

#include "device/clock.h"

namespace kovral {
namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// A plain Sleep(2) lasts a whole scheduler tick (about 15 ms), which would make
// Apply several times slower than the protocol needs. This waits on a
// high-resolution waitable timer where the system has one, and finishes every
// pause by spinning on the performance counter, so a pause lasts at least its
// time and little more.
class HighResolutionClock final : public Clock {
 public:
  HighResolutionClock() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&origin_);
    timer_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
  }
  ~HighResolutionClock() override {
    if (timer_) CloseHandle(timer_);
  }
  HighResolutionClock(const HighResolutionClock&) = delete;
  HighResolutionClock& operator=(const HighResolutionClock&) = delete;

  Micros Now() override {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return TicksToMicros(now.QuadPart - origin_.QuadPart, frequency_.QuadPart);
  }

  void Pause(Micros duration) override {
    const Micros deadline = Now() + duration;
    constexpr Micros kSpinSlack{1000};
    if (timer_ && duration > kSpinSlack) {
      LARGE_INTEGER due;
      due.QuadPart = -static_cast<LONGLONG>((duration - kSpinSlack).count()) * 10;  // relative, 100 ns units
      if (SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE)) WaitForSingleObject(timer_, INFINITE);
    }
    while (Now() < deadline) SwitchToThread();
  }

 private:
  LARGE_INTEGER frequency_{};
  LARGE_INTEGER origin_{};
  HANDLE timer_ = nullptr;
};

}  // namespace

std::unique_ptr<Clock> MakeSystemClock() { return std::make_unique<HighResolutionClock>(); }

}  // namespace kovral
