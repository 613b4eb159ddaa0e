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
      if (line.starts_with("Exec=")) return FromUtf8(std::string(line.substr(5)));
      start = end + 1;
    }
    return std::nullopt;
  }

  bool Write(const std::wstring& command) override {
    if (files_.CreateFolder(folder_) != 0) return false;
    const std::string text = "[Desktop Entry]\nType=Application\nName=Kovral\nExec=" + ToUtf8(command) +
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
