#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/profile_transfer.h"
#include "macro/macro_store.h"
#include "profiles/profile_library.h"
#include "settings/defaults.h"
#include "settings_memory_fs.h"

namespace kovral::testing {
namespace {

const std::wstring kDir = L"C:\\K\\";

struct Program {
  MemoryFileSystem files;
  FileIniStore ini{files};
  RecordingMessageSink messages;
  SettingsSession session{PathsFromModulePath(kDir + L"KALVORIN_DRX_Driver.exe"), ini, files, messages};
  const MainTexts& texts = MainTextsFor(UiLanguage::SimplifiedChinese);

  Program() {
    files.files[kDir + L"config.bin"] = ConfigFileBytes(FactoryConfig(), 1);
    ini.Write(kDir + L"record.ini", L"Old", L"ItemCount", L"1");
    ini.Write(kDir + L"record.ini", L"Old", L"Item0", DownEntry(L"A"));
    for (const wchar_t* section : kProfileTextSections)
      ini.Write(kDir + L"str.ini", section, ButtonTextKey(0), std::wstring(section) + L" left");
    session.SetLanguage(UiLanguage::SimplifiedChinese);
    session.Load();
    session.ReadInterfaceSettings();
  }
  std::string Text(const std::wstring& path) {
    const auto& bytes = files.files[path];
    return std::string(bytes.begin(), bytes.end());
  }
  void Put(const std::wstring& path, const std::string& text) {
    files.files[path] = std::vector<uint8_t>(text.begin(), text.end());
  }
};

// Export writes what the window shows, unapplied edits included; another
// program that imports it and applies holds the same record, macros and
// texts of all three languages, and exporting there gives the same text.
TEST(ProfileTransfer, ExportedEditsImportAsEditsThatApplySaves) {
  Program from;
  from.session.config.dpiLevel[2] = 9;
  from.session.ui.buttonText[1] = L"中键";
  from.session.config.reportRate = 79;  // no rate of the list: written as its byte
  ASSERT_TRUE(ExportSessionProfile(from.session, L"D:\\p.kvprofile", from.texts));
  const std::string text = from.Text(L"D:\\p.kvprofile");
  ASSERT_NE(text.find("stage3.level = 10"), std::string::npos) << text;
  ASSERT_NE(text.find("report_rate = interval 79\n"), std::string::npos) << text;

  Program to;
  to.ini.Write(kDir + L"record.ini", L"Other", L"ItemCount", L"0");
  to.files.files[L"E:\\p.kvprofile"] = from.files.files[L"D:\\p.kvprofile"];
  const std::vector<uint8_t> configBefore = to.files.files[kDir + L"config.bin"];
  ASSERT_TRUE(ImportSessionProfile(to.session, L"E:\\p.kvprofile", to.texts));
  EXPECT_TRUE(to.messages.messages.empty());
  EXPECT_EQ(to.session.config.dpiLevel[2], 9);
  EXPECT_EQ(to.session.config.reportRate, 79);
  EXPECT_EQ(to.session.ui.buttonText[1], L"中键");
  // The record waits for Apply; the macros are written at once, as the
  // macro panel writes its own.
  EXPECT_EQ(to.files.files[kDir + L"config.bin"], configBefore);
  EXPECT_EQ(MacroNames(to.ini, kDir + L"record.ini"), std::vector<std::wstring>{L"Old"});

  ASSERT_TRUE(to.session.SaveAll());
  to.session.Commit();
  for (const wchar_t* section : kProfileTextSections)
    EXPECT_EQ(to.ini.Get(kDir + L"str.ini", section, ButtonTextKey(0)), std::wstring(section) + L" left");
  EXPECT_EQ(to.ini.Get(kDir + L"str.ini", L"Setting-CHS", ButtonTextKey(1)), L"中键");
  ASSERT_TRUE(ExportSessionProfile(to.session, L"E:\\again.kvprofile", to.texts));
  EXPECT_EQ(to.Text(L"E:\\again.kvprofile"), text);
}

// The programs a profile is for have no place in config.bin: a tray import
// keeps them in the library beside the program, and says so when it cannot.
TEST(ProfileTransfer, AnImportKeepsTheProfilesProgramsInTheLibrary) {
  Program p;
  ProfileData game = SessionProfile(p.session);
  game.config.dpiLevel[0] = 7;
  game.programs = {L"game.exe"};
  p.Put(L"D:\\Arena.kvprofile", ExportProfile(game));
  std::wstring note;
  ASSERT_TRUE(ImportSessionProfile(p.session, L"D:\\Arena.kvprofile", p.texts, &note));
  EXPECT_NE(note.find(L"kept as profile"), std::wstring::npos) << note;
  ProfileLibrary library(p.files, kDir + L"Profiles");
  const ProfileMatch match = library.ProfileFor(L"C:\\Games\\GAME.EXE");
  ASSERT_TRUE(match.profile);
  EXPECT_EQ(*match.profile, L"Arena");
  ProfileRead kept = library.Read(L"Arena");
  ASSERT_TRUE(kept.profile) << kept.error;
  EXPECT_EQ(kept.profile->config.dpiLevel[0], 7);

  // The same name again: the library keeps the first, the import goes on.
  game.programs = {L"other.exe"};
  p.Put(L"E:\\arena.kvprofile", ExportProfile(game));
  note.clear();
  ASSERT_TRUE(ImportSessionProfile(p.session, L"E:\\arena.kvprofile", p.texts, &note));
  EXPECT_NE(note.find(L"not kept"), std::wstring::npos) << note;
  EXPECT_FALSE(library.ProfileFor(L"other.exe").profile);

  // Without programs the library is not touched.
  p.Put(L"E:\\plain.kvprofile", ExportProfile(SessionProfile(p.session)));
  note.clear();
  ASSERT_TRUE(ImportSessionProfile(p.session, L"E:\\plain.kvprofile", p.texts, &note));
  EXPECT_EQ(note, L"");
  EXPECT_EQ(library.List().profiles.size(), 1u);
}

// Cancel after an import drops the imported texts of the other languages
// with the record, so a later Apply cannot save them beside the old record;
// only the macros stay, since record.ini already holds them.
TEST(ProfileTransfer, CancelAfterAnImportKeepsOnlyItsMacros) {
  Program p;
  EncodeMacroSlot({DownEntry(L"A")}, p.session.config.macroSlots[0]);
  p.session.Commit();
  std::string text = ExportProfile(SessionProfile(p.session));
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"Item1 = Setting-CHT left", "Item1 = imported"},
                                 {"entry = down A", "entry = down B"}})
    text.replace(text.find(from), from.size(), to);
  p.Put(L"D:\\p.kvprofile", text);
  const DeviceConfig imported = [&] {
    ProfileImport in = ImportProfile(text);
    return in.profile->config;
  }();
  ASSERT_NE(std::memcmp(p.session.config.macroSlots[0], imported.macroSlots[0], kMacroSlotSize), 0);
  ASSERT_TRUE(ImportSessionProfile(p.session, L"D:\\p.kvprofile", p.texts));
  EXPECT_EQ(SessionProfile(p.session).texts[2][0], L"imported");
  p.session.Revert();
  p.session.SaveAll();
  EXPECT_EQ(p.ini.Get(kDir + L"str.ini", L"Setting-CHT", ButtonTextKey(0)), L"Setting-CHT left");
  // The macros stay imported: record.ini holds them.
  EXPECT_EQ(std::memcmp(p.session.config.macroSlots, imported.macroSlots, sizeof imported.macroSlots), 0);
}

// A profile that cannot be read, fails a check, or whose macros record.ini
// cannot take changes nothing, and the user is told why.
TEST(ProfileTransfer, ARefusedImportChangesNothing) {
  Program p;
  p.session.config.reportRate = 2;
  const DeviceConfig edited = p.session.config;
  const auto unchanged = [&] {
    EXPECT_EQ(std::memcmp(&p.session.config, &edited, sizeof edited), 0);
    EXPECT_TRUE(p.session.pendingTexts.empty());
    EXPECT_EQ(MacroNames(p.ini, kDir + L"record.ini"), std::vector<std::wstring>{L"Old"});
  };

  EXPECT_FALSE(ImportSessionProfile(p.session, L"D:\\missing.kvprofile", p.texts));
  ASSERT_EQ(p.messages.messages.size(), 1u);
  EXPECT_EQ(p.messages.messages[0].text, L"无法读取配置文件 D:\\missing.kvprofile。");
  unchanged();

  std::string text = ExportProfile(SessionProfile(p.session));
  const size_t at = text.find("stage3.level = ");
  text.replace(at, text.find('\n', at) - at, "stage3.level = 15");
  p.Put(L"D:\\bad.kvprofile", text);
  EXPECT_FALSE(ImportSessionProfile(p.session, L"D:\\bad.kvprofile", p.texts));
  ASSERT_EQ(p.messages.messages.size(), 2u);
  const std::wstring& refused = p.messages.messages[1].text;
  const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
  EXPECT_EQ(refused.rfind(L"无法导入此配置文件：\nline " + std::to_wstring(line) + L": ", 0), 0u) << refused;
  EXPECT_EQ(p.messages.messages[1].caption, L"Warning");
  unchanged();

  // A file larger than any profile is refused by its size, before it is read.
  p.files.files[L"D:\\big.kvprofile"] = std::vector<uint8_t>(kProfileSizeLimit + 1, '#');
  EXPECT_FALSE(ImportSessionProfile(p.session, L"D:\\big.kvprofile", p.texts));
  p.files.files.erase(L"D:\\big.kvprofile");
  ASSERT_EQ(p.messages.messages.size(), 3u);
  EXPECT_EQ(p.messages.messages[2].text, L"无法导入此配置文件：\nD:\\big.kvprofile has 41943041 bytes, more than a "
                                         L"profile can have (at most 41943040)");
  EXPECT_EQ(p.messages.messages[2].caption, L"Warning");
  unchanged();

  std::string good = ExportProfile(SessionProfile(p.session));
  good.replace(good.find("name = Old"), 10, "name = New");
  p.Put(L"D:\\good.kvprofile", good);
  p.files.failWritesWith = 5;
  EXPECT_FALSE(ImportSessionProfile(p.session, L"D:\\good.kvprofile", p.texts));
  ASSERT_EQ(p.messages.messages.size(), 4u);
  EXPECT_EQ(p.messages.messages[3].text, L"无法将设置保存到 C:\\K\\record.ini。");
  p.files.failWritesWith = 0;
  unchanged();
}

}  // namespace
}  // namespace kovral::testing
