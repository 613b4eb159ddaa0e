#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "assign/key_tables.h"
#include "lang/dialog_texts.h"
#include "lang/language.h"
#include "lang/main_texts.h"
#include "lang/text_format.h"

namespace kovral {
namespace {

constexpr UiLanguage kAll[] = {UiLanguage::English, UiLanguage::SimplifiedChinese,
                               UiLanguage::TraditionalChinese};

// The text structs hold nothing but text pointers; read them as a list so a
// slot left out of a table (a null pointer) or left empty is caught.
template <typename T>
std::vector<const wchar_t*> Slots(const T& texts) {
  static_assert(sizeof(T) % sizeof(const wchar_t*) == 0);
  std::vector<const wchar_t*> slots(sizeof(T) / sizeof(const wchar_t*));
  std::memcpy(slots.data(), &texts, sizeof(T));
  return slots;
}

template <typename T>
void ExpectAllFilled(const T& texts, const char* what) {
  const std::vector<const wchar_t*> slots = Slots(texts);
  for (size_t i = 0; i < slots.size(); ++i) {
    ASSERT_NE(slots[i], nullptr) << what << " slot " << i;
    EXPECT_NE(slots[i][0], L'\0') << what << " slot " << i;
  }
}

TEST(Language, ChosenByTheExactWholeCode) {
  EXPECT_EQ(LanguageFromCode(L"CHS"), UiLanguage::SimplifiedChinese);
  EXPECT_EQ(LanguageFromCode(L"CHT"), UiLanguage::TraditionalChinese);
  for (const std::wstring& code : {std::wstring(L"chs"), std::wstring(L"Cht"), std::wstring(L"CHSX"),
                                   std::wstring(L" CHS"), std::wstring(L"CH"), std::wstring(L""),
                                   std::wstring(L"EN"), std::wstring(L"CHS\0", 4)})
    EXPECT_EQ(LanguageFromCode(code), UiLanguage::English) << code.size();

  EXPECT_STREQ(SettingsSection(UiLanguage::English), L"Setting-EN");
  EXPECT_STREQ(SettingsSection(UiLanguage::SimplifiedChinese), L"Setting-CHS");
  EXPECT_STREQ(SettingsSection(UiLanguage::TraditionalChinese), L"Setting-CHT");
}

// "SYS" is new; a version before it reads it as English, and so does this
// one's LanguageFromCode, which the older reading of every other code keeps.
TEST(Language, TheChoiceKeepsTheOldCodesAndAddsTheSystemDefault) {
  EXPECT_EQ(LanguageChoiceFromCode(L"SYS"), LanguageChoice::System);
  EXPECT_EQ(LanguageFromCode(L"SYS"), UiLanguage::English);
  EXPECT_EQ(LanguageChoiceFromCode(L"CHS"), LanguageChoice::SimplifiedChinese);
  EXPECT_EQ(LanguageChoiceFromCode(L"CHT"), LanguageChoice::TraditionalChinese);
  for (const wchar_t* code : {L"", L"EN", L"sys", L" SYS", L"SYSTEM", L"chs"})
    EXPECT_EQ(LanguageChoiceFromCode(code), LanguageChoice::English) << code;
  for (LanguageChoice c : {LanguageChoice::System, LanguageChoice::English, LanguageChoice::SimplifiedChinese,
                           LanguageChoice::TraditionalChinese})
    EXPECT_EQ(LanguageChoiceFromCode(LanguageChoiceCode(c)), c);
  EXPECT_EQ(LanguageChoiceCode(LanguageChoice::System), L"SYS");
  // A new installation follows the system; a str.ini of an earlier version
  // (no "Lan") stays English.
  EXPECT_EQ(StartLanguageChoice(false, L""), LanguageChoice::System);
  EXPECT_EQ(StartLanguageChoice(true, L""), LanguageChoice::English);
  EXPECT_EQ(StartLanguageChoice(true, L"CHT"), LanguageChoice::TraditionalChinese);
}

TEST(Language, TheSystemDefaultFollowsTheDisplayLanguage) {
  struct Case {
    uint16_t langId;
    UiLanguage language;
  };
  const Case cases[] = {
      {0x0804, UiLanguage::SimplifiedChinese},   // zh-CN
      {0x1004, UiLanguage::SimplifiedChinese},   // zh-SG
      {0x0004, UiLanguage::SimplifiedChinese},   // zh-Hans
      {0x7804, UiLanguage::SimplifiedChinese},   // zh
      {0x0404, UiLanguage::TraditionalChinese},  // zh-TW
      {0x0C04, UiLanguage::TraditionalChinese},  // zh-HK
      {0x1404, UiLanguage::TraditionalChinese},  // zh-MO
      {0x7C04, UiLanguage::TraditionalChinese},  // zh-Hant
      {0x0409, UiLanguage::English},             // en-US
      {0x0411, UiLanguage::English},             // ja-JP
      {0x0412, UiLanguage::English},             // ko-KR
      {0x0000, UiLanguage::English},
      {0x0C04 | 0x0100, UiLanguage::English},    // another primary language with Chinese's low byte
  };
  for (const Case& c : cases) EXPECT_EQ(LanguageFromLangId(c.langId), c.language) << std::hex << c.langId;
  EXPECT_EQ(EffectiveLanguage(LanguageChoice::System, 0x0404), UiLanguage::TraditionalChinese);
  EXPECT_EQ(EffectiveLanguage(LanguageChoice::English, 0x0804), UiLanguage::English);
  EXPECT_EQ(EffectiveLanguage(LanguageChoice::SimplifiedChinese, 0x0409), UiLanguage::SimplifiedChinese);
  EXPECT_EQ(LanguageCode(UiLanguage::TraditionalChinese), L"CHT");
}

TEST(MainTexts, EveryLanguageFillsEverySlot) {
  for (UiLanguage l : kAll) {
    ExpectAllFilled(MainTextsFor(l), "main");
    ExpectAllFilled(SingleKeyTextsFor(l), "single");
    ExpectAllFilled(FireKeyTextsFor(l), "fire");
    ExpectAllFilled(DelayTimeTextsFor(l), "delay");
    ExpectAllFilled(MacroKeyTextsFor(l), "macro key");
    ExpectAllFilled(SkinsTextsFor(l), "skins");
    ExpectAllFilled(DialogFrameTextsFor(l), "frame");
    ExpectAllFilled(PreferencesTextsFor(l), "preferences");
    ASSERT_EQ(MediaEntries(l).size(), size_t(kMediaCount));
    ASSERT_EQ(WindowsEntries(l).size(), size_t(kWindowsFunctionCount));
  }
}

TEST(MainTexts, LanguageCodeSelectsTheColumn) {
  const MainTexts& cht = MainTextsFor(LanguageFromCode(L"CHT"));
  EXPECT_STREQ(cht.basicTitle, L"基本設置");
  EXPECT_STREQ(cht.trayExit, L"退出");
  const MainTexts& lower = MainTextsFor(LanguageFromCode(L"chs"));
  EXPECT_STREQ(lower.basicTitle, L"Basic Settings");
  EXPECT_STREQ(MainTextsFor(UiLanguage::SimplifiedChinese).functionList[12], L"组合键");
  EXPECT_STREQ(WindowsEntries(UiLanguage::TraditionalChinese)[10], L"瀏覽器-我的最愛");
}

TEST(MainTexts, SharedWordsReadTheSameInEveryLanguage) {
  const MainTexts& en = MainTextsFor(UiLanguage::English);
  for (UiLanguage l : kAll) {
    const MainTexts& t = MainTextsFor(l);
    EXPECT_STREQ(t.functionList[8], L"Windows");
    EXPECT_STREQ(t.functionList[14], L"Shift");
    EXPECT_STREQ(t.dpiActions[0], L"DPI +");
    EXPECT_STREQ(t.dpiActions[1], L"DPI -");
    EXPECT_STREQ(t.dpiActions[2], L"DPI Loop");
    EXPECT_STREQ(t.modeNames[0], L"Mode A");
    EXPECT_STREQ(t.modeNames[1], L"Mode B");
    EXPECT_STREQ(t.trayTip, L"Gaming Mouse Setting");
    EXPECT_STREQ(t.webLink, kMakerWebAddress);
    EXPECT_STREQ(t.reportRateLabels[0], en.reportRateLabels[0]);
    // The dialogs' buttons are the main window's words.
    EXPECT_STREQ(DialogFrameTextsFor(l).ok, t.ok);
    EXPECT_STREQ(DialogFrameTextsFor(l).cancel, t.cancel);
  }
  EXPECT_STREQ(kCaptionWarning, L"Warning");
  EXPECT_STREQ(kCaptionInfo, L"Info");
}

TEST(MainTexts, DpiNoticePrefixesEndWithASpaceOnlyInEnglish) {
  for (UiLanguage l : kAll) {
    for (const wchar_t* prefix : MainTextsFor(l).dpiStageNotices) {
      const size_t n = std::wcslen(prefix);
      ASSERT_GT(n, 0u);
      EXPECT_EQ(prefix[n - 1] == L' ', l == UiLanguage::English) << static_cast<int>(l);
    }
  }
}

TEST(LightingTexts, ValuesOutsideTheirListsAreEmpty) {
  const MainTexts& en = MainTextsFor(UiLanguage::English);
  EXPECT_STREQ(LightModeText(en, 3), L"Neon");
  EXPECT_STREQ(LightModeText(en, 4), L"");
  EXPECT_STREQ(LightEffectText(MainTextsFor(UiLanguage::TraditionalChinese), 3), L"RGB常亮");
  EXPECT_STREQ(LightEffectText(en, 4), L"");
  EXPECT_STREQ(BrightnessText(9), L"100%");
  EXPECT_STREQ(BrightnessText(10), L"");
  EXPECT_STREQ(RespirationPeriodText(4), L"4S");
  EXPECT_STREQ(RespirationPeriodText(7), L"");
  EXPECT_STREQ(NeonPeriodText(30), L"");
}

TEST(LightingTexts, NeonPeriodsCountHalfSeconds) {
  ASSERT_EQ(NeonPeriodTexts().size(), 30u);
  for (int v = 0; v < 30; ++v) {
    const int halves = v + 1;
    const std::wstring expected = std::to_wstring(halves / 2) + (halves % 2 ? L".5S" : L"S");
    EXPECT_EQ(NeonPeriodText(static_cast<uint8_t>(v)), expected) << v;
  }
}

TEST(TextFormat, FillsTheFirstPlaceholderOnly) {
  EXPECT_EQ(FormatNumber(L"Error Code is: %d \n", 5), L"Error Code is: 5 \n");
  EXPECT_EQ(FormatNumber(L"code :%d %d", -12), L"code :-12 %d");
  EXPECT_EQ(FormatNumber(L"no placeholder", 3), L"no placeholder");
  EXPECT_EQ(FormatText(L"a %s b", L"%d"), L"a %d b");
  EXPECT_EQ(FormatText(L"%s", L""), L"");
}

TEST(TextFormat, SettingsSaveFailureNamesTheFileInEveryLanguage) {
  const std::wstring path = L"C:\\Program Files\\Kovral\\str.ini";
  EXPECT_EQ(FormatText(MainTextsFor(UiLanguage::English).settingsSaveFailed, path),
            L"Could not save the settings to C:\\Program Files\\Kovral\\str.ini.");
  for (UiLanguage l : kAll) {
    const std::wstring text = FormatText(MainTextsFor(l).settingsSaveFailed, path);
    EXPECT_NE(text.find(path), std::wstring::npos);
    EXPECT_EQ(text.find(L"%s"), std::wstring::npos);
  }
}

TEST(DialogTexts, ImageFailureTitlesNameTheDialog) {
  EXPECT_STREQ(DialogImageFailedTitle(DialogKind::FireKey), L"FireKey Dialog Load background image failed!!!");
  EXPECT_STREQ(DialogImageFailedTitle(DialogKind::Skins), L"Skins Dialog Load background image failed!!!");
  EXPECT_STREQ(kDialogImageFailedText, L"error");
}

}  // namespace
}  // namespace kovral
