#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "settings/notice_preferences.h"
#include "settings/ui_settings.h"
#include "settings_memory_fs.h"

namespace kovral::testing {
namespace {

using ::testing::ElementsAreArray;

// Records every access in order; writes of the keys in failKeys fail.
class RecordingIniStore final : public IniStore {
 public:
  IniFileState FileState(const std::wstring&) override { return IniFileState::kReadable; }
  std::wstring Get(const std::wstring& file, const std::wstring& section, const std::wstring& key) override {
    calls.push_back(L"get " + file + L"|" + section + L"|" + key);
    return section + L"/" + key;
  }
  bool Write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
             const std::wstring& value) override {
    calls.push_back(L"write " + file + L"|" + section + L"|" + key + L"=" + value);
    return failKeys.count(key) == 0;
  }
  std::vector<std::wstring> GetKeys(const std::wstring& file, const std::wstring& section,
                                    const std::vector<std::wstring>& keys) override {
    std::vector<std::wstring> values;
    for (const std::wstring& key : keys) values.push_back(Get(file, section, key));
    return values;
  }
  bool DeleteSection(const std::wstring&, const std::wstring&) override { return true; }
  bool DeleteKey(const std::wstring&, const std::wstring&, const std::wstring&) override { return true; }
  std::vector<std::wstring> SectionNames(const std::wstring&) override { return {}; }
  bool WriteBatch(const std::wstring& file, const IniBatch& batch) override {
    bool ok = true;
    for (const IniBatch::Change& change : batch.changes()) {
      calls.push_back(L"batch " + file + L"|" + change.section + L"|" + change.key + L"=" + change.value);
      ok = ok && failKeys.count(change.key) == 0;
    }
    return ok;
  }

  std::vector<std::wstring> calls;
  std::set<std::wstring> failKeys;
};

const std::wstring kKeys[16] = {L"Item1",  L"Item2",  L"Item3",  L"Item4",  L"Item5",  L"Item6",
                                L"Item7",  L"Item8",  L"Item13", L"Item23", L"Item33", L"Item43",
                                L"Item53", L"Item63", L"Item73", L"Item83"};

TEST(UiSettings, ButtonTextKeysRunModeAThenModeB) {
  for (int i = 0; i < 16; ++i) EXPECT_EQ(ButtonTextKey(i), kKeys[i]) << i;
}

TEST(UiSettings, ReadsButtonTextsThenColoursThenSkinInThatOrder) {
  RecordingIniStore ini;
  UiSettings ui;
  ReadInterfaceSettings(ini, L"str.ini", L"Setting-CHT", ui);
  std::vector<std::wstring> expected;
  for (const std::wstring& key : kKeys) expected.push_back(L"get str.ini|Setting-CHT|" + key);
  for (const wchar_t* key : {L"RColor", L"GColor", L"BColor", L"Path"}) expected.push_back(std::wstring(L"get str.ini|Skins|") + key);
  EXPECT_THAT(ini.calls, ElementsAreArray(expected));
  EXPECT_EQ(ui.buttonText[0], L"Setting-CHT/Item1");
  EXPECT_EQ(ui.buttonText[15], L"Setting-CHT/Item83");
  EXPECT_EQ(ui.rColor, L"Skins/RColor");
  EXPECT_EQ(ui.bColor, L"Skins/BColor");
  EXPECT_EQ(ui.skinName, L"Skins/Path");

  ini.calls.clear();
  EXPECT_EQ(ReadLanguageCode(ini, L"str.ini"), L"Skins/Lan");
}

TEST(UiSettings, WritesEveryButtonTextInKeyOrderAndReportsAnyFailure) {
  RecordingIniStore ini;
  UiSettings ui;
  for (int i = 0; i < 16; ++i) ui.buttonText[i] = L"t" + std::to_wstring(i);
  EXPECT_TRUE(WriteButtonTexts(ini, L"str.ini", L"Setting-EN", ui));
  std::vector<std::wstring> expected;
  for (int i = 0; i < 16; ++i) expected.push_back(L"write str.ini|Setting-EN|" + kKeys[i] + L"=t" + std::to_wstring(i));
  EXPECT_THAT(ini.calls, ElementsAreArray(expected));

  ini.calls.clear();
  ini.failKeys = {L"Item3"};
  EXPECT_FALSE(WriteButtonTexts(ini, L"str.ini", L"Setting-EN", ui));
  EXPECT_EQ(ini.calls.size(), 16u);  // the keys after the failed one are still written
}

TEST(UiSettings, SkinChoiceWritesColoursAsDecimalThenPath) {
  RecordingIniStore ini;
  EXPECT_TRUE(WriteSkinChoice(ini, L"str.ini", {255, 0, 7}, L"Blue"));
  EXPECT_THAT(ini.calls, ElementsAreArray(std::vector<std::wstring>{
                             L"write str.ini|Skins|RColor=255", L"write str.ini|Skins|GColor=0",
                             L"write str.ini|Skins|BColor=7", L"write str.ini|Skins|Path=Blue"}));
  ini.failKeys = {L"Path"};
  EXPECT_FALSE(WriteSkinChoice(ini, L"str.ini", {1, 2, 3}, L"Red"));
}

TEST(UiSettings, EachLanguageKeepsItsOwnButtonTexts) {
  MemoryFileSystem files;
  FileIniStore ini(files);
  ASSERT_TRUE(ini.Write(L"str.ini", L"Setting-CHS", L"Item1", L"左键"));
  ASSERT_TRUE(ini.Write(L"str.ini", L"Setting-CHT", L"Item1", L"左鍵"));
  UiSettings ui;
  ReadInterfaceSettings(ini, L"str.ini", L"Setting-CHT", ui);
  EXPECT_EQ(ui.buttonText[0], L"左鍵");
  EXPECT_EQ(ui.buttonText[1], L"");
  EXPECT_EQ(ui.skinName, L"");  // no "Skins" section: empty skin name and colours
  EXPECT_EQ(ui.rColor, L"");
  EXPECT_EQ(ReadLanguageCode(ini, L"str.ini"), L"");
}

TEST(UiSettings, ProfileSwitchesAreOnUntilTurnedOffAndSurviveTheOtherSettings) {
  MemoryFileSystem files;
  FileIniStore ini(files);
  SwitchSettings fresh = ReadSwitchSettings(ini, L"str.ini");
  EXPECT_TRUE(fresh.automatic);
  EXPECT_TRUE(fresh.notices);
  ASSERT_TRUE(WriteSkinChoice(ini, L"str.ini", {1, 2, 3}, L"Ember"));
  ASSERT_TRUE(WriteSwitchSettings(ini, L"str.ini", {false, true}));
  ASSERT_TRUE(WriteSkinChoice(ini, L"str.ini", {4, 5, 6}, L"Default"));
  SwitchSettings read = ReadSwitchSettings(ini, L"str.ini");
  EXPECT_FALSE(read.automatic);
  EXPECT_TRUE(read.notices);
  EXPECT_EQ(ini.Get(L"str.ini", L"Profiles", L"Automatic"), L"0");
  EXPECT_EQ(ini.Get(L"str.ini", L"Profiles", L"Notices"), L"1");
  ASSERT_TRUE(WriteSwitchSettings(ini, L"str.ini", {true, false}));
  read = ReadSwitchSettings(ini, L"str.ini");
  EXPECT_TRUE(read.automatic);
  EXPECT_FALSE(read.notices);
  // Hand-edited values: only a 0 turns a switch off.
  ASSERT_TRUE(ini.Write(L"str.ini", L"Profiles", L"Automatic", L" 0 "));
  ASSERT_TRUE(ini.Write(L"str.ini", L"Profiles", L"Notices", L"off?"));
  read = ReadSwitchSettings(ini, L"str.ini");
  EXPECT_FALSE(read.automatic);
  EXPECT_TRUE(read.notices);
}

TEST(UiSettings, NoticePreferencesDefaultToTheOnScreenPanelAndReadHandEditedWords) {
  MemoryFileSystem files;
  FileIniStore ini(files);
  // An earlier version's str.ini has no "Notices" section.
  EXPECT_EQ(ReadNoticePreferences(ini, L"str.ini"), (NoticePreferences{NoticeStyle::OnScreen, OsdPosition::TopCentre}));
  ASSERT_TRUE(WriteNoticePreferences(ini, L"str.ini", {NoticeStyle::Balloons, OsdPosition::BottomRight}));
  EXPECT_EQ(ini.Get(L"str.ini", L"Notices", L"Style"), L"Balloons");
  EXPECT_EQ(ini.Get(L"str.ini", L"Notices", L"Position"), L"BottomRight");
  EXPECT_EQ(ReadNoticePreferences(ini, L"str.ini"), (NoticePreferences{NoticeStyle::Balloons, OsdPosition::BottomRight}));
  ASSERT_TRUE(ini.Write(L"str.ini", L"Notices", L"Style", L" off "));
  ASSERT_TRUE(ini.Write(L"str.ini", L"Notices", L"Position", L"middle"));
  EXPECT_EQ(ReadNoticePreferences(ini, L"str.ini"), (NoticePreferences{NoticeStyle::Off, OsdPosition::TopCentre}));
}

TEST(UiSettings, FirstRunTextsFillBothLayers) {
  const std::wstring english[16] = {L"Left Click", L"Right Click", L"Mid Click",  L"Forward",    L"Backward",
                                    L"Triple-click", L"DPI Switch", L"RGB On/Off", L"Windows",   L"Multimedia",
                                    L"Fire Key",   L"Single Key",  L"Combo Key",  L"Macro Key",  L"Shift",
                                    L"Key Off"};
  UiSettings ui;
  SetFirstRunButtonTexts(ui, english);
  const std::wstring expected[8] = {L"Left Click", L"Right Click", L"Mid Click", L"Forward",
                                    L"Backward",   L"DPI Loop",    L"Key Off",   L"Key Off"};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(ui.buttonText[i], expected[i]) << i;
    EXPECT_EQ(ui.buttonText[8 + i], expected[i]) << i;
  }
  std::wstring chinese[16];
  for (int i = 0; i < 16; ++i) chinese[i] = L"项" + std::to_wstring(i);
  SetFirstRunButtonTexts(ui, chinese);
  EXPECT_EQ(ui.buttonText[12], L"项4");
  EXPECT_EQ(ui.buttonText[13], L"DPI Loop");  // the same in every language
  EXPECT_EQ(ui.buttonText[15], L"项15");
}

TEST(UiSettings, ColourTextsConvertLikeWtoiKeepingTheLowByte) {
  EXPECT_EQ(ColorByteFromText(L"255"), 255);
  EXPECT_EQ(ColorByteFromText(L"256"), 0);
  EXPECT_EQ(ColorByteFromText(L"300"), 44);
  EXPECT_EQ(ColorByteFromText(L""), 0);
  EXPECT_EQ(ColorByteFromText(L"red"), 0);
  EXPECT_EQ(ColorByteFromText(L"  12px"), 12);
  EXPECT_EQ(ColorByteFromText(L"+7"), 7);
  EXPECT_EQ(ColorByteFromText(L"-1"), 255);
  EXPECT_EQ(ColorByteFromText(L"99999999999"), 255);  // saturates at INT_MAX
  EXPECT_EQ(ColorByteFromText(L"-99999999999"), 0);   // saturates at INT_MIN
  UiSettings ui;
  ui.rColor = L"256";
  ui.gColor = L"100";
  ui.bColor = L"x";
  const TextColorBytes color = TextColorFromSettings(ui);
  EXPECT_EQ(color.red, 0);
  EXPECT_EQ(color.green, 100);
  EXPECT_EQ(color.blue, 0);
}

}  // namespace
}  // namespace kovral::testing
