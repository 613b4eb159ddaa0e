#pragma once
// Which window is in front, asked of the system through a small seam so the
// tests can script it. The watch asks for the front window's name only when
// the window changed: a once-a-second check of an unchanged front costs one
// system call.
#include <cstdint>
#include <optional>
#include <vector>

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

  // The front window when it is not the one the last check saw. The
  // program's own hidden window (the tray menu's) is no change of the front,
  // and the next check looks afresh, since that window may be shown next.
  std::optional<FrontWindow> Check();
  // The next check reports the front window even when it is the same
  // (the watch was off meanwhile, or the library changed).
  void Forget() { last_.reset(); }

 private:
  ForegroundSource& source_;
  std::optional<uint64_t> last_;
};

#ifdef _WIN32
// Tells a window that the front may have changed: the system's foreground
// event (an out-of-context hook, delivered through the thread's message
// loop) and a check once a second, since some systems (Wine) never send the
// event. The window gets `message` for either; its timer `timerId` is the
// check's. Runs only between Start and Stop, so with nothing to watch no
// timer wakes the program.
class ForegroundHook {
 public:
  ForegroundHook() = default;
  ForegroundHook(const ForegroundHook&) = delete;
  ForegroundHook& operator=(const ForegroundHook&) = delete;
  ~ForegroundHook() { Stop(); }
  void Start(uintptr_t window, uint32_t message, uintptr_t timerId);
  void Stop();
  bool running() const { return window_ != 0; }

 private:
  uintptr_t window_ = 0;
  uintptr_t timerId_ = 0;
  void* hook_ = nullptr;
};

// The system's answer: GetForegroundWindow, and the process's image name
// (QueryFullProcessImageNameW with the limited query right).
class Win32ForegroundSource final : public ForegroundSource {
 public:
  uint64_t FrontWindowId() override;
  FrontWindow Describe(uint64_t window) override;
  // Every visible top-level window with a title, described.
  std::vector<FrontWindow> OpenWindows();
};
#endif

}  // namespace kovral
