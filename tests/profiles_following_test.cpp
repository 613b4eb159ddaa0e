// The program's following of the front program, on the simulated mouse: what
// the mouse holds after each change, what the window then shows and edits,
// and where an Apply goes while a profile is shown.
#include <gtest/gtest.h>

#include <cstring>

#include "device/commands.h"
#include "device/device_link.h"
#include "profiles/profile.h"
#include "profiles/profile_following.h"
#include "profiles/profile_menu.h"
#include "settings/defaults.h"
#include "settings/ini_store.h"
#include "settings/settings_session.h"
#include "sim/sim_mouse.h"
#include "settings_memory_fs.h"
#include "sim_mouse_harness.h"

namespace kovral {
namespace {

using testing::MemoryFileSystem;

const std::wstring kDir = L"C:\\K\\";
const FrontWindow kGame{101, L"Game.exe"};
const FrontWindow kEditor{301, L"notepad.exe"};
const FrontWindow kOwn{401, L"", true};

struct Mouse : testing::SimMouseHarness {
  Mouse() { Connect(); }
};

// What a mouse holds after the sensor refresh and a whole Apply of `config`.
SimFirmwareState HeldAfterApply(const DeviceConfig& config) {
  Mouse m;
  m.FullApply(config);
  return m.mouse.State();
}

bool SameRecord(const DeviceConfig& a, const DeviceConfig& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Program {
  Program() {
    desktop = FactoryConfig();
    desktop.reportRate = 8;
    desktop.pointerSpeed = 7;
    files.files[kDir + L"config.bin"] = ConfigFileBytes(desktop, 1);
    session.Load();
    session.ReadInterfaceSettings();
    session.ui.buttonText[0] = L"Left";
    session.Commit();

    shooter.config = FactoryConfig();
    shooter.config.reportRate = 1;
    shooter.config.lightMode = 2;
    shooter.config.pointerSpeed = 15;  // never the window's: the desktop's pointer stays
    shooter.texts[0][0] = L"Fire";
    shooter.texts[1][0] = L"开火";
    shooter.programs = {L"game.exe"};
    EXPECT_EQ(library.Save(L"Shooter", shooter, false), "");
    following.Reload();
    following.follower().MouseArrived();
  }
  std::optional<SwitchOutcome> Front(const FrontWindow& front) {
    following.follower().FrontChanged(front);
    return following.SendDue(m.link, m.image);
  }

  MemoryFileSystem files;
  FileIniStore ini{files};
  RecordingMessageSink messages;
  SettingsSession session{PathsFromModulePath(kDir + L"KALVORIN_DRX_Driver.exe"), ini, files, messages};
  ProfileLibrary library{files, kDir + L"Profiles"};
  ProfileFollowing following{session, library};
  Mouse m;
  DeviceConfig desktop{};
  ProfileData shooter;
};

TEST(ProfileFollowing, TheMouseAndTheWindowFollowTheFrontAndUnappliedEditsWait) {
  Program p;
  EXPECT_TRUE(p.following.AnyProgramNamed());
  EXPECT_TRUE(p.following.NeedsWatch());
  EXPECT_EQ(p.Front(kEditor), std::nullopt) << "the mouse holds the Desktop settings already";

  // An edit of the Desktop settings not yet applied.
  p.session.config.lightMode = 3;
  p.session.ui.buttonText[1] = L"Edited";

  std::optional<SwitchOutcome> out = p.Front(kGame);  // letter case aside
  ASSERT_TRUE(out);
  EXPECT_EQ(out->target, SwitchTarget::Profile(L"Shooter"));
  EXPECT_TRUE(out->sent);
  EXPECT_TRUE(out->windowChanged);
  EXPECT_EQ(p.m.mouse.State(), HeldAfterApply(p.shooter.config));
  // The window shows the profile, with the desktop's pointer settings.
  EXPECT_EQ(p.session.config.reportRate, 1);
  EXPECT_EQ(p.session.config.pointerSpeed, 7);
  EXPECT_TRUE(SameRecord(p.session.config, p.session.committedConfig));
  EXPECT_EQ(p.session.ui.buttonText[0], L"Fire");
  EXPECT_EQ(p.session.ui.buttonText[1], L"");
  EXPECT_EQ(p.following.shown(), SwitchTarget::Profile(L"Shooter"));

  // Kovral's own window: the Desktop settings as applied, the edits back as edits.
  p.m.mouse.ClearRecord();
  out = p.Front(kOwn);
  ASSERT_TRUE(out);
  EXPECT_TRUE(out->target.desktop);
  EXPECT_EQ(p.m.mouse.State(), HeldAfterApply(p.desktop));
  EXPECT_EQ(p.session.config.lightMode, 3);
  EXPECT_EQ(p.session.committedConfig.lightMode, p.desktop.lightMode);
  EXPECT_EQ(p.session.ui.buttonText[1], L"Edited");
  EXPECT_EQ(p.session.committedButtonText[0], L"Left");
  EXPECT_EQ(p.Front(kEditor), std::nullopt) << "another program without a profile: Desktop already";
  EXPECT_TRUE(p.messages.messages.empty());
}

TEST(ProfileFollowing, AnApplyWhileAProfileIsShownGoesIntoItsFileAndNeverIntoConfigBin) {
  Program p;
  p.following.follower().SetAutomatic(false);
  p.following.follower().Choose(SwitchTarget::Profile(L"Shooter"));
  ASSERT_TRUE(p.following.SendDue(p.m.link, p.m.image));
  const std::vector<uint8_t> configBin = p.files.files[kDir + L"config.bin"];

  p.session.config.dpiLevel[0] = 9;
  p.session.ui.buttonText[0] = L"Shoot";
  EXPECT_TRUE(p.following.ApplyAndSave(p.m.link, p.m.image, MainTextsFor(UiLanguage::English)));
  EXPECT_EQ(p.files.files[kDir + L"config.bin"], configBin);
  const ProfileRead read = p.library.Read(L"Shooter");
  ASSERT_TRUE(read.profile) << read.error;
  EXPECT_EQ(read.profile->config.dpiLevel[0], 9);
  EXPECT_EQ(read.profile->config.pointerSpeed, 15) << "the profile keeps its own pointer values";
  EXPECT_EQ(read.profile->texts[0][0], L"Shoot");
  EXPECT_EQ(read.profile->texts[1][0], L"开火");
  EXPECT_EQ(read.profile->programs, (std::vector<std::wstring>{L"game.exe"}));
  EXPECT_EQ(p.following.follower().active(), SwitchTarget::Profile(L"Shooter"));

  // Renamed behind the window: the next Apply writes the file under its new name.
  p.session.Commit();
  ASSERT_EQ(p.library.Rename(L"Shooter", L"shooter"), "");
  p.following.Reload();
  EXPECT_EQ(p.following.shown(), SwitchTarget::Profile(L"shooter"));
  // Deleted: the window's Apply cannot write it back, and says so.
  ASSERT_EQ(p.library.Delete(L"shooter"), "");
  p.following.Reload();
  EXPECT_FALSE(p.following.ApplyAndSave(p.m.link, p.m.image, MainTextsFor(UiLanguage::English)));
  EXPECT_EQ(p.messages.messages.size(), 1u);
  EXPECT_TRUE(p.library.List().profiles.empty());
  EXPECT_EQ(p.files.files[kDir + L"config.bin"], configBin);
}

TEST(ProfileFollowing, ABrokenProfileIsNeverSentAndLeavingGivesTheMouseTheDesktopBack) {
  Program p;
  const std::string broken = "# Kovral profile\n[profile]\nversion = 1\nprogram = broken.exe\n";
  p.files.files[kDir + L"Profiles\\Broken.kvprofile"] = std::vector<uint8_t>(broken.begin(), broken.end());
  p.following.Reload();
  p.following.follower().Choose(SwitchTarget::Profile(L"Broken"));
  std::optional<SwitchOutcome> out = p.following.SendDue(p.m.link, p.m.image);
  ASSERT_TRUE(out);
  EXPECT_FALSE(out->sent);
  EXPECT_FALSE(out->problem.empty());
  EXPECT_TRUE(p.m.mouse.Exchanges().empty());
  EXPECT_TRUE(p.following.shown().desktop);
  EXPECT_EQ(p.following.SendDue(p.m.link, p.m.image), std::nullopt) << "not tried again until the front changes";

  ASSERT_TRUE(p.Front(kGame));
  p.m.mouse.ClearRecord();
  p.following.Leave(p.m.link, p.m.image);
  EXPECT_EQ(p.m.mouse.State(), HeldAfterApply(p.desktop));
  EXPECT_FALSE(p.m.mouse.Exchanges().empty());
  // Holding the Desktop settings, leaving sends nothing.
  ASSERT_TRUE(p.Front(kOwn));
  p.m.mouse.ClearRecord();
  p.following.Leave(p.m.link, p.m.image);
  EXPECT_TRUE(p.m.mouse.Exchanges().empty());
}

TEST(ProfilesMenu, ListsTheDesktopAndEachProfileWithTheActiveOneCheckedAndTheSwitchesAfter) {
  ProfileListing listing;
  listing.profiles.push_back({L"Racing & Rally", L"", {L"car.exe"}, ""});
  listing.profiles.push_back({L"Shooter", L"", {}, ""});
  listing.profiles.push_back({L"Torn", L"", {}, "line 3: something is wrong"});
  const MainTexts& texts = MainTextsFor(UiLanguage::English);
  ProfilesMenuState state{&listing, SwitchTarget::Profile(L"SHOOTER"), true, false, true, true};
  std::vector<ProfilesMenuEntry> menu = ProfilesMenu(texts, state);
  ASSERT_EQ(menu.size(), 7u);
  EXPECT_EQ(menu[0].text, L"Desktop");
  EXPECT_FALSE(menu[0].checked);
  EXPECT_EQ(menu[1].text, L"Racing && Rally") << "a '&' shows as written, not as a mnemonic";
  EXPECT_FALSE(menu[1].checked);
  EXPECT_TRUE(menu[2].checked) << "the active profile, letter case aside";
  EXPECT_TRUE(menu[2].enabled);
  EXPECT_FALSE(menu[3].enabled) << "a broken profile cannot be chosen";
  EXPECT_EQ(menu[4].command, kProfilesMenuAutomaticCommand);
  EXPECT_TRUE(menu[4].checked);
  EXPECT_EQ(menu[5].command, kProfilesMenuNoticesCommand);
  EXPECT_FALSE(menu[5].checked);
  EXPECT_EQ(menu[6].text, L"Manage profiles\u2026");

  EXPECT_EQ(ProfilesMenuTarget(menu[0].command, listing), SwitchTarget::Desktop());
  EXPECT_EQ(ProfilesMenuTarget(menu[1].command, listing), SwitchTarget::Profile(L"Racing & Rally"));
  EXPECT_EQ(ProfilesMenuTarget(menu[3].command, listing), std::nullopt);
  EXPECT_EQ(ProfilesMenuTarget(kProfilesMenuFirstProfileCommand + 3, listing), std::nullopt);
  EXPECT_EQ(ProfilesMenuTarget(kProfilesMenuAutomaticCommand, listing), std::nullopt);

  // Without the mouse, or under a dialog, nothing can be chosen; unknown: nothing checked.
  state.mousePresent = false;
  state.active.reset();
  menu = ProfilesMenu(texts, state);
  for (const ProfilesMenuEntry& e : menu) EXPECT_FALSE(e.command >= kProfilesMenuFirstProfileCommand && e.enabled);
  EXPECT_FALSE(menu[0].enabled || menu[0].checked);
  state.mousePresent = true;
  state.idle = false;
  menu = ProfilesMenu(texts, state);
  EXPECT_FALSE(menu[1].enabled || menu[6].enabled) << "one dialog at a time";
  EXPECT_TRUE(menu[4].enabled) << "the switches work under a dialog";
}

}  // namespace
}  // namespace kovral
