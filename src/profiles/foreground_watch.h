#pragma once
// Which window is in front, asked of the system through a small seam so the
// tests can script it. The watch asks for the front window's name only when
// the window changed: a once-a-second check of an unchanged front costs one
// system call.
#include <cstdint>
#include <optional>

#include "profiles/profile_follower.h"

namespace kovral {

class ForegroundSource {
 public:
  virtual ~ForegroundSource() = default;
  // The window in front now (0 when none).
  virtual uint64_t FrontWindowId() = 0;
  // The window's program: the executable's file name, empty when its
  // process cannot be asked; `own` for this program's windows.
  virtual FrontWindow Describe(uint64_t window) = 0;
};

class ForegroundWatch {
 public:
  explicit ForegroundWatch(ForegroundSource& source) : source_(source) {}

  // The front window when it is not the one the last check saw.
  std::optional<FrontWindow> Check();
  // The next check reports the front window even when it is the same
  // (the watch was off meanwhile, or the library changed).
  void Forget() { last_.reset(); }

 private:
  ForegroundSource& source_;
  std::optional<uint64_t> last_;
};

#ifdef _WIN32
// The system's answer: GetForegroundWindow, and the process's image name
// (QueryFullProcessImageNameW with the limited query right).
class Win32ForegroundSource final : public ForegroundSource {
 public:
  uint64_t FrontWindowId() override;
  FrontWindow Describe(uint64_t window) override;
};
#endif

}  // namespace kovral
