#include <windows.h>

#include <vector>

#include "settings/app_paths.h"

namespace kovral {

// 1024 characters hold any ordinary path; a longer one (possible with long-path
// support) is read again into a larger buffer rather than used cut short.
std::wstring ModulePath() {
  std::vector<wchar_t> buffer(1024);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace kovral
