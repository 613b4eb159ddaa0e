#include "device/cond_event.h"

namespace kovral {

void CondEvent::Set() {
  std::lock_guard<std::mutex> lock(mutex_);
  set_ = true;
  cv_.notify_all();
}

void CondEvent::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  set_ = false;
}

void CondEvent::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  cv_.wait(lock, [this] { return set_; });
}

bool CondEvent::IsSet() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return set_;
}

bool CondEvent::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return cv_.wait_for(lock, timeout, [this] { return set_; });
}

}  // namespace kovral
