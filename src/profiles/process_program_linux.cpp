#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "profiles/process_program.h"
#include "settings/text_encoding.h"

namespace kovral {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

ProcessFacts ReadProcessFacts(uint32_t pid) {
  const std::string folder = "/proc/" + std::to_string(pid) + "/";
  ProcessFacts facts;
  // The link of another user's process cannot be read; its command line can.
  std::string target(4096, '\0');
  const ssize_t length = readlink((folder + "exe").c_str(), target.data(), target.size());
  if (length > 0 && static_cast<size_t>(length) < target.size()) {
    target.resize(static_cast<size_t>(length));
    facts.executable = FromUtf8(target);
  }
  const std::string cmdline = ReadAll(folder + "cmdline");
  for (size_t start = 0; start < cmdline.size();) {
    size_t end = cmdline.find('\0', start);
    if (end == std::string::npos) end = cmdline.size();
    facts.args.push_back(FromUtf8(std::string_view(cmdline).substr(start, end - start)));
    start = end + 1;
  }
  std::string comm = ReadAll(folder + "comm");
  while (!comm.empty() && comm.back() == '\n') comm.pop_back();
  facts.shortName = FromUtf8(comm);
  return facts;
}

}  // namespace kovral
