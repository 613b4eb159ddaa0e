#include <windows.h>

#include <string>

#include "profiles/foreground_watch.h"

namespace kovral {
namespace {

// One program, one window told: the hook's callback has no context of its own.
HWND g_hookWindow = nullptr;
UINT g_hookMessage = 0;

void CALLBACK OnForegroundEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
  if (g_hookWindow) PostMessageW(g_hookWindow, g_hookMessage, 0, 0);
}

}  // namespace

void ForegroundHook::Start(uintptr_t window, uint32_t message, uintptr_t timerId) {
  if (running()) return;
  window_ = window;
  timerId_ = timerId;
  HWND hwnd = reinterpret_cast<HWND>(window);
  g_hookWindow = hwnd;
  g_hookMessage = message;
  hook_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnForegroundEvent, 0, 0,
                          WINEVENT_OUTOFCONTEXT);
  SetTimer(hwnd, timerId, 1000, nullptr);
}

void ForegroundHook::Stop() {
  if (!running()) return;
  if (hook_) UnhookWinEvent(static_cast<HWINEVENTHOOK>(hook_));
  hook_ = nullptr;
  KillTimer(reinterpret_cast<HWND>(window_), timerId_);
  g_hookWindow = nullptr;
  window_ = 0;
}

uint64_t Win32ForegroundSource::FrontWindowId() {
  return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(GetForegroundWindow()));
}

std::vector<FrontWindow> Win32ForegroundSource::OpenWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM found) -> BOOL {
        if (IsWindowVisible(window) && GetWindowTextLengthW(window) > 0)
          reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  std::vector<FrontWindow> described;
  for (HWND window : windows) {
    const uint64_t id = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(window));
    FrontWindow front = Describe(id);
    front.window = id;
    described.push_back(std::move(front));
  }
  return described;
}

FrontWindow Win32ForegroundSource::Describe(uint64_t window) {
  FrontWindow front;
  HWND hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(window));
  if (hwnd == nullptr) return front;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == 0) return front;
  if (pid == GetCurrentProcessId()) {
    front.own = true;
    front.shown = IsWindowVisible(hwnd) != FALSE;
    return front;
  }
  // The limited right is what a process of another user or a protected one
  // still grants; one that refuses even that stays unnamed.
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return front;
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  const bool named = QueryFullProcessImageNameW(process, 0, path.data(), &size) != 0;
  CloseHandle(process);
  if (!named) return front;
  path.resize(size);
  const size_t slash = path.find_last_of(L"\\/");
  front.program = slash == std::wstring::npos ? path : path.substr(slash + 1);
  return front;
}

}  // namespace kovral
