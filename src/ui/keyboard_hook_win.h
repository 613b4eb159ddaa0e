#pragma once
// A thread keyboard hook owned by the object that installed it. The system
// calls one procedure for every hook; it forwards to the owner of the hook
// installed last (the one the system calls first, since no owner passes a
// keystroke on). The hook is removed when its owner goes, also when its
// dialog ends early.
#include <windows.h>

#include "base/handles_win.h"

namespace kovral {

class KeyboardHook {
 public:
  // Every keystroke message the thread is about to take from its queue, key
  // down and key up: the key code and the message's key data.
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void OnHookedKey(WPARAM virtualKey, LPARAM keyData) = 0;
  };

  KeyboardHook() = default;
  ~KeyboardHook() { Remove(); }
  KeyboardHook(const KeyboardHook&) = delete;
  KeyboardHook& operator=(const KeyboardHook&) = delete;

  // False when the system refused (GetLastError tells why).
  bool Install(Listener& listener);
  void Remove();
  bool installed() const { return static_cast<bool>(hook_); }

 private:
  static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam);

  OwnedHook hook_;
  Listener* listener_ = nullptr;
  KeyboardHook* below_ = nullptr;  // the hook that was on top before this one
};

}  // namespace kovral
