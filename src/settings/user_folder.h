#pragma once
// Where a user's own files of the program live on a desktop where programs
// are installed read-only (Linux): config.bin, str.ini, record.ini and the
// Profiles folder. The program and kvctl share this folder.
#include <functional>
#include <string>

namespace kovral {

// A base folder of the freedesktop.org rules: `variable`'s value, else
// $HOME/`inHome` ("XDG_CONFIG_HOME", L".config/"), with the trailing
// separator; empty when neither is an absolute path.
std::wstring XdgBaseFolder(const std::function<const char*(const char*)>& env, const char* variable,
                           const wchar_t* inHome);

// $XDG_CONFIG_HOME/kovral/, else $HOME/.config/kovral/, with the trailing
// separator; empty when neither is an absolute path (relative values are
// ignored, as the base directory rules say). `env` reads the environment.
std::wstring UserConfigFolder(const std::function<const char*(const char*)>& env);

// Where a user's own data for the program lives (their own Skins):
// $XDG_DATA_HOME/kovral/, else $HOME/.local/share/kovral/, with the trailing
// separator; empty when neither is an absolute path.
std::wstring UserDataFolder(const std::function<const char*(const char*)>& env);

}  // namespace kovral

namespace kovral {

// A socket of the user's session: $XDG_RUNTIME_DIR/<name>.sock (a folder
// only the user can enter), else /tmp/<name>-<uid>.sock, so two users of
// one machine never meet.
std::string SessionSocketPath(const char* name, const std::function<const char*(const char*)>& env,
                              unsigned uid);

}  // namespace kovral
