// The skins dialog's decisions: what it lists, which folder a name finds,
// which folders it refuses, and its controls' colours.
#include <gtest/gtest.h>

#include <set>

#include "dialogs/skins_choice.h"
#include "dialogs_fake_shell.h"
#include "ui/skin_files.h"
#include "ui/skin_path.h"

namespace kovral {
namespace {

const std::vector<FolderEntry> kRoot = {
    {L".", true}, {L"..", true}, {L"readme.txt", false}, {L"Ember", true}, {L"Default", true}, {L"Broken", true},
};
constexpr wchar_t kSkinsRoot[] = L"C:\\K\\/Skins";

// A skin made before the Profiles or the Preferences dialog is complete and
// those dialogs draw with the Default skin's pictures; one with all of them
// draws with its own.
TEST(SkinsChoice, TheOptionalPicturesComeFromTheSkinOnlyWhenItHasAllOfThem) {
  std::set<std::wstring> present;
  for (const wchar_t* file : skin::AllFiles()) present.insert(SkinImagePath(L"C:\\K\\/Skins/Old", file));
  const auto exists = [&](const std::wstring& path) { return present.count(path) != 0; };
  EXPECT_TRUE(SkinIsComplete(L"C:\\K\\/Skins/Old", exists)) << "the optional pictures make no skin incomplete";
  EXPECT_EQ(OptionalPicturesFolder(L"C:\\K\\", L"C:\\K\\/Skins/Old", exists), L"C:\\K\\/Skins/Default");
  present.insert(SkinImagePath(L"C:\\K\\/Skins/Old", skin::kProfilesDialog));
  present.insert(SkinImagePath(L"C:\\K\\/Skins/Old", skin::kProfilesButtonNormal));
  EXPECT_EQ(OptionalPicturesFolder(L"C:\\K\\", L"C:\\K\\/Skins/Old", exists), L"C:\\K\\/Skins/Default")
      << "one picture short";
  present.insert(SkinImagePath(L"C:\\K\\/Skins/Old", skin::kProfilesButtonOver));
  EXPECT_EQ(OptionalPicturesFolder(L"C:\\K\\", L"C:\\K\\/Skins/Old", exists), L"C:\\K\\/Skins/Default")
      << "a skin made before the Preferences dialog";
  present.insert(SkinImagePath(L"C:\\K\\/Skins/Old", skin::kPreferencesDialog));
  EXPECT_EQ(OptionalPicturesFolder(L"C:\\K\\", L"C:\\K\\/Skins/Old", exists), L"C:\\K\\/Skins/Old");
  for (const wchar_t* optional : skin::OptionalFiles())
    for (const wchar_t* file : skin::AllFiles()) EXPECT_NE(std::wstring(optional), std::wstring(file));
}

TEST(SkinsChoice, ListsDirectoriesInTheOrderFound) {
  EXPECT_EQ(SkinListEntries(kRoot), (std::vector<std::wstring>{L"Ember", L"Default", L"Broken"}));
  EXPECT_TRUE(SkinListEntries({}).empty());
}

TEST(SkinsChoice, TakesOnlyACompleteFolderFoundWithoutRegardToCase) {
  std::set<std::wstring> present;
  for (const wchar_t* file : skin::AllFiles()) {
    present.insert(SkinImagePath(L"C:\\K\\/Skins/Ember", file));
    if (std::wstring(file) != skin::kMain) present.insert(SkinImagePath(L"C:\\K\\/Skins/Broken", file));
  }
  const auto exists = [&](const std::wstring& path) { return present.count(path) != 0; };

  // The entry's text is what is stored; the folder is spelt as the file system spells it.
  const SkinPick ember = PickSkin(kSkinsRoot, kRoot, L"eMBER", exists);
  EXPECT_TRUE(ember.taken);
  EXPECT_EQ(ember.name, L"eMBER");
  EXPECT_EQ(ember.folder, L"C:\\K\\/Skins/Ember");

  EXPECT_FALSE(PickSkin(kSkinsRoot, kRoot, L"Broken", exists).taken);   // one picture short
  EXPECT_FALSE(PickSkin(kSkinsRoot, kRoot, L"Gone", exists).taken);     // removed since listed
  EXPECT_FALSE(PickSkin(kSkinsRoot, kRoot, L"readme.txt", exists).taken);  // a file is never a skin
  EXPECT_FALSE(PickSkin(kSkinsRoot, kRoot, L"Embers", exists).taken);
}

TEST(SkinsChoice, SwatchShowsTheChosenColourAndTheListIsDark) {
  const ui::Rgb chosen{10, 20, 30};
  const ControlColors swatch = SkinsDialogControlColors(kSkinSwatchStatic, ControlType::Static, chosen);
  EXPECT_EQ(swatch.brush, ControlColors::Brush::Solid);
  EXPECT_EQ(swatch.brushColor, chosen);
  EXPECT_EQ(swatch.background, ControlColors::Background::Transparent);
  const ControlColors list = SkinsDialogControlColors(kSkinList, ControlType::ListBox, chosen);
  EXPECT_EQ(list.text, ControlColors::Text::White);
  EXPECT_EQ(list.brushColor, (ui::Rgb{0x28, 0x28, 0x28}));
  EXPECT_EQ(SkinsDialogControlColors(kSkinNameStatic, ControlType::Static, chosen).text, ControlColors::Text::White);
}

// The dialog through a recording shell: an incomplete skin is refused with
// a warning and the skin in use stays; a complete one is shown and kept; a
// colour chosen paints the swatch, a cancelled chooser changes nothing.
TEST(SkinsChoice, TheDialogKeepsTheSkinInUseWhenTheChosenOneIsIncomplete) {
  std::set<std::wstring> present;
  for (const wchar_t* file : skin::AllFiles()) present.insert(SkinImagePath(std::wstring(kSkinsRoot) + L"/Ember", file));
  SkinsFolder folder{kSkinsRoot, [] { return kRoot; },
                     [&](const std::wstring& path) { return present.count(path) != 0; }};
  FixedColorChooser colors(ui::Rgb{1, 2, 3});
  FixedColorChooser cancelled(std::nullopt);
  SkinsResult result;
  SkinsDialogModel model({L"C:\\K\\/Skins\\Default", {9, 9, 9}, L"en"}, L"Default", folder, colors, result);
  testing::RecordingDialogShell shell;
  model.Attach(shell);
  model.Open();
  EXPECT_EQ(shell.texts[kSkinNameStatic], L"Default");
  shell.Take();
  const layout::Point field{layout::skins::kField.left + 2, layout::skins::kField.top + 2};
  model.OnClick(field);
  EXPECT_EQ(shell.items[kSkinList], (std::vector<std::wstring>{L"Ember", L"Default", L"Broken"}));
  shell.selection[kSkinList] = 2;
  model.OnListEvent(kSkinList, ui::ListEvent::DoubleClicked);
  EXPECT_EQ(shell.Take(), (std::vector<std::string>{"open 562 3", "close", "tell"}));
  EXPECT_EQ(result.chosenSkinName, L"Default");
  EXPECT_EQ(result.chosenSkinFolder, L"C:\\K\\/Skins\\Default");

  model.OnClick(field);
  shell.selection[kSkinList] = 0;
  model.OnListEvent(kSkinList, ui::ListEvent::PointerSelected);
  EXPECT_EQ(result.chosenSkinName, L"Ember");
  EXPECT_EQ(result.chosenSkinFolder, std::wstring(kSkinsRoot) + L"/Ember");
  EXPECT_EQ(shell.texts[kSkinNameStatic], L"Ember");

  shell.Take();
  const layout::Point swatch{layout::skins::kSwatch.left + 2, layout::skins::kSwatch.top + 2};
  model.OnClick(swatch);
  EXPECT_EQ(shell.Take(), std::vector<std::string>{"redraw 561"});
  EXPECT_EQ(model.ColorsFor(kSkinSwatchStatic, ControlType::Static).brushColor, (ui::Rgb{1, 2, 3}));
  SkinsResult kept;
  SkinsDialogModel other({L"x", {9, 9, 9}, L"en"}, L"x", folder, cancelled, kept);
  other.Attach(shell);
  other.OnClick(swatch);
  EXPECT_EQ(shell.Take(), std::vector<std::string>{});
  EXPECT_EQ(kept.chosenColor, (ui::Rgb{9, 9, 9}));
}

}  // namespace
}  // namespace kovral
