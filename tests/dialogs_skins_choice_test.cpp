// The skins dialog's decisions: what it lists, which folder a name finds,
// which folders it refuses, and its controls' colours.
#include <gtest/gtest.h>

#include <map>
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
  EXPECT_EQ(OptionalPicturesFolder({L"C:\\K\\"}, L"C:\\K\\/Skins/Old", exists), L"C:\\K\\/Skins/Default");
  present.insert(SkinImagePath(L"C:\\K\\/Skins/Old", skin::kProfilesDialog));
  present.insert(SkinImagePath(L"C:\\K\\/Skins/Old", skin::kProfilesButtonNormal));
  EXPECT_EQ(OptionalPicturesFolder({L"C:\\K\\"}, L"C:\\K\\/Skins/Old", exists), L"C:\\K\\/Skins/Default")
      << "one picture short";
  present.insert(SkinImagePath(L"C:\\K\\/Skins/Old", skin::kProfilesButtonOver));
  EXPECT_EQ(OptionalPicturesFolder({L"C:\\K\\"}, L"C:\\K\\/Skins/Old", exists), L"C:\\K\\/Skins/Default")
      << "a skin made before the Preferences dialog";
  present.insert(SkinImagePath(L"C:\\K\\/Skins/Old", skin::kPreferencesDialog));
  EXPECT_EQ(OptionalPicturesFolder({L"C:\\K\\"}, L"C:\\K\\/Skins/Old", exists), L"C:\\K\\/Skins/Old");
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

  const SkinsFolder folder{{kSkinsRoot}, [](const std::wstring&) { return kRoot; }, exists};
  // The entry's text is what is stored; the folder is spelt as the file system spells it.
  const SkinPick ember = PickSkin(folder, L"eMBER");
  EXPECT_TRUE(ember.taken);
  EXPECT_EQ(ember.name, L"eMBER");
  EXPECT_EQ(ember.folder, L"C:\\K\\/Skins/Ember");

  EXPECT_FALSE(PickSkin(folder, L"Broken").taken);      // one picture short
  EXPECT_FALSE(PickSkin(folder, L"Gone").taken);        // removed since listed
  EXPECT_FALSE(PickSkin(folder, L"readme.txt").taken);  // a file is never a skin
  EXPECT_FALSE(PickSkin(folder, L"Embers").taken);
}

// A user's skins folder and the installed one: every name once, the user's
// first; a name in both takes the first complete folder.
TEST(SkinsChoice, ListsTheUsersSkinsThenTheInstalledOnesAndPicksTheFirstComplete) {
  const std::wstring user = L"/home/u/.local/share/kovral/Skins";
  const std::wstring share = L"/usr/share/kovral/Skins";
  std::map<std::wstring, std::vector<FolderEntry>> roots{
      {user, {{L"Mine", true}, {L"ember", true}, {L"notes.txt", false}}},
      {share, {{L"Default", true}, {L"Ember", true}, {L"Mine", false}}},
  };
  std::set<std::wstring> present;
  for (const wchar_t* file : skin::AllFiles()) {
    present.insert(SkinImagePath(user + L"/Mine", file));
    present.insert(SkinImagePath(share + L"/Ember", file));
    present.insert(SkinImagePath(share + L"/Default", file));
    if (std::wstring(file) != skin::kMain) present.insert(SkinImagePath(user + L"/ember", file));
  }
  const SkinsFolder folder{{user, share, L"/nowhere/Skins"},
                           [&](const std::wstring& root) { return roots[root]; },
                           [&](const std::wstring& path) { return present.count(path) != 0; }};
  EXPECT_EQ(ListSkins(folder), (std::vector<std::wstring>{L"Mine", L"ember", L"Default"}));
  EXPECT_EQ(PickSkin(folder, L"Mine").folder, user + L"/Mine");
  EXPECT_EQ(PickSkin(folder, L"ember").folder, share + L"/Ember") << "the user's copy lacks main.png";
  present.insert(SkinImagePath(user + L"/ember", skin::kMain));
  EXPECT_EQ(PickSkin(folder, L"Ember").folder, user + L"/ember");
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
  SkinsFolder folder{{kSkinsRoot}, [](const std::wstring&) { return kRoot; },
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
