#include "ui/keyboard_hook_win.h"

namespace kovral {
namespace {

KeyboardHook* g_top = nullptr;  // the interface thread's hooks form a stack

}  // namespace

bool KeyboardHook::Install(Listener& listener) {
  Remove();
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD, &KeyboardHook::Procedure, nullptr, GetCurrentThreadId());
  if (!hook) return false;
  hook_.reset(hook);
  listener_ = &listener;
  below_ = g_top;
  g_top = this;
  return true;
}

void KeyboardHook::Remove() {
  if (!hook_) return;
  hook_.reset();
  // Take this hook out of the stack wherever it stands.
  for (KeyboardHook** link = &g_top; *link; link = &(*link)->below_) {
    if (*link == this) {
      *link = below_;
      break;
    }
  }
  below_ = nullptr;
  listener_ = nullptr;
}

// The keystroke still reaches its window; only the other hooks do not see it.
LRESULT CALLBACK KeyboardHook::Procedure(int code, WPARAM wParam, LPARAM lParam) {
  if (code != HC_ACTION || !g_top || !g_top->listener_) return CallNextHookEx(nullptr, code, wParam, lParam);
  g_top->listener_->OnHookedKey(wParam, lParam);
  return 0;
}

}  // namespace kovral
