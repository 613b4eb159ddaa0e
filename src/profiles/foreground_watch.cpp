#include "profiles/foreground_watch.h"

namespace kovral {

std::optional<FrontWindow> ForegroundWatch::Check() {
  const uint64_t window = source_.FrontWindowId();
  if (last_ && *last_ == window) return std::nullopt;
  last_ = window;
  FrontWindow front = source_.Describe(window);
  front.window = window;
  return front;
}

}  // namespace kovral
