#include <gtest/gtest.h>

#include <string>

#include "lang/notices.h"
#include "settings/notice_balloon.h"
#include "view/osd.h"

namespace kovral {
namespace {

constexpr UiLanguage kEn = UiLanguage::English;

DeviceConfig StagesConfig() {
  DeviceConfig config{};
  config.dpiLevel[1] = 4;  // sensor type 1: 1600
  config.dpiColor[3] = 0x10;
  config.dpiColor[4] = 0x80;
  config.dpiColor[5] = 0xF0;
  config.dpiLevel[3] = 11;  // beyond type 1's eight levels
  return config;
}

// Every character is 10 units wide in the large font and 6 in the normal one.
int FixedWidth(const std::wstring& text, SceneFont font) {
  return static_cast<int>(text.size()) * (font == SceneFont::Large ? 10 : 6);
}

const SceneItem* TextItem(const Scene& scene, const std::wstring& text) {
  for (const SceneItem& item : scene.items())
    if (item.kind == SceneItem::Kind::Text && item.text == text) return &item;
  return nullptr;
}

bool Inside(const layout::Rect& inner, const layout::Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

TEST(OsdNotice, DpiStageNamesItsLevelItsPlaceAndColour) {
  const auto n = DeviceOsdNotice(kEn, kNoticeDpiStage, 2, StagesConfig(), 1);
  ASSERT_TRUE(n);
  EXPECT_EQ(n->headline, L"DPI 1600");
  EXPECT_EQ(n->detail, L"stage 2 of 4");
  EXPECT_EQ(n->text, L"DPI 1600, stage 2 of 4");
  EXPECT_EQ(n->swatch, (ui::Rgb{0x10, 0x80, 0xF0}));
  // A level the sensor has no label for still tells the stage.
  const auto unnamed = DeviceOsdNotice(kEn, kNoticeDpiStage, 4, StagesConfig(), 1);
  ASSERT_TRUE(unnamed);
  EXPECT_EQ(unnamed->text, L"DPI, stage 4 of 4");
  const auto chs = DeviceOsdNotice(UiLanguage::SimplifiedChinese, kNoticeDpiStage, 2, StagesConfig(), 1);
  EXPECT_EQ(chs->text, L"DPI 1600，第2段，共4段");
  const auto cht = DeviceOsdNotice(UiLanguage::TraditionalChinese, kNoticeMacroKey, 3, StagesConfig(), 1);
  EXPECT_EQ(cht->text, L"巨集按鍵 3");
}

TEST(OsdNotice, OtherNoticesAreShortLines) {
  const DeviceConfig config = StagesConfig();
  EXPECT_EQ(DeviceOsdNotice(kEn, kNoticeReportRate, 1, config, 0)->text, L"1000 Hz");
  EXPECT_EQ(DeviceOsdNotice(kEn, kNoticeReportRate, 8, config, 0)->text, L"125 Hz");
  EXPECT_EQ(DeviceOsdNotice(kEn, kNoticeKeyMatrix, 2, config, 0)->text, L"Mode B");
  EXPECT_EQ(DeviceOsdNotice(kEn, kNoticeMacroKey, 3, config, 0)->text, L"Macro key 3");
  EXPECT_FALSE(DeviceOsdNotice(kEn, kNoticeMacroKey, 3, config, 0)->swatch);
  EXPECT_EQ(TextOsdNotice(L"Profile: A&B").headline, L"Profile: A&B");
  EXPECT_EQ(SampleOsdNotice(kEn).text, L"DPI 1600, stage 2 of 4");
}

// The panel shows exactly the notices a balloon would, but for the start-up
// ones, which stay balloons.
TEST(OsdNotice, ShownWhereTheBalloonIsButNotAtStartUp) {
  const DeviceConfig config = StagesConfig();
  for (UiLanguage language : {kEn, UiLanguage::SimplifiedChinese, UiLanguage::TraditionalChinese}) {
    for (uint64_t type : {kNoticeReportRate, kNoticeDpiStage, kNoticeKeyMatrix, kNoticeMacroKey}) {
      for (int64_t value = -1; value <= 17; ++value) {
        EXPECT_EQ(DeviceOsdNotice(language, type, value, config, 0).has_value(),
                  NoticeBalloon(language, type, value, config, 0).has_value())
            << type << " " << value;
      }
    }
    for (uint64_t type : {kNoticeMouseFound, kNoticeMouseMissing, uint64_t{6}})
      EXPECT_FALSE(DeviceOsdNotice(language, type, 1, config, 0)) << type;
  }
}

TEST(OsdNotice, WayFollowsTheStyleForInGameNoticesOnly) {
  NoticePreferences p;
  EXPECT_EQ(ChooseNoticeWay(p, true), NoticeWay::OnScreen);
  p.style = NoticeStyle::Balloons;
  EXPECT_EQ(ChooseNoticeWay(p, true), NoticeWay::Balloon);
  p.style = NoticeStyle::Off;
  EXPECT_EQ(ChooseNoticeWay(p, true), NoticeWay::Nothing);
  EXPECT_EQ(ChooseNoticeWay(p, false), NoticeWay::Balloon);
}

TEST(OsdLayout, PanelFitsItsTextsWithinLimits) {
  const OsdLook look = MakeOsdLook({255, 142, 0}, {200, 220, 240});
  const auto dpi = DeviceOsdNotice(kEn, kNoticeDpiStage, 2, StagesConfig(), 1);
  const OsdPanel panel = LayoutOsd(*dpi, look, FixedWidth);
  const layout::Rect inner{2, 2, panel.size.width - 2, panel.size.height - 2};
  // Border in the accent, then the grey inside it.
  ASSERT_GE(panel.scene.items().size(), 2u);
  EXPECT_EQ(panel.scene.items()[0].kind, SceneItem::Kind::Fill);
  EXPECT_EQ(panel.scene.items()[0].color, (ui::Rgb{255, 142, 0}));
  EXPECT_EQ(panel.scene.items()[0].rect, (layout::Rect{0, 0, panel.size.width, panel.size.height}));
  EXPECT_EQ(panel.scene.items()[1].rect, inner);
  EXPECT_EQ(panel.scene.items()[1].color, (ui::Rgb{0x28, 0x28, 0x28}));
  const SceneItem* headline = TextItem(panel.scene, L"DPI 1600");
  const SceneItem* detail = TextItem(panel.scene, L"stage 2 of 4");
  ASSERT_TRUE(headline && detail);
  EXPECT_EQ(headline->font, SceneFont::Large);
  EXPECT_EQ(headline->color, (ui::Rgb{200, 220, 240}));
  EXPECT_GE(headline->rect.Width(), FixedWidth(L"DPI 1600", SceneFont::Large));
  EXPECT_GE(detail->rect.top, headline->rect.bottom);
  EXPECT_TRUE(Inside(headline->rect, inner) && Inside(detail->rect, inner));
  // The swatch in the stage's colour, left of the text.
  bool swatch = false;
  for (const SceneItem& item : panel.scene.items()) {
    if (item.kind == SceneItem::Kind::Fill && item.color == (ui::Rgb{0x10, 0x80, 0xF0})) {
      swatch = true;
      EXPECT_LE(item.rect.right, headline->rect.left);
      EXPECT_TRUE(Inside(item.rect, inner));
    }
  }
  EXPECT_TRUE(swatch);

  // A one-line notice is lower; a short one keeps the least width; a long
  // profile name stops at the widest panel and ends in an ellipsis, with
  // "&" shown as itself.
  const OsdPanel shortPanel = LayoutOsd(TextOsdNotice(L"1000 Hz"), look, FixedWidth);
  EXPECT_LT(shortPanel.size.height, panel.size.height);
  EXPECT_EQ(shortPanel.size.width, 200);
  const OsdPanel longPanel = LayoutOsd(TextOsdNotice(L"Profile: " + std::wstring(80, L'&')), look, FixedWidth);
  EXPECT_EQ(longPanel.size.width, 520);
  const SceneItem* name = TextItem(longPanel.scene, L"Profile: " + std::wstring(80, L'&'));
  ASSERT_TRUE(name);
  EXPECT_EQ(name->format & 0x8800u, 0x8800u);  // DT_END_ELLIPSIS | DT_NOPREFIX
}

TEST(OsdLayout, UnreadableTextColourGivesWayToWhite) {
  EXPECT_EQ(MakeOsdLook({0, 200, 255}, {30, 30, 30}).text, (ui::Rgb{255, 255, 255}));
  EXPECT_EQ(MakeOsdLook({0, 200, 255}, {0, 255, 0}).text, (ui::Rgb{0, 255, 0}));
}

TEST(OsdPlace, EachPositionInsetAtTheScale) {
  const layout::Rect work{0, 0, 1920, 1040};
  const layout::Size panel{300, 100};
  EXPECT_EQ(PlaceOsd(work, panel, OsdPosition::TopCentre, 96), (layout::Rect{810, 32, 1110, 132}));
  EXPECT_EQ(PlaceOsd(work, panel, OsdPosition::TopLeft, 96), (layout::Rect{32, 32, 332, 132}));
  EXPECT_EQ(PlaceOsd(work, panel, OsdPosition::TopRight, 192), (layout::Rect{1556, 64, 1856, 164}));
  EXPECT_EQ(PlaceOsd(work, panel, OsdPosition::BottomLeft, 144), (layout::Rect{48, 892, 348, 992}));
  EXPECT_EQ(PlaceOsd(work, panel, OsdPosition::BottomRight, 96), (layout::Rect{1588, 908, 1888, 1008}));
  EXPECT_EQ(PlaceOsd(work, panel, OsdPosition::Centre, 96), (layout::Rect{810, 470, 1110, 570}));
  // A second monitor left of the first: its own coordinates.
  EXPECT_EQ(PlaceOsd({-1280, 100, 0, 1124}, panel, OsdPosition::TopCentre, 96),
            (layout::Rect{-790, 132, -490, 232}));
  // Smaller than panel and inset: held inside the work area.
  EXPECT_EQ(PlaceOsd({0, 0, 320, 110}, panel, OsdPosition::BottomRight, 96), (layout::Rect{0, 0, 300, 100}));
}

TEST(OsdTiming, HoldsThenFadesOutAndStops) {
  EXPECT_EQ(OsdOpacity(0), 255);
  EXPECT_EQ(OsdOpacity(kOsdHoldMs - 1), 255);
  EXPECT_LT(OsdOpacity(kOsdHoldMs + kOsdFadeMs / 2), 200);
  EXPECT_GT(OsdOpacity(kOsdHoldMs + kOsdFadeMs / 2), 60);
  EXPECT_GT(OsdOpacity(kOsdHoldMs + kOsdFadeMs - 10), 0);
  EXPECT_EQ(OsdOpacity(kOsdHoldMs + kOsdFadeMs), 0);
  EXPECT_EQ(kOsdHoldMs + kOsdFadeMs, 1500);
  EXPECT_FALSE(OsdOver(1499));
  EXPECT_TRUE(OsdOver(1500));
  // One wait through the hold, then steps of the fade, then nothing.
  EXPECT_EQ(OsdNextTickMs(0), kOsdHoldMs);
  EXPECT_EQ(OsdNextTickMs(kOsdHoldMs), kOsdFadeStepMs);
  EXPECT_EQ(OsdNextTickMs(1490), 10);
  EXPECT_EQ(OsdNextTickMs(1500), 0);
}

}  // namespace
}  // namespace kovral
