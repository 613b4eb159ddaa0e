#include "app/start_with_windows.h"

#include "lang/text_format.h"
#include "settings/config_file.h"
#include "settings/text_encoding.h"

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

namespace {

// The Exec value of a desktop entry that starts `program`, per the desktop
// entry rules: the path quoted, with the four characters the quoting
// reserves (" ` $ \) escaped by a backslash, "%" (a field code's mark)
// doubled, and then the escapes of every string value applied (a backslash
// doubled, a line break as \n), so that a path with any of them starts
// the program it names instead of another or none.
std::string DesktopExecValue(std::wstring_view program) {
  std::string value = "\"";
  for (const char c : ToUtf8(std::wstring(program))) {
    if (c == '"' || c == '`' || c == '$') {
      value += "\\\\";
      value += c;
    } else if (c == '\\') {
      value += "\\\\\\\\";
    } else if (c == '%') {
      value += "%%";
    } else if (c == '\n') {
      value += "\\n";
    } else {
      value += c;
    }
  }
  return value + "\"";
}

// Back from an Exec value to the command form of RunCommandFor: the string
// escapes undone, then a quoted program's escapes; "%%" is "%".
std::wstring CommandOfDesktopExec(std::string_view value) {
  std::string plain;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      plain += value[i];
      continue;
    }
    const char next = value[++i];
    plain += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
  }
  std::string command;
  bool quoted = false;
  for (size_t i = 0; i < plain.size(); ++i) {
    const char c = plain[i];
    if (c == '"') quoted = !quoted;
    if (quoted && c == '\\' && i + 1 < plain.size()) {
      command += plain[++i];
      continue;
    }
    if (c == '%' && i + 1 < plain.size() && plain[i + 1] == '%') ++i;
    command += c;
  }
  return FromUtf8(command);
}

// The command this program writes is RunCommandFor's: its path in quotes.
std::wstring_view ProgramOfCommand(std::wstring_view command) {
  if (command.size() >= 2 && command.front() == L'"' && command.back() == L'"')
    return command.substr(1, command.size() - 2);
  return command;
}

// A desktop reads the first Exec key of the entry's [Desktop Entry] group;
// the file is written by this program only, so it has no other group.
class AutostartEntry final : public RunKey {
 public:
  AutostartEntry(ConfigFileSystem& files, std::wstring configHome)
      : files_(files), folder_(std::move(configHome) + L"autostart"), file_(folder_ + L"/kovral.desktop") {}

  std::optional<std::wstring> Read() override {
    const std::optional<std::vector<uint8_t>> bytes = files_.ReadAll(file_);
    if (!bytes) return std::nullopt;
    const std::string text(bytes->begin(), bytes->end());
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      const std::string_view line(text.data() + start, end - start);
      if (line.starts_with("Exec=")) return CommandOfDesktopExec(line.substr(5));
      start = end + 1;
    }
    return std::nullopt;
  }

  bool Write(const std::wstring& command) override {
    if (files_.CreateFolder(folder_) != 0) return false;
    const std::string text = "[Desktop Entry]\nType=Application\nName=Kovral\nExec=" +
                             DesktopExecValue(ProgramOfCommand(command)) +
                             "\nIcon=kovral\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
    return files_.WriteReplace(file_, std::vector<uint8_t>(text.begin(), text.end())) == 0;
  }

  bool Remove() override { return !files_.Exists(file_) || files_.Remove(file_) == 0; }
  StartupPlace place() const override { return StartupPlace::Desktop; }

 private:
  ConfigFileSystem& files_;
  std::wstring folder_;
  std::wstring file_;
};

}  // namespace

std::unique_ptr<RunKey> MakeAutostartEntry(ConfigFileSystem& files, std::wstring configHome) {
  return std::make_unique<AutostartEntry>(files, std::move(configHome));
}

}  // namespace kovral
