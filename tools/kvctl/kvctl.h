#pragma once
// kvctl: the command-line face of the device link and the settings files.
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kovral {

struct KvctlIo {
  std::ostream& out;        // UTF-8
  std::ostream& err;        // UTF-8; one line per problem
  std::wstring modulePath;  // the tool's own path
  // The folder of the default files, with its trailing separator; when not
  // given, KvctlDefaultFolder's.
  std::optional<std::wstring> defaultFolder = std::nullopt;
};

// Where kvctl's default files are: on Windows beside the tool, as the program
// keeps its own; elsewhere $XDG_CONFIG_HOME/kovral/, else ~/.config/kovral/
// (`env` reads the environment; relative values are ignored, as the base
// directory rules say), else beside the tool.
std::wstring KvctlDefaultFolder(const std::wstring& modulePath, const std::function<const char*(const char*)>& env);

// Runs one command line (without the program name); returns the exit status.
int RunKvctl(const std::vector<std::wstring>& args, KvctlIo& io);

}  // namespace kovral
