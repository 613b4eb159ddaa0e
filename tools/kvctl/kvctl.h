#pragma once
// kvctl: the command-line face of the device link and the settings files.
#include <ostream>
#include <string>
#include <vector>

namespace kovral {

struct KvctlIo {
  std::ostream& out;        // UTF-8
  std::ostream& err;        // UTF-8; one line per problem
  std::wstring modulePath;  // the tool's own path: default files lie beside it
};

// Runs one command line (without the program name); returns the exit status.
int RunKvctl(const std::vector<std::wstring>& args, KvctlIo& io);

}  // namespace kovral
