#pragma once
// Where a skin's images live. The executable's directory is passed in, as
// the path code finds it; it normally ends with a separator, and the literal
// "/Skins/" follows it regardless, which the file system accepts.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// The folders holding a "Skins" folder, in the order a skin's name is
// looked up (each is passed to SkinFolderFor). On Windows the program's own
// folder is the only one. On Linux a user's own skins, in `userDataFolder`
// ($XDG_DATA_HOME/kovral/; empty: none), come first, as a user's data
// precedes the system's on a freedesktop.org desktop; then the skins that
// came with the program: beside it (a build, an unpacked folder) when its
// "Default" is there, else in the share folder of an installation
// (`programFolder` + "../share/kovral/", the program being in .../bin/), else
// beside it again so that a broken installation is reported where it was
// looked for. `isFolder` asks the file system.
std::vector<std::wstring> SkinsHomesFor(std::wstring_view programFolder, std::wstring_view userDataFolder,
                                        const std::function<bool(const std::wstring&)>& isFolder);

// The "Default" skin among the homes: the first one that is complete, else
// the last home's (the installed one), which the program reports as
// incomplete when it cannot draw it.
std::wstring DefaultSkinFolder(const std::vector<std::wstring>& homes,
                               const std::function<bool(const std::wstring&)>& exists);

// The folder a dialog drawn with the optional pictures (skin_files.h) takes
// them from: the skin's own when it has all of them, else the "Default"
// skin's, so a skin made before those dialogs still shows them.
std::wstring OptionalPicturesFolder(const std::vector<std::wstring>& homes, const std::wstring& skinFolder,
                                    const std::function<bool(const std::wstring&)>& exists);

// The skin to draw at start: the first complete folder of the chosen name
// among the homes, otherwise "Default" (fellBack set, so the user is told
// once). No name (str.ini without "Path") is "Default" without a word.
// str.ini keeps the choice until the user chooses again.

struct StartSkin {
  std::wstring folder;
  std::wstring name;
  bool fellBack = false;
};
StartSkin ChooseStartSkin(const std::vector<std::wstring>& homes, const std::wstring& skinName,
                          const std::function<bool(const std::wstring&)>& exists);

}  // namespace kovral
