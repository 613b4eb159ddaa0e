#include "dialogs/skins_dialog_win.h"

#include "settings/app_paths.h"
#include "ui/skin_path.h"

namespace kovral {
namespace {

std::vector<FolderEntry> ListFolder(const std::wstring& root) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((root + L"\\*.*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return entries;
}

SkinsFolder SkinsFolderOfProgram() {
  SkinsFolder folder;
  folder.roots = {SkinsRootFor(PathsFromModulePath(ModulePath()).directory)};
  folder.list = ListFolder;
  folder.exists = [](const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; };
  return folder;
}

}  // namespace

CSkinsDialog::CSkinsDialog(DialogEnvironment environment, std::wstring currentSkinName, ColorChooser& colors)
    : CSkinDialog(std::make_unique<SkinsDialogModel>(std::move(environment), std::move(currentSkinName),
                                                     SkinsFolderOfProgram(), colors,
                                                     static_cast<SkinsResult&>(*this))) {}

}  // namespace kovral
