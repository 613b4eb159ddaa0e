#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "ui/file_chooser.h"

namespace kovral {
namespace {

// The filter is pairs of name and pattern, each ended by a null, the whole
// list by a second one.
std::wstring FilterOf(const FileChoice& choice) {
  std::wstring filter;
  const auto add = [&filter](const std::wstring& text) {
    filter += text;
    filter.push_back(L'\0');
  };
  add(choice.typeName + L" (*." + choice.extension + L")");
  add(L"*." + choice.extension);
  add(choice.allFilesName + L" (*.*)");
  add(L"*.*");
  return filter;
}

class SystemFileChooser final : public FileChooser {
 public:
  std::optional<std::wstring> ChooseSave(void* owner, const FileChoice& choice) override {
    return Run(owner, choice, true);
  }
  std::optional<std::wstring> ChooseOpen(void* owner, const FileChoice& choice) override {
    return Run(owner, choice, false);
  }

 private:
  static std::optional<std::wstring> Run(void* owner, const FileChoice& choice, bool save) {
    // Long paths: the dialog writes at most nMaxFile characters.
    std::vector<wchar_t> path(32768, L'\0');
    if (save) choice.initialName.copy(path.data(), std::min(choice.initialName.size(), path.size() - 1));
    const std::wstring filter = FilterOf(choice);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = static_cast<HWND>(owner);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = choice.title.c_str();
    dialog.lpstrDefExt = choice.extension.c_str();
    // The program's own folder must stay the working one: the skins and
    // settings are found beside it, not in whatever folder was browsed.
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) return std::nullopt;
    return std::wstring(path.data());
  }
};

}  // namespace

std::unique_ptr<FileChooser> MakeSystemFileChooser() { return std::make_unique<SystemFileChooser>(); }

}  // namespace kovral
