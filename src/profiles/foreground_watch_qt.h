#pragma once
// The window in front on an X display, for the Linux program: the root
// window's _NET_ACTIVE_WINDOW, which the window manager keeps, read over a
// connection of this object's own to $DISPLAY (whether Qt itself draws
// through X or natively on Wayland, where the display is XWayland's). A
// window is named by the process its _NET_WM_PID names (process_program.h):
// a Wine program by its .exe. Without an X display, or with a native
// Wayland window in front (XWayland's active window is None then), the
// front is the desktop.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "profiles/foreground_watch.h"

namespace kovral {

class X11ForegroundSource final : public ForegroundSource {
 public:
  X11ForegroundSource();
  ~X11ForegroundSource() override;
  X11ForegroundSource(const X11ForegroundSource&) = delete;
  X11ForegroundSource& operator=(const X11ForegroundSource&) = delete;

  // `changed` runs on the thread's event loop each time the window manager
  // names another active window, between Start and Stop: the display's
  // events wake the program, no timer does.
  void Start(std::function<void()> changed);
  void Stop();
  bool running() const;

  uint64_t FrontWindowId() override;
  FrontWindow Describe(uint64_t window) override;
  // The windows the window manager lists as its clients (without one, the
  // root's mapped children), described.
  std::vector<FrontWindow> OpenWindows();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kovral
