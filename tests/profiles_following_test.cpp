// The program's following of the front program, on the simulated mouse: what
// the mouse holds after each change, what the window then shows and edits,
// and where an Apply goes while a profile is shown.
#include <gtest/gtest.h>

#include <cstring>

#include "app/profile_transfer.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "macro/macro_panel.h"
#include "macro/macro_store.h"
#include "profiles/profile.h"
#include "profiles/profile_following.h"
#include "profiles/profile_menu.h"
#include "profiles/sent_marker.h"
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

  std::string Text(const std::wstring& path) {
    const auto& bytes = files.files[path];
    return std::string(bytes.begin(), bytes.end());
  }
  bool MarkerThere() { return files.files.count(kDir + kSentMarkerName) > 0; }

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

TEST(ProfileFollowing, ALanguageChangeGivesEachSettingsTheirOwnTextsInTheNewLanguage) {
  Program p;
  ASSERT_TRUE(p.ini.Write(kDir + L"str.ini", L"Setting-CHS", L"Item1", L"左键"));
  ASSERT_TRUE(p.Front(kGame));
  p.session.ui.buttonText[1] = L"Edited";
  p.following.SwitchLanguage(UiLanguage::SimplifiedChinese, false);
  // The profile's own Chinese text, not the Desktop settings' from str.ini.
  EXPECT_EQ(p.session.ui.buttonText[0], L"开火");
  EXPECT_EQ(p.session.committedButtonText[0], L"开火");
  EXPECT_EQ(p.session.ui.buttonText[1], L"Edited");
  ASSERT_TRUE(p.Front(kOwn));
  // The Desktop settings kept aside took the new language too.
  EXPECT_EQ(p.session.ui.buttonText[0], L"左键");
  EXPECT_EQ(p.session.languageSection, L"Setting-CHS");
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

  // Told once for this version of the file, again once it changed.
  std::vector<UnreadableProfile> told = p.following.TakeUnreadable();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].name, L"Broken");
  EXPECT_EQ(told[0].problem, out->problem);
  EXPECT_TRUE(p.following.follower().Retry());
  ASSERT_TRUE(p.following.SendDue(p.m.link, p.m.image));
  EXPECT_TRUE(p.following.TakeUnreadable().empty());
  p.files.files[kDir + L"Profiles\\Broken.kvprofile"].push_back('#');
  p.following.follower().Choose(SwitchTarget::Profile(L"Broken"));
  ASSERT_TRUE(p.following.SendDue(p.m.link, p.m.image));
  EXPECT_EQ(p.following.TakeUnreadable().size(), 1u);
  // A profile that was for a program and broke is told of too, at the next look at the folder.
  const std::string shooterText = p.Text(kDir + L"Profiles\\Shooter.kvprofile");
  p.files.files[kDir + L"Profiles\\Shooter.kvprofile"] = std::vector<uint8_t>(broken.begin(), broken.end());
  p.following.Reload();
  told = p.following.TakeUnreadable();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].name, L"Shooter");
  p.following.Reload();
  EXPECT_TRUE(p.following.TakeUnreadable().empty());
  p.files.files[kDir + L"Profiles\\Shooter.kvprofile"] = std::vector<uint8_t>(shooterText.begin(), shooterText.end());
  p.following.Reload();

  ASSERT_TRUE(p.Front(kGame));
  p.m.mouse.ClearRecord();
  p.following.Leave(p.m.link, p.m.image);
  EXPECT_EQ(p.m.mouse.State(), HeldAfterApply(p.desktop));
  EXPECT_FALSE(p.m.mouse.Exchanges().empty());
  // Holding the Desktop settings, leaving sends nothing.
  EXPECT_EQ(p.Front(kOwn), std::nullopt) << "leaving gave the Desktop settings back";
  p.m.mouse.ClearRecord();
  p.following.Leave(p.m.link, p.m.image);
  EXPECT_TRUE(p.m.mouse.Exchanges().empty());
}

// A shown profile is edited, saved and exported as itself: its macros (not
// record.ini's), its other languages' texts (not str.ini's), its own pointer
// values; record.ini stays the Desktop settings'.
TEST(ProfileFollowing, AShownProfilesMacrosAndTextsAreItsOwnInTheWindowTheSaveAndTheExport) {
  Program p;
  const std::wstring recordIni = kDir + L"record.ini";
  p.ini.Write(recordIni, L"Desk", L"ItemCount", L"1");
  p.ini.Write(recordIni, L"Desk", L"Item0", DownEntry(L"D"));
  p.ini.Write(kDir + L"str.ini", L"Setting-CHS", ButtonTextKey(0), L"桌面");
  p.shooter.macros = {{L"Burst", {DownEntry(L"B"), UpEntry(L"B")}}, {L"Spray", {DownEntry(L"S")}}};
  EncodeMacroSlot(p.shooter.macros[0].entries, p.shooter.config.macroSlots[0]);
  ASSERT_EQ(p.library.Save(L"Shooter", p.shooter, true), "");
  const std::vector<uint8_t> desktopMacros = p.files.files[recordIni];

  ASSERT_TRUE(p.Front(kGame));
  EXPECT_NE(p.session.macroFile(), recordIni);
  const MainTexts& texts = MainTextsFor(UiLanguage::English);
  MacroPanelModel panel(p.session, texts);
  panel.Fill();
  EXPECT_EQ(panel.names(), (std::vector<std::wstring>{L"Burst", L"Spray"}));
  EXPECT_EQ(panel.Delete(), std::nullopt);  // Burst: Spray moves to slot 1
  EXPECT_EQ(p.files.files[recordIni], desktopMacros) << "the Desktop settings' macros are untouched";

  std::optional<ProfileData> shown = p.following.ShownProfile();
  ASSERT_TRUE(shown);
  ASSERT_EQ(shown->macros.size(), 1u);
  EXPECT_EQ(shown->macros[0].name, L"Spray");
  EXPECT_EQ(shown->texts[1][0], L"开火") << "the profile's Chinese texts, not str.ini's";
  EXPECT_EQ(shown->config.pointerSpeed, 15) << "the profile's own pointer values";
  EXPECT_TRUE(shown->programs.empty()) << "a save under another name must not take the game";
  // Export writes the same.
  ASSERT_TRUE(ExportSessionProfile(p.session, kDir + L"out.kvprofile", texts, &p.following));
  const ProfileImport exported = ImportProfile(p.Text(kDir + L"out.kvprofile"));
  ASSERT_TRUE(exported.profile) << exported.error;
  EXPECT_EQ(ExportProfile(*exported.profile), ExportProfile(*shown));

  EXPECT_TRUE(p.following.ApplyAndSave(p.m.link, p.m.image, texts));
  p.session.Commit();
  const ProfileRead saved = p.library.Read(L"Shooter");
  ASSERT_TRUE(saved.profile) << saved.error;
  ASSERT_EQ(saved.profile->macros.size(), 1u);
  EXPECT_EQ(saved.profile->macros[0].name, L"Spray");
  EXPECT_EQ(saved.profile->programs, (std::vector<std::wstring>{L"game.exe"}));
  EXPECT_EQ(p.files.files[recordIni], desktopMacros);

  // The Desktop settings shown again: the panel is record.ini's, and Export theirs.
  ASSERT_TRUE(p.Front(kOwn));
  EXPECT_EQ(p.session.macroFile(), recordIni);
  EXPECT_EQ(p.following.ShownProfile(), std::nullopt);
  EXPECT_EQ(ShownSessionProfile(p.session, &p.following).texts[1][0], L"桌面");
  panel.Fill();
  EXPECT_EQ(panel.names(), (std::vector<std::wstring>{L"Desk"}));
  ASSERT_TRUE(p.Front(kGame));
  panel.Fill();
  EXPECT_EQ(panel.names(), (std::vector<std::wstring>{L"Spray"}));
  p.following.Leave(p.m.link, p.m.image);
  EXPECT_FALSE(p.files.files.count(kDir + kShownMacroFileName)) << "the copy is of one run";
}

// An import while a profile is shown becomes that profile's edits: a switch
// away, a look at the folder and the way back keep it, and its Apply saves
// it into the profile, never into the Desktop settings' files.
TEST(ProfileFollowing, AnImportWhileAProfileIsShownIsItsEditsUntilItsApply) {
  Program p;
  const std::vector<uint8_t> recordIni = p.files.files[kDir + L"record.ini"];
  ASSERT_TRUE(p.Front(kGame));
  ProfileData imported;
  imported.config = FactoryConfig();
  imported.config.lightMode = 5;
  imported.macros = {{L"Imported", {DownEntry(L"I")}}};
  EncodeMacroSlot(imported.macros[0].entries, imported.config.macroSlots[0]);
  imported.texts[0][0] = L"In";
  imported.texts[1][0] = L"导入";
  const std::string text = ExportProfile(imported);
  p.files.files[kDir + L"in.kvprofile"] = std::vector<uint8_t>(text.begin(), text.end());
  const MainTexts& texts = MainTextsFor(UiLanguage::English);
  ASSERT_TRUE(ImportSessionProfile(p.session, kDir + L"in.kvprofile", texts));
  EXPECT_EQ(p.files.files[kDir + L"record.ini"], recordIni);

  ASSERT_TRUE(p.Front(kOwn));
  EXPECT_EQ(p.session.config.lightMode, p.desktop.lightMode);
  p.following.Reload();  // as opening the tray menu does
  ASSERT_TRUE(p.Front(kGame));
  EXPECT_EQ(p.session.config.lightMode, 5) << "the import is still the profile's edit";
  EXPECT_EQ(p.session.ui.buttonText[0], L"In");
  EXPECT_TRUE(p.following.ApplyAndSave(p.m.link, p.m.image, texts));
  const ProfileRead saved = p.library.Read(L"Shooter");
  ASSERT_TRUE(saved.profile) << saved.error;
  EXPECT_EQ(saved.profile->config.lightMode, 5);
  EXPECT_EQ(saved.profile->config.pointerSpeed, 15);
  ASSERT_EQ(saved.profile->macros.size(), 1u);
  EXPECT_EQ(saved.profile->macros[0].name, L"Imported");
  EXPECT_EQ(saved.profile->texts[1][0], L"导入");
  EXPECT_EQ(saved.profile->programs, (std::vector<std::wstring>{L"game.exe"}));
  EXPECT_EQ(p.files.files[kDir + L"record.ini"], recordIni);

  // Edits kept aside give way to a file saved over meanwhile.
  p.session.config.lightMode = 6;
  ASSERT_TRUE(p.Front(kOwn));
  ASSERT_EQ(p.library.Save(L"Shooter", p.shooter, true), "");
  p.following.Reload();
  ASSERT_TRUE(p.Front(kGame));
  EXPECT_EQ(p.session.config.lightMode, p.shooter.config.lightMode);
}

// What the mouse was last sent outlives the run: a start after a run that
// ended with a profile on the mouse sends the Desktop settings whole.
TEST(ProfileFollowing, TheMarkerTellsTheNextStartThatTheMouseMayHoldAProfile) {
  Program p;
  EXPECT_FALSE(p.MarkerThere());
  ASSERT_TRUE(p.Front(kGame));
  ASSERT_TRUE(p.MarkerThere());
  EXPECT_EQ(p.Text(kDir + kSentMarkerName), "Shooter\n");

  // The run ends without Exit; the next one finds the Desktop settings shown.
  SettingsSession session{PathsFromModulePath(kDir + L"KALVORIN_DRX_Driver.exe"), p.ini, p.files, p.messages};
  session.Load();
  ProfileFollowing next{session, p.library};
  next.Reload();
  EXPECT_EQ(next.follower().active(), std::nullopt);
  next.follower().MouseArrived();
  next.follower().FrontChanged(kEditor);
  p.m.mouse.ClearRecord();
  std::optional<SwitchOutcome> out = next.SendDue(p.m.link, p.m.image);
  ASSERT_TRUE(out);
  EXPECT_TRUE(out->target.desktop);
  EXPECT_TRUE(out->sent);
  EXPECT_FALSE(p.MarkerThere());

  // A switch back to the Desktop settings cut short leaves the marker.
  next.follower().FrontChanged(kGame);
  ASSERT_TRUE(next.SendDue(p.m.link, p.m.image));
  p.m.mouse.FailNext(SimCall::SetFeature);
  next.follower().FrontChanged(kEditor);
  out = next.SendDue(p.m.link, p.m.image);
  ASSERT_TRUE(out);
  EXPECT_FALSE(out->sent);
  EXPECT_TRUE(p.MarkerThere());
  EXPECT_TRUE(next.follower().Retry());
  out = next.SendDue(p.m.link, p.m.image);
  ASSERT_TRUE(out && out->sent);
  EXPECT_FALSE(p.MarkerThere());
  // A whole Apply of the Desktop settings, and leaving, take it away too.
  next.follower().FrontChanged(kGame);
  ASSERT_TRUE(next.SendDue(p.m.link, p.m.image));
  next.Leave(p.m.link, p.m.image);
  EXPECT_FALSE(p.MarkerThere());
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
