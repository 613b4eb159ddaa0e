#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "settings/defaults.h"
#include "lang/text_format.h"
#include "settings/settings_session.h"
#include "settings_memory_fs.h"
#include "settings_temp_dir.h"

namespace kovral::testing {
namespace {

using ::testing::IsEmpty;

AppPaths PathsIn(const TempDir& dir) { return PathsFromModulePath(dir.File(L"KALVORIN_DRX_Driver.exe")); }

TEST(SettingsSession, LoadTakesTheCommittedCopy) {
  MemoryFileSystem files;
  FileIniStore ini(files);
  RecordingMessageSink messages;
  SettingsSession session(PathsFromModulePath(L"C:\\K\\KALVORIN_DRX_Driver.exe"), ini, files, messages);
  DeviceConfig stored = FactoryConfig();
  stored.reportRate = 4;
  files.files[L"C:\\K\\config.bin"] = ConfigFileBytes(stored, 1);
  EXPECT_EQ(session.Load(), ConfigLoadResult::kLoaded);
  EXPECT_EQ(session.firstRunFlag, 1);
  EXPECT_EQ(session.config.reportRate, 4);
  EXPECT_EQ(std::memcmp(&session.config, &session.committedConfig, sizeof(DeviceConfig)), 0);

  session.config.reportRate = 2;
  session.Revert();
  EXPECT_EQ(session.config.reportRate, 4);
  session.config.reportRate = 8;
  session.Commit();
  EXPECT_EQ(session.committedConfig.reportRate, 8);

  // Cancel takes the row texts back with the record, to what was read,
  // set as the first run's, or last applied.
  session.ReadInterfaceSettings();
  session.ui.buttonText[2] = L"Triple-click";
  session.Revert();
  EXPECT_EQ(session.ui.buttonText[2], L"");
  session.SetFirstRunButtonTexts(MainTextsFor(UiLanguage::English));
  session.ui.buttonText[2] = L"Key Off";
  session.Revert();
  EXPECT_EQ(session.ui.buttonText[2], L"Mid Click");
  session.ui.buttonText[9] = L"Shift";
  session.Commit();
  session.ui.buttonText[9] = L"RGB On/Off";
  session.Revert();
  EXPECT_EQ(session.ui.buttonText[9], L"Shift");
}

// A language chosen while the program runs: the rows read the new section,
// an edit not yet applied stays on its row and is saved in its own language
// too, and Cancel goes back to what the new section keeps.
TEST(SettingsSession, SwitchingLanguageKeepsEditsAndSavesThemInTheirLanguage) {
  MemoryFileSystem files;
  FileIniStore ini(files);
  RecordingMessageSink messages;
  SettingsSession session(PathsFromModulePath(L"C:\\K\\KALVORIN_DRX_Driver.exe"), ini, files, messages);
  const std::wstring& strIni = session.paths().strIni;
  ASSERT_TRUE(ini.Write(strIni, L"Setting-EN", L"Item1", L"Left Click"));
  ASSERT_TRUE(ini.Write(strIni, L"Setting-EN", L"Item2", L"Right Click"));
  ASSERT_TRUE(ini.Write(strIni, L"Setting-CHS", L"Item1", L"左键"));
  ASSERT_TRUE(ini.Write(strIni, L"Setting-CHS", L"Item2", L"右键"));
  session.SetLanguage(UiLanguage::English);
  session.ReadInterfaceSettings();
  session.ui.buttonText[1] = L"Key Off";  // edited, not applied

  session.SwitchLanguage(UiLanguage::SimplifiedChinese, false);
  EXPECT_EQ(session.languageSection, L"Setting-CHS");
  EXPECT_EQ(session.ui.buttonText[0], L"左键");
  EXPECT_EQ(session.ui.buttonText[1], L"Key Off") << "the edit was lost";
  EXPECT_EQ(session.committedButtonText[1], L"右键");
  ASSERT_TRUE(session.SaveAll());
  EXPECT_EQ(ini.Get(strIni, L"Setting-CHS", L"Item2"), L"Key Off");
  EXPECT_EQ(ini.Get(strIni, L"Setting-EN", L"Item2"), L"Key Off") << "the English edit was not saved";
  EXPECT_EQ(ini.Get(strIni, L"Setting-EN", L"Item1"), L"Left Click");

  session.Commit();
  session.ui.buttonText[0] = L"中键";
  session.SwitchLanguage(UiLanguage::English, false);
  EXPECT_EQ(session.ui.buttonText[0], L"中键");
  session.Revert();
  EXPECT_EQ(session.ui.buttonText[0], L"Left Click");
  EXPECT_THAT(session.pendingTexts, IsEmpty()) << "Cancel kept an edit of the other language";
  EXPECT_THAT(messages.messages, IsEmpty());

  // A configuration never saved shows the factory texts of the language
  // it is shown in, as a first run in that language would.
  session.SwitchLanguage(UiLanguage::TraditionalChinese, true);
  EXPECT_EQ(session.ui.buttonText[0], L"左鍵");
  EXPECT_EQ(ini.Get(strIni, L"Setting-CHT", L"Item1"), L"左鍵");

  ASSERT_TRUE(session.SaveLanguageChoice(LanguageChoice::System));
  EXPECT_EQ(ini.Get(strIni, L"Skins", L"Lan"), L"SYS");
}

TEST(SettingsSession, SaveAllWritesConfigAndButtonTexts) {
  TempDir dir;
  std::unique_ptr<ConfigFileSystem> files = MakeSystemFileSystem();
  FileIniStore ini(*files);
  RecordingMessageSink messages;
  SettingsSession session(PathsIn(dir), ini, *files, messages);
  session.SetLanguageSection(L"Setting-CHS");
  EXPECT_EQ(session.Load(), ConfigLoadResult::kMissing);
  messages.messages.clear();

  session.ui.buttonText[0] = L"左键";
  session.ui.buttonText[15] = L"按键关闭";
  ASSERT_TRUE(session.SaveAll());
  EXPECT_THAT(messages.messages, IsEmpty());
  const std::vector<uint8_t> config = ReadBytes(dir.path() / "config.bin");
  ASSERT_EQ(config.size(), 1850u);
  EXPECT_EQ(config[0], 1);

  SettingsSession next(PathsIn(dir), ini, *files, messages);
  next.SetLanguageSection(L"Setting-CHS");
  EXPECT_EQ(next.Load(), ConfigLoadResult::kLoaded);
  next.ReadInterfaceSettings();
  EXPECT_EQ(next.ui.buttonText[0], L"左键");
  EXPECT_EQ(next.ui.buttonText[15], L"按键关闭");
}

TEST(SettingsSession, FailedIniWritesShowOneWarningNamingTheFile) {
  TempDir dir;
  std::unique_ptr<ConfigFileSystem> files = MakeSystemFileSystem();
  FileIniStore ini(*files);
  RecordingMessageSink messages;
  AppPaths paths = PathsIn(dir);
  paths.strIni = dir.File(L"read-only") + TempDir::kSeparator + L"str.ini";  // a folder that cannot be written
  SettingsSession session(paths, ini, *files, messages);
  session.Load();
  messages.messages.clear();

  EXPECT_FALSE(session.SaveAll());
  ASSERT_EQ(messages.messages.size(), 1u);  // sixteen failed keys, one message
  EXPECT_EQ(messages.messages[0].caption, L"Warning");
  EXPECT_NE(messages.messages[0].text.find(paths.strIni), std::wstring::npos);
  EXPECT_EQ(ReadBytes(dir.path() / "config.bin").size(), 1850u);  // the record was still saved

  session.SetIniWriteFailureFormat(L"无法保存设置到 %s。");
  EXPECT_FALSE(session.SaveSkinChoice({1, 2, 3}, L"Blue"));
  ASSERT_EQ(messages.messages.size(), 2u);
  EXPECT_EQ(messages.messages[1].text, L"无法保存设置到 " + paths.strIni + L"。");
  EXPECT_EQ(messages.messages[1].caption, L"Warning");
  EXPECT_EQ(session.ui.rColor, L"1");  // the choice holds for this run
  EXPECT_EQ(session.ui.skinName, L"Blue");

  EXPECT_FALSE(session.SaveButtonTexts());
  EXPECT_EQ(messages.messages.size(), 3u);
}

TEST(SettingsSession, BothFilesFailingGiveTheConfigErrorThenOneWarning) {
  MemoryFileSystem files;
  FileIniStore ini(files);
  RecordingMessageSink messages;
  SettingsSession session(PathsFromModulePath(L"C:\\K\\KALVORIN_DRX_Driver.exe"), ini, files, messages);
  session.config = FactoryConfig();
  files.failWritesWith = 13;
  EXPECT_FALSE(session.SaveAll());
  ASSERT_EQ(messages.messages.size(), 2u);
  EXPECT_EQ(messages.messages[0].text, L"Error Code is: 13 \n");
  EXPECT_EQ(messages.messages[0].caption, L"NULL ==fp ");
  EXPECT_EQ(messages.messages[1].caption, L"Warning");
  EXPECT_EQ(messages.messages[1].text, L"Could not save the settings to C:\\K\\str.ini.");
}

TEST(SettingsSession, WarningTextTakesThePathAtItsPlaceholderOnly) {
  EXPECT_EQ(FormatText(L"100% sure: %s failed (%d)", L"C:\\a%s.ini"), L"100% sure: C:\\a%s.ini failed (%d)");
  EXPECT_EQ(FormatText(L"no placeholder", L"x"), L"no placeholder");
}

}  // namespace
}  // namespace kovral::testing
