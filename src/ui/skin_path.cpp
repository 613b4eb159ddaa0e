#include "ui/skin_path.h"

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

}  // namespace kovral
