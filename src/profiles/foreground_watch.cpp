#include "profiles/foreground_watch.h"

namespace kovral {

std::optional<FrontWindow> ForegroundWatch::Check() {
  const uint64_t window = source_.FrontWindowId();
  if (last_ && *last_ == window) return std::nullopt;
  last_ = window;
  FrontWindow front = source_.Describe(window);
  front.window = window;
  if (front.own && !front.shown) {
    last_.reset();
    return std::nullopt;
  }
  return front;
}

}  // namespace kovral
