#include "settings/app_paths.h"

#ifndef _WIN32
#include <unistd.h>

#include <vector>

#include "settings/text_encoding.h"
#endif

namespace kovral {
namespace {

std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to) {
  size_t at = 0;
  while ((at = text.find(from, at)) != std::wstring::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

// Both separators count: Windows accepts '/' in paths, and the native build uses it.
size_t FileNameStart(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? 0 : separator + 1;
}

}  // namespace

// Under its shipped name the data files' paths come from replacing that name
// wherever it occurs, as the installed program has always found them. A copy
// running under another name would otherwise look for its settings in its own
// executable, so it uses its directory instead.
AppPaths PathsFromModulePath(const std::wstring& modulePath) {
  AppPaths paths;
  paths.modulePath = modulePath;
  const size_t nameStart = FileNameStart(modulePath);
  if (modulePath.compare(nameStart, std::wstring::npos, kExecutableName) == 0) {
    paths.configBin = ReplaceAll(modulePath, kExecutableName, L"config.bin");
    paths.recordIni = ReplaceAll(modulePath, kExecutableName, L"record.ini");
    paths.strIni = ReplaceAll(modulePath, kExecutableName, L"str.ini");
    paths.directory = ReplaceAll(modulePath, kExecutableName, L"");
  } else {
    paths.directory = modulePath.substr(0, nameStart);
    paths.configBin = paths.directory + L"config.bin";
    paths.recordIni = paths.directory + L"record.ini";
    paths.strIni = paths.directory + L"str.ini";
  }
  return paths;
}

std::wstring ApplicationName(const std::wstring& modulePath) {
  std::wstring name = modulePath.substr(FileNameStart(modulePath));
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return name;
}

#ifndef _WIN32
std::wstring ModulePath() {
  std::vector<char> buffer(1024);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return std::wstring();
    if (static_cast<size_t>(length) < buffer.size()) return FromUtf8(std::string_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}
#endif

}  // namespace kovral
