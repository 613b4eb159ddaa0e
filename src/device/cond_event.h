#pragma once
// The HID event of a platform without system events (the simulated mouse,
// hidraw, none at all).
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "device/hid.h"

namespace kovral {

// A manual-reset event on a condition variable, usable across threads.
class CondEvent final : public HidEvent {
 public:
  void Set() override;
  void Reset() override;
  void Wait() override;
  bool IsSet() const;
  // False when the time-out passed first.
  bool WaitFor(std::chrono::milliseconds timeout);

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  bool set_ = false;
};

}  // namespace kovral
