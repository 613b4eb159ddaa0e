#pragma once
// Where a skin's images live. The executable's directory is passed in, as
// the path code finds it; it normally ends with a separator, and the literal
// "/Skins/" follows it regardless, which the file system accepts.
#include <string>
#include <string_view>

namespace kovral {

// exeDirectory + "/Skins/" + skinName.
std::wstring SkinFolderFor(std::wstring_view exeDirectory, std::wstring_view skinName);

// exeDirectory + "/Skins": the folder the skins dialog lists.
std::wstring SkinsRootFor(std::wstring_view exeDirectory);

// skinFolder + fileName, where fileName is one of skin_files.h ("/main.png").
std::wstring SkinImagePath(std::wstring_view skinFolder, std::wstring_view fileName);

}  // namespace kovral
