// The Windows build must carry the UTF-8 source texts as the right UTF-16
// code units: a wrong input charset would turn each Chinese character into
// two or three garbage units.
#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "lang/dialog_texts.h"
#include "lang/main_texts.h"
#include "ui/font_choice.h"

namespace kovral {
namespace {

static_assert(sizeof(wchar_t) == 2);

std::vector<unsigned> Units(const wchar_t* text) {
  std::vector<unsigned> out;
  for (const wchar_t* p = text; *p; ++p) out.push_back(static_cast<unsigned>(*p));
  return out;
}

using U = std::vector<unsigned>;

TEST(LangUtf16, ChineseTextsAreSingleUnitCodePoints) {
  const MainTexts& chs = MainTextsFor(UiLanguage::SimplifiedChinese);
  const MainTexts& cht = MainTextsFor(UiLanguage::TraditionalChinese);
  EXPECT_EQ(Units(chs.basicTitle), (U{0x57FA, 0x672C, 0x8BBE, 0x7F6E}));  // 基本设置
  EXPECT_EQ(Units(cht.basicTitle), (U{0x57FA, 0x672C, 0x8A2D, 0x7F6E}));  // 基本設置
  EXPECT_EQ(Units(cht.trayExit), (U{0x9000, 0x51FA}));                    // 退出
  EXPECT_EQ(Units(chs.leftKeyRequired),                                   // 左键功能必须选择！
            (U{0x5DE6, 0x952E, 0x529F, 0x80FD, 0x5FC5, 0x987B, 0x9009, 0x62E9, 0xFF01}));
  EXPECT_EQ(Units(cht.mouseMissingNotice),                                // 系統沒有檢測到遊戲滑鼠！
            (U{0x7CFB, 0x7D71, 0x6C92, 0x6709, 0x6AA2, 0x6E2C, 0x5230, 0x904A, 0x6232, 0x6ED1,
               0x9F20, 0xFF01}));
  EXPECT_EQ(Units(WindowsEntries(UiLanguage::TraditionalChinese)[10]),    // 瀏覽器-我的最愛
            (U{0x700F, 0x89BD, 0x5668, 0x002D, 0x6211, 0x7684, 0x6700, 0x611B}));
  EXPECT_EQ(Units(ui::FontsForLanguageCode(L"CHT", {6, 1}).normal.face), (U{0x9ED1, 0x4F53}));  // 黑体
  EXPECT_EQ(Units(ui::FontsForLanguageCode(L"CHS", {6, 1}).normal.face), (U{0x5B8B, 0x4F53}));  // 宋体
}

TEST(LangUtf16, EnglishApostropheIsTheRightSingleQuote) {
  const std::wstring text = MainTextsFor(UiLanguage::English).notRecording;
  ASSERT_GE(text.size(), 10u);
  EXPECT_EQ(static_cast<unsigned>(text[8]), 0x2019u);  // "It doesn’t"
  EXPECT_EQ(text.find(L'\''), std::wstring::npos);
}

// The system's own conversion agrees: the text becomes the UTF-8 bytes the
// characters have, so message boxes and INI files get real characters.
TEST(LangUtf16, SystemConvertsTextsToTheirUtf8Bytes) {
  const wchar_t* text = MainTextsFor(UiLanguage::SimplifiedChinese).settingsSaveFailed;
  char utf8[64] = {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  ASSERT_GT(n, 0);
  // 无法将设置保存到 %s。
  const char expected[] =
      "\xE6\x97\xA0\xE6\xB3\x95\xE5\xB0\x86\xE8\xAE\xBE\xE7\xBD\xAE\xE4\xBF\x9D\xE5\xAD\x98"
      "\xE5\x88\xB0 %s\xE3\x80\x82";
  EXPECT_STREQ(utf8, expected);
}

}  // namespace
}  // namespace kovral
