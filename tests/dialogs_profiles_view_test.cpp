// What the Profiles dialog lists and offers, without its window.
#include <gtest/gtest.h>

#include "dialogs/profiles_view.h"

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
