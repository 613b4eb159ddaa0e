#include <windows.h>

#include <string>

#include "profiles/foreground_watch.h"

namespace kovral {

uint64_t Win32ForegroundSource::FrontWindowId() {
  return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(GetForegroundWindow()));
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
