#include "profiles/process_program.h"

#include <algorithm>
#include <array>
#include <cwctype>

namespace kovral {
namespace {

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
  return text;
}

bool IsStart(const std::wstring& fileName) {
  const std::wstring name = Lower(fileName);
  return name == L"start" || name == L"start.exe";
}

// An option of Windows' `start` ("/wait", "/min", "/unix"): a slash and a
// word, where a Unix path has a second slash or a dot.
bool IsStartOption(const std::wstring& arg) {
  return arg.size() > 1 && arg[0] == L'/' && arg.find_first_of(L"/.\\", 1) == std::wstring::npos;
}

}  // namespace

std::wstring FileNameOfPath(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool IsWineLoader(const std::wstring& fileName) {
  static constexpr std::array<const wchar_t*, 4> kLoaders{L"wine", L"wine64", L"wine-preloader",
                                                          L"wine64-preloader"};
  return std::find(kLoaders.begin(), kLoaders.end(), fileName) != kLoaders.end();
}

std::wstring WineProgramOfArgs(const std::vector<std::wstring>& args) {
  size_t i = 0;
  while (i < args.size() && IsWineLoader(FileNameOfPath(args[i]))) ++i;
  if (i < args.size() && IsStart(FileNameOfPath(args[i]))) {
    ++i;
    // `/d DIR` and `/ProgIDOpen ID` take a value; `/unix` says the program
    // after it is a Unix path, which the file name rule reads as well.
    while (i < args.size() && IsStartOption(args[i])) {
      const std::wstring option = Lower(args[i]);
      i += option == L"/d" || option == L"/progidopen" ? 2 : 1;
    }
  }
  if (i >= args.size()) return {};
  return FileNameOfPath(args[i]);
}

std::wstring ProgramOfProcess(const ProcessFacts& facts) {
  std::wstring name;
  if (!facts.executable.empty()) {
    // A program replaced while it runs (an update) keeps the old file's link.
    std::wstring path = facts.executable;
    static const std::wstring kDeleted = L" (deleted)";
    if (path.size() > kDeleted.size() && path.ends_with(kDeleted)) path.resize(path.size() - kDeleted.size());
    const size_t slash = path.find_last_of(L'/');
    name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  } else if (!facts.args.empty() && !facts.args.front().empty()) {
    // Wine sets argv[0] to the Windows path, so this is the program for
    // Wine's processes as well.
    name = FileNameOfPath(facts.args.front());
  } else {
    name = facts.shortName;
  }
  if (IsWineLoader(name)) {
    std::wstring windows = WineProgramOfArgs(facts.args);
    if (!windows.empty()) return windows;
  }
  return name;
}

}  // namespace kovral
