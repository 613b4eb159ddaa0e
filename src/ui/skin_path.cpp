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

std::vector<std::wstring> SkinsHomesFor(std::wstring_view programFolder, std::wstring_view userDataFolder,
                                        const std::function<bool(const std::wstring&)>& isFolder) {
  std::vector<std::wstring> homes;
  if (!userDataFolder.empty()) homes.emplace_back(userDataFolder);
  std::wstring installed = std::wstring(programFolder) + L"../share/kovral/";
  if (isFolder(SkinFolderFor(programFolder, kDefaultSkinName)) || !isFolder(SkinFolderFor(installed, kDefaultSkinName)))
    installed = programFolder;
  homes.push_back(std::move(installed));
  return homes;
}

std::wstring DefaultSkinFolder(const std::vector<std::wstring>& homes,
                               const std::function<bool(const std::wstring&)>& exists) {
  for (const std::wstring& home : homes) {
    std::wstring folder = SkinFolderFor(home, kDefaultSkinName);
    if (SkinIsComplete(folder, exists)) return folder;
  }
  return SkinFolderFor(homes.empty() ? std::wstring() : homes.back(), kDefaultSkinName);
}

std::wstring OptionalPicturesFolder(const std::vector<std::wstring>& homes, const std::wstring& skinFolder,
                                    const std::function<bool(const std::wstring&)>& exists) {
  for (const wchar_t* file : skin::OptionalFiles())
    if (!exists(SkinImagePath(skinFolder, file))) return DefaultSkinFolder(homes, exists);
  return skinFolder;
}

// A skin that lacks a picture would leave the window without its size or the
// dialogs without their faces, and the user could not choose again. No name
// at all is no choice: the program writes a str.ini without one itself (its
// first run's button texts), and the user never chose anything to be told of.
// A user's incomplete copy of a skin does not hide the complete one that
// came with the program.
StartSkin ChooseStartSkin(const std::vector<std::wstring>& homes, const std::wstring& skinName,
                          const std::function<bool(const std::wstring&)>& exists) {
  if (!skinName.empty()) {
    for (const std::wstring& home : homes) {
      std::wstring folder = SkinFolderFor(home, skinName);
      if (SkinIsComplete(folder, exists)) return {std::move(folder), skinName, false};
    }
  }
  // "Default" itself is never replaced: there is nothing to fall back to.
  const bool fellBack = !skinName.empty() && skinName != kDefaultSkinName;
  return {DefaultSkinFolder(homes, exists), kDefaultSkinName, fellBack};
}

}  // namespace kovral
