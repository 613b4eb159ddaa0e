// What the Profiles dialog lists and offers, without its window.
#include <gtest/gtest.h>

#include <algorithm>

#include "dialogs/profiles_view.h"
#include "dialogs_fake_shell.h"
#include "lang/text_format.h"
#include "settings_memory_fs.h"

namespace kovral {
namespace {

ProfileListing Listing() {
  ProfileListing listing;
  listing.profiles.push_back({L"Racing", L"", {L"car.exe", L"Rally.exe"}, ""});
  listing.profiles.push_back({L"Shooter", L"", {}, ""});
  listing.profiles.push_back({L"Torn", L"", {}, "line 3: stage1.level is missing"});
  return listing;
}

TEST(ProfilesView, EachProfileIsFollowedByItsProgramsAndTheActiveAndBrokenOnesSaySo) {
  const ProfileListing listing = Listing();
  const ProfilesTexts& texts = ProfilesTextsFor(UiLanguage::English);
  const std::vector<ProfilesRow> rows = ProfilesRows(listing, SwitchTarget::Profile(L"racing"), texts);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].text, L"Racing  (active)");
  EXPECT_EQ(rows[0].program, std::nullopt);
  EXPECT_EQ(rows[1].text, L"      car.exe");
  EXPECT_EQ(rows[2].profile, 0u);
  EXPECT_EQ(rows[2].program, 1u);
  EXPECT_EQ(rows[3].text, L"Shooter");
  EXPECT_EQ(rows[4].text, L"Torn \u2014 line 3: stage1.level is missing");
  EXPECT_EQ(rows[4].profile, 2u);

  // The Desktop settings or nothing known: no profile is marked.
  for (const std::optional<SwitchTarget>& active : {std::optional(SwitchTarget::Desktop()), std::optional<SwitchTarget>()})
    for (const ProfilesRow& row : ProfilesRows(listing, active, texts))
      EXPECT_EQ(row.text.find(L"(active)"), std::wstring::npos) << row.text;
  // Chinese marks it in its own words.
  EXPECT_EQ(ProfilesRows(listing, SwitchTarget::Profile(L"Shooter"), ProfilesTextsFor(UiLanguage::SimplifiedChinese))[3].text,
            L"Shooter  （使用中）");

  EXPECT_EQ(RowOf(rows, listing, L"SHOOTER"), 3u);
  EXPECT_EQ(RowOf(rows, listing, L"Racing", L"rally.EXE"), 2u);
  EXPECT_EQ(RowOf(rows, listing, L"Racing", L"gone.exe"), std::nullopt);
  EXPECT_EQ(RowOf(rows, listing, L"Gone"), std::nullopt);
}

TEST(ProfilesView, NamesAndProgramsAreCheckedInTheInterfacesWords) {
  const ProfilesTexts& en = ProfilesTextsFor(UiLanguage::English);
  const ProfilesTexts& cht = ProfilesTextsFor(UiLanguage::TraditionalChinese);
  EXPECT_EQ(UnusableProfileName(L"Racing 2", en), L"");
  EXPECT_EQ(UnusableProfileName(std::wstring(64, L'x'), en), L"");
  EXPECT_NE(UnusableProfileName(std::wstring(65, L'x'), en), L"");
  EXPECT_EQ(UnusableProfileName(L"a:b", en), en.nameUnusable);
  EXPECT_EQ(UnusableProfileName(L"Fast.", cht), cht.nameUnusable);
  // The Desktop settings' name is taken in any letter case, and says so.
  EXPECT_EQ(UnusableProfileName(L"DeskTop", en), L"\"DeskTop\" is the Desktop settings' name; choose another.");

  const ProfileListing listing = Listing();
  ASSERT_NE(ProfileNamed(listing, L"racing"), nullptr);
  EXPECT_EQ(ProfileNamed(listing, L"racing")->name, L"Racing");
  EXPECT_EQ(ProfileNamed(listing, L"Rac"), nullptr);
  EXPECT_TRUE(NamesProgram(listing.profiles[0].programs, L"C:\\Games\\RALLY.exe"));
  EXPECT_TRUE(NamesProgram(listing.profiles[0].programs, L"/home/u/car.EXE"));
  EXPECT_FALSE(NamesProgram(listing.profiles[0].programs, L"car.exe.bak"));
  EXPECT_FALSE(NamesProgram(listing.profiles[1].programs, L"car.exe"));
}

TEST(ProfilesView, TheOpenWindowsOfferEachNamedProgramOnceInOrder) {
  const std::vector<FrontWindow> windows = {
      {1, L"notepad.exe"}, {2, L"Game.exe"}, {3, L""}, {4, L"KALVORIN_DRX_Driver.exe", true},
      {5, L"game.EXE"},    {6, L"Browser.exe"},
  };
  EXPECT_EQ(OpenProgramNames(windows), (std::vector<std::wstring>{L"Browser.exe", L"Game.exe", L"notepad.exe"}));
  EXPECT_TRUE(OpenProgramNames({}).empty());
}

}  // namespace
}  // namespace kovral

namespace kovral {
namespace {

layout::Point Centre(const layout::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The dialog's steps through a recording shell: Enter in the Name box saves
// rather than closing, saving over a profile and deleting one ask first and
// a No changes nothing, a program comes from the windows open now.
TEST(ProfilesView, TheDialogSavesOnEnterInTheNameBoxAndAsksBeforeReplacingOrDeleting) {
  testing::MemoryFileSystem fs;
  ProfileLibrary library(fs, L"/kv/Profiles");
  int changes = 0;
  ProfilesDialogServices services{library, nullptr, [] { return ProfileData{}; }, {}, [&] { ++changes; }};
  ProfilesDialogModel model({L"C:\\K\\Skins\\Default", {255, 255, 255}, L"en"}, services, [] {
    return std::vector<FrontWindow>{{1, L"game.exe", false}, {2, L"kovral.exe", true}};
  });
  testing::RecordingDialogShell shell;
  model.Attach(shell);
  model.Open();
  const ProfilesTexts& texts = ProfilesTextsFor(UiLanguage::English);
  EXPECT_EQ(model.status(), texts.noProfiles);
  EXPECT_EQ(shell.focus, kProfilesNameEditId);

  model.OnOk();
  EXPECT_EQ(model.status(), texts.typeName) << "Enter in the empty Name box";
  shell.texts[kProfilesNameEditId] = L"  Racing ";
  shell.Take();
  model.OnOk();
  EXPECT_EQ(model.status(), FormatText(texts.saved, L"Racing"));
  EXPECT_EQ(shell.items[kProfilesListId], std::vector<std::wstring>{L"Racing"});
  EXPECT_EQ(shell.ListSelection(kProfilesListId), 0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(std::count(shell.calls.begin(), shell.calls.end(), "end ok"), 0);

  shell.texts[kProfilesNameEditId] = L"racing";
  model.OnClick(Centre(layout::profiles::ButtonRect(0)));
  EXPECT_EQ(shell.told.back(), FormatText(texts.confirmReplace, L"Racing"));
  EXPECT_EQ(changes, 1) << "No keeps the profile as it was";

  model.OnClick(Centre(layout::profiles::ButtonRect(2)));
  EXPECT_EQ(shell.items[kProfilesProgramListId], std::vector<std::wstring>{L"game.exe"}) << "no Browse…, not our own";
  shell.selection[kProfilesProgramListId] = 0;
  model.OnListEvent(kProfilesProgramListId, ui::ListEvent::PointerSelected);
  EXPECT_EQ(library.List().profiles[0].programs, std::vector<std::wstring>{L"game.exe"});
  EXPECT_EQ(shell.ListSelection(kProfilesListId), 1) << "the added program's row";

  shell.selection[kProfilesListId] = 0;
  model.OnClick(Centre(layout::profiles::ButtonRect(4)));
  EXPECT_EQ(library.List().profiles.size(), 1u) << "No keeps it";
  shell.answer = true;
  model.OnClick(Centre(layout::profiles::ButtonRect(4)));
  EXPECT_TRUE(library.List().profiles.empty());
  EXPECT_EQ(changes, 3);

  shell.focus = kProfilesListId;
  shell.Take();
  model.OnWheel(120);
  model.OnOk();
  EXPECT_EQ(shell.Take(), (std::vector<std::string>{"scroll 590 -3", "end ok"}));
}

}  // namespace
}  // namespace kovral
