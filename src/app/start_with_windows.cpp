#include "app/start_with_windows.h"

#include "lang/text_format.h"

namespace kovral {

std::wstring RunCommandFor(std::wstring_view executable) {
  std::wstring command = L"\"";
  command += executable;
  command += L"\"";
  return command;
}

bool RunCommandStarts(std::wstring_view command, std::wstring_view executable) {
  while (!command.empty() && command.front() == L' ') command.remove_prefix(1);
  std::wstring_view program;
  if (!command.empty() && command.front() == L'"') {
    const size_t close = command.find(L'"', 1);
    if (close == std::wstring_view::npos) return false;
    program = command.substr(1, close - 1);
  } else {
    program = command.substr(0, command.find(L' '));
  }
  return !program.empty() && EqualIgnoringCase(program, executable);
}

bool StartsWithWindows(RunKey& key, std::wstring_view executable) {
  const std::optional<std::wstring> command = key.Read();
  return command && RunCommandStarts(*command, executable);
}

bool SetStartWithWindows(RunKey& key, std::wstring_view executable, bool on) {
  if (StartsWithWindows(key, executable) == on) return true;
  return on ? key.Write(RunCommandFor(executable)) : key.Remove();
}

}  // namespace kovral
