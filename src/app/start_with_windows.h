#pragma once
// "Start with Windows" in the tray menu and the Preferences dialog: a value
// of the user's Run key that starts this executable at sign-in. It is on
// while the value names this executable (a value left by an installation
// elsewhere does not count); turning it on sets the value, off removes it.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "lang/language.h"

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
  // The Run key starts the program with Windows, an autostart entry with
  // the desktop session: the setting's name in the menu and Preferences.
  virtual StartupPlace place() const { return StartupPlace::Windows; }
};
std::unique_ptr<RunKey> MakeSystemRunKey();  // Win32 build only

class ConfigFileSystem;
// The same setting on a Linux desktop: the freedesktop.org autostart entry
// `configHome` + "autostart/kovral.desktop" ($XDG_CONFIG_HOME with its
// trailing separator), whose Exec line holds the command. `files` lives as
// long as the entry.
std::unique_ptr<RunKey> MakeAutostartEntry(ConfigFileSystem& files, std::wstring configHome);

// The command that starts the executable: its path in quotes.
std::wstring RunCommandFor(std::wstring_view executable);

// Whether a Run command starts this executable: the program part of the
// command (quoted, or up to the first blank) equals the path without regard
// to case; arguments after it are allowed.
bool RunCommandStarts(std::wstring_view command, std::wstring_view executable);

bool StartsWithWindows(RunKey& key, std::wstring_view executable);
// Makes the key say `on`: sets the value, or removes it when it names this
// executable (another installation's value is left alone). True when the
// key now says what was asked. The tray item and the Preferences dialog both
// change the setting through it.
bool SetStartWithWindows(RunKey& key, std::wstring_view executable, bool on);

}  // namespace kovral
