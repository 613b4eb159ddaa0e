#pragma once
// "Start with Windows" in the tray menu: a value of the user's Run key that
// starts this executable at sign-in. The menu item is checked while the
// value names this executable (a value left by an installation elsewhere
// does not count), and choosing it sets or removes the value.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kovral {

inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"Kovral";

// The user's Run key (HKCU) as far as this program uses it.
class RunKey {
 public:
  virtual ~RunKey() = default;
  virtual std::optional<std::wstring> Read() = 0;  // the value's command, nothing when absent
  virtual bool Write(const std::wstring& command) = 0;
  virtual bool Remove() = 0;
};
std::unique_ptr<RunKey> MakeSystemRunKey();  // Win32 build only

// The command that starts the executable: its path in quotes.
std::wstring RunCommandFor(std::wstring_view executable);

// Whether a Run command starts this executable: the program part of the
// command (quoted, or up to the first blank) equals the path without regard
// to case; arguments after it are allowed.
bool RunCommandStarts(std::wstring_view command, std::wstring_view executable);

bool StartsWithWindows(RunKey& key, std::wstring_view executable);
// Sets the value when the program does not start with Windows, removes it when
// it does. True when the key now says what was asked.
bool ToggleStartWithWindows(RunKey& key, std::wstring_view executable);

}  // namespace kovral
