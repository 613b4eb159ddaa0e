#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "lang/dpi_labels.h"
#include "lang/notices.h"
#include "settings/notice_balloon.h"

namespace kovral {
namespace {

constexpr UiLanguage kEn = UiLanguage::English;
constexpr UiLanguage kChs = UiLanguage::SimplifiedChinese;
constexpr UiLanguage kCht = UiLanguage::TraditionalChinese;

std::wstring TextOf(const std::optional<Balloon>& b) { return b ? b->text : L"<none>"; }

TEST(Notices, ReportRateValuesAndOthers) {
  const auto b = NoticeBalloon(kEn, kNoticeReportRate, 1);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->text, L"Switch report rate into 1000HZ");
  EXPECT_EQ(b->title, L"Info");
  EXPECT_EQ(b->timeoutMs, 5000u);
  EXPECT_EQ(b->icon, BalloonIcon::Information);
  EXPECT_EQ(TextOf(NoticeBalloon(kEn, kNoticeReportRate, 8)), L"Switch report rate into 125HZ");
  EXPECT_EQ(TextOf(NoticeBalloon(kChs, kNoticeReportRate, 2)), L"报告率切换到500HZ");
  EXPECT_EQ(TextOf(NoticeBalloon(kCht, kNoticeReportRate, 4)), L"報告率切換到250HZ");
  for (int64_t v : {0, 3, 16, -1}) EXPECT_FALSE(NoticeBalloon(kEn, kNoticeReportRate, v)) << v;
}

TEST(Notices, DpiStageNamesTheStageLabel) {
  DeviceConfig c{};
  c.dpiLevel[0] = 0;
  c.dpiLevel[1] = 3;
  c.dpiLevel[3] = 11;
  // Sensor type 1: level index 3 is "1200". English keeps a space before it.
  EXPECT_EQ(TextOf(NoticeBalloon(kEn, kNoticeDpiStage, 2, c, 1)), L"Switch DPI into the second stage 1200");
  EXPECT_EQ(TextOf(NoticeBalloon(kChs, kNoticeDpiStage, 2, c, 1)), L"DPI切换到第二段1200");
  EXPECT_EQ(TextOf(NoticeBalloon(kCht, kNoticeDpiStage, 2, c, 1)), L"DPI切換到第二段1200");
  EXPECT_EQ(TextOf(NoticeBalloon(kEn, kNoticeDpiStage, 1, c, 3)), L"Switch DPI into the first stage 400");
  // Sensor type 0 has the twelve-level list.
  EXPECT_EQ(TextOf(NoticeBalloon(kEn, kNoticeDpiStage, 4, c, 0)), L"Switch DPI into the fourth stage 4000");
  EXPECT_FALSE(NoticeBalloon(kEn, kNoticeDpiStage, 0, c, 0));
  EXPECT_FALSE(NoticeBalloon(kEn, kNoticeDpiStage, 5, c, 0));
}

TEST(Notices, StoredLevelBeyondItsListGivesAnEmptyLabel) {
  DeviceConfig c{};
  c.dpiLevel[0] = 8;  // an eight-level sensor has no ninth label
  c.dpiLevel[2] = 255;
  EXPECT_EQ(TextOf(NoticeBalloon(kEn, kNoticeDpiStage, 1, c, 2)), L"Switch DPI into the first stage ");
  EXPECT_EQ(TextOf(NoticeBalloon(kChs, kNoticeDpiStage, 3, c, 0)), L"DPI切换到第三段");
  // A sensor type without a list of its own in the notices.
  c.dpiLevel[0] = 0;
  EXPECT_EQ(TextOf(NoticeBalloon(kEn, kNoticeDpiStage, 1, c, 4)), L"Switch DPI into the first stage ");
}

TEST(Notices, KeyMatrixMacroKeyAndPresence) {
  EXPECT_EQ(TextOf(NoticeBalloon(kEn, kNoticeKeyMatrix, 2)), L"Switch to key matrix 2");
  EXPECT_EQ(TextOf(NoticeBalloon(kCht, kNoticeKeyMatrix, 1)), L"切換到按鍵群組1");
  EXPECT_FALSE(NoticeBalloon(kEn, kNoticeKeyMatrix, 3));
  EXPECT_FALSE(NoticeBalloon(kEn, kNoticeKeyMatrix, 0));

  EXPECT_EQ(TextOf(NoticeBalloon(kEn, kNoticeMacroKey, 3)), L"Switch to macro key3");
  EXPECT_EQ(TextOf(NoticeBalloon(kChs, kNoticeMacroKey, 12)), L"切换到宏12");
  EXPECT_FALSE(NoticeBalloon(kEn, kNoticeMacroKey, 0));

  const auto found = NoticeBalloon(kEn, kNoticeMouseFound, 0);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->text, L"The system detect the gaming mouse.");
  EXPECT_EQ(found->title, L"Info");
  EXPECT_EQ(found->timeoutMs, 100u);

  const auto missing = NoticeBalloon(kCht, kNoticeMouseMissing, 77);
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->text, L"系統沒有檢測到遊戲滑鼠！");
  EXPECT_EQ(missing->title, L"Warning");
  EXPECT_EQ(missing->timeoutMs, 100u);
  EXPECT_EQ(missing->icon, BalloonIcon::Information);

  for (uint64_t type : {0u, 6u, 10u, 13u, 16u}) EXPECT_FALSE(NoticeBalloon(kEn, type, 1)) << type;
}

TEST(Notices, SwitchWarningsInEachLanguageKeepTheNameAsWritten) {
  const Balloon failed = SwitchFailedBalloon(kEn, L"Shooter");
  EXPECT_EQ(failed.text, L"Profile Shooter did not reach the mouse.");
  EXPECT_EQ(failed.title, L"Warning");
  EXPECT_EQ(SwitchFailedBalloon(kEn, L"").text, L"The Desktop settings did not reach the mouse.");
  EXPECT_EQ(SwitchFailedBalloon(kChs, L"射击").text, L"配置文件 射击 未能发送到鼠标。");
  EXPECT_EQ(SwitchFailedBalloon(kCht, L"").text, L"桌面設定未能傳送到滑鼠。");
  // A "%s" in the name is the name's, not the place of the problem.
  EXPECT_EQ(ProfileUnreadableBalloon(kEn, L"100%s", L"line 3: x").text, L"Profile 100%s cannot be read: line 3: x");
  EXPECT_EQ(ProfileUnreadableBalloon(kCht, L"A", L"line 1").text, L"無法讀取設定檔 A：line 1");
}

TEST(DpiLabels, ListsBySensorType) {
  EXPECT_EQ(DpiStepLabels(1).size(), 8u);
  EXPECT_EQ(DpiStepLabels(1).back(), L"3200");
  EXPECT_EQ(DpiStepLabels(2)[6], L"2000");
  EXPECT_EQ(DpiStepLabels(3).front(), L"400");
  for (uint8_t type : {0, 4, 255}) {
    ASSERT_EQ(DpiStepLabels(type).size(), 12u) << int(type);
    EXPECT_EQ(DpiStepLabels(type)[6], L"1750");
  }
  // The page draws the twelve-level list for type 4; notices name no label.
  EXPECT_EQ(DpiLevelLabel(4, 0), L"");
  EXPECT_EQ(DpiLevelLabel(0, 0), L"250");
  EXPECT_EQ(DpiLevelLabel(0, 12), L"");
  EXPECT_EQ(DpiLevelLabel(1, 7), L"3200");
  EXPECT_EQ(DpiLevelLabel(1, 8), L"");
}

}  // namespace
}  // namespace kovral
