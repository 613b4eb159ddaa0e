#pragma once
// What the skins dialog decides: which folders it lists, which folder a
// chosen name stands for, whether that folder can be drawn, and how its two
// controls of its own are coloured. The listing itself comes from the
// platform (FindFirstFileW on Windows).
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/skin_dialog.h"
#include "ui/color_chooser.h"
#include "ui/text_style.h"
#include "view/control_colors.h"

namespace kovral {

struct FolderEntry {
  std::wstring name;
  bool directory = false;
};

// The list's entries: every directory but "." and "..", in the order the
// file system gave them. Files are left out.
std::vector<std::wstring> SkinListEntries(std::span<const FolderEntry> entries);

// The folder of the first directory named `name` without regard to case:
// root + "/" + the name as the file system spells it. Nothing when no
// directory matches (it was removed after the list was made).
std::optional<std::wstring> FindSkinFolder(std::wstring_view root, std::span<const FolderEntry> entries,
                                           std::wstring_view name);

inline constexpr int kSkinNameStatic = 560;
inline constexpr int kSkinSwatchStatic = 561;
inline constexpr int kSkinList = 562;

// The swatch shows the chosen colour as its brush; the list is white on
// dark grey; the name text is white on the picture.
ControlColors SkinsDialogControlColors(int controlId, ControlType type, ui::Rgb chosen);

struct SkinsResult {
  std::wstring chosenSkinName;
  std::wstring chosenSkinFolder;
  ui::Rgb chosenColor;
};

// Where the skins are and what the file system says of them: the "Skins"
// folders in the order a name is looked up (a user's own, then the
// program's; see SkinsHomesFor).
struct SkinsFolder {
  std::vector<std::wstring> roots;
  std::function<std::vector<FolderEntry>(const std::wstring& root)> list;  // a root's entries
  std::function<bool(const std::wstring&)> exists;                        // a file of a skin
};

// The list's entries of every root in turn; a name met again in a later
// root (without regard to case) is listed once, since choosing it takes the
// first complete folder of that name.
std::vector<std::wstring> ListSkins(const SkinsFolder& folder);

// Choosing an entry of the list: the first folder of that name among the
// roots that holds every picture the program draws. A folder that lacks one
// would blank every window, the skins dialog's own included, and the user
// could not choose again: it is refused and the current skin stays.
struct SkinPick {
  bool taken = false;  // false: refused, tell the user the skin is incomplete
  std::wstring name;
  std::wstring folder;
};
SkinPick PickSkin(const SkinsFolder& folder, std::wstring_view entryText);

// The skin chooser: one of the folders under the roots and a colour for the
// interface texts. The result starts as the skin and colour in use.
class SkinsDialogModel final : public SkinDialogModel {
 public:
  SkinsDialogModel(DialogEnvironment environment, std::wstring currentSkinName, SkinsFolder folder,
                   ColorChooser& colors, SkinsResult& result);
  void Open() override;
  ControlColors ColorsFor(int controlId, ControlType type) const override;

 private:
  void AddOwnTexts(Scene& scene) const override;
  void OnFieldClick(layout::Point p) override;
  void OnListChoice(int id, int index) override;

  SkinsFolder folder_;
  ColorChooser& colors_;
  SkinsResult& result_;
  std::vector<std::wstring> listed_;
};

}  // namespace kovral
