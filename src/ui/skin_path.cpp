#include "ui/skin_path.h"

#include "ui/skin_files.h"

namespace kovral {

// The pieces are joined exactly as given: no separator is added, removed or
// normalised, so that a skin folder read back from the skins dialog and one
// built at start compare and behave the same.
std::wstring SkinFolderFor(std::wstring_view exeDirectory, std::wstring_view skinName) {
  std::wstring folder(exeDirectory);
  folder += L"/Skins/";
  folder += skinName;
  return folder;
}

std::wstring SkinsRootFor(std::wstring_view exeDirectory) {
  std::wstring root(exeDirectory);
  root += L"/Skins";
  return root;
}

std::wstring SkinImagePath(std::wstring_view skinFolder, std::wstring_view fileName) {
  std::wstring path(skinFolder);
  path += fileName;
  return path;
}

bool SkinIsComplete(std::wstring_view skinFolder, const std::function<bool(const std::wstring&)>& exists) {
  for (const wchar_t* file : skin::AllFiles())
    if (!exists(SkinImagePath(skinFolder, file))) return false;
  return true;
}

std::wstring OptionalPicturesFolder(std::wstring_view exeDirectory, const std::wstring& skinFolder,
                                    const std::function<bool(const std::wstring&)>& exists) {
  for (const wchar_t* file : skin::OptionalFiles())
    if (!exists(SkinImagePath(skinFolder, file))) return SkinFolderFor(exeDirectory, kDefaultSkinName);
  return skinFolder;
}

// A skin that lacks a picture would leave the window without its size or the
// dialogs without their faces, and the user could not choose again. No name
// at all is no choice: the program writes a str.ini without one itself (its
// first run's button texts), and the user never chose anything to be told of.
StartSkin ChooseStartSkin(std::wstring_view exeDirectory, const std::wstring& skinName,
                          const std::function<bool(const std::wstring&)>& exists) {
  if (skinName.empty()) return {SkinFolderFor(exeDirectory, kDefaultSkinName), kDefaultSkinName, false};
  StartSkin chosen{SkinFolderFor(exeDirectory, skinName), skinName, false};
  if (skinName == kDefaultSkinName || SkinIsComplete(chosen.folder, exists)) return chosen;
  return {SkinFolderFor(exeDirectory, kDefaultSkinName), kDefaultSkinName, true};
}

}  // namespace kovral
