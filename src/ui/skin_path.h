#pragma once
// Where a skin's images live. The executable's directory is passed in, as
// the path code finds it; it normally ends with a separator, and the literal
// "/Skins/" follows it regardless, which the file system accepts.
#include <functional>
#include <string>
#include <string_view>

namespace kovral {

// exeDirectory + "/Skins/" + skinName.
std::wstring SkinFolderFor(std::wstring_view exeDirectory, std::wstring_view skinName);

// exeDirectory + "/Skins": the folder the skins dialog lists.
std::wstring SkinsRootFor(std::wstring_view exeDirectory);

// skinFolder + fileName, where fileName is one of skin_files.h ("/main.png").
std::wstring SkinImagePath(std::wstring_view skinFolder, std::wstring_view fileName);

// The skin an installation ships and falls back to.
inline constexpr const wchar_t* kDefaultSkinName = L"Default";

// Whether the folder holds every file the program draws.
bool SkinIsComplete(std::wstring_view skinFolder, const std::function<bool(const std::wstring&)>& exists);

// The skin to draw at start: the chosen one when it is complete, otherwise
// "Default" (fellBack set, so the user is told once). No name (str.ini
// without "Path") is "Default" without a word. str.ini keeps the choice
// until the user chooses again.
// The folder a dialog drawn with the optional pictures (skin_files.h) takes
// them from: the skin's own when it has all of them, else the "Default"
// skin's, so a skin made before those dialogs still shows them.
std::wstring OptionalPicturesFolder(std::wstring_view exeDirectory, const std::wstring& skinFolder,
                                    const std::function<bool(const std::wstring&)>& exists);

struct StartSkin {
  std::wstring folder;
  std::wstring name;
  bool fellBack = false;
};
StartSkin ChooseStartSkin(std::wstring_view exeDirectory, const std::wstring& skinName,
                          const std::function<bool(const std::wstring&)>& exists);

}  // namespace kovral
