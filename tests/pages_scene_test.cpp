#include <gtest/gtest.h>

#include <string>

#include "pages/page_scene.h"
#include "settings/defaults.h"
#include "ui/skin_files.h"

namespace kovral {
namespace {

using layout::Action;

struct Fixture {
  DeviceConfig config = FactoryConfig();
  UiSettings ui;
  const MainTexts& texts = MainTextsFor(UiLanguage::English);
  uint8_t sensor = 0;
  PageView View() const { return {config, ui, texts, sensor, ui::Rgb{10, 20, 30}}; }
};

std::wstring TextAt(const Scene& scene, const layout::Rect& rect) {
  const SceneItem* item = scene.TextIn(rect);
  return item ? item->text : L"<none>";
}

const layout::Element& Basic(Action a, int index = 0, int step = 0) {
  return *layout::FindElement(layout::BasicElements(), a, index, step);
}

int LitCells(const Scene& scene, int stage, int levels) {
  int lit = 0;
  for (int level = 1; level <= levels; ++level) {
    const layout::Rect cell = layout::DpiCellRect(stage, level);
    const wchar_t* image = scene.ImageAt({cell.left, cell.top});
    if (image && std::wstring(image) == skin::kDpiLight) ++lit;
  }
  return lit;
}

TEST(BasicScene, ShowsTheEditedModeAndTheRecordsState) {
  Fixture f;
  for (int i = 0; i < 16; ++i) f.ui.buttonText[i] = (i < 8 ? L"A" : L"B") + std::to_wstring(i % 8 + 1);
  f.config.editedMode = 1;
  f.config.reportRate = 3;  // not offered: shown as 1000 Hz
  f.config.dpiLevel[0] = 2;
  f.config.dpiEnabled[0] = 1;
  f.config.dpiLevel[1] = 11;
  f.config.dpiEnabled[1] = 0;
  const Scene scene = BuildBasicScene(f.View());

  EXPECT_EQ(TextAt(scene, layout::KeyRowTextRect(1)), L"B1");
  EXPECT_EQ(TextAt(scene, layout::KeyRowTextRect(6)), L"B6");
  // A row's text ends before the arrow, with "..." where it is too long.
  const SceneItem* rowText = scene.TextIn(layout::KeyRowTextRect(2));
  ASSERT_NE(rowText, nullptr);
  EXPECT_EQ(rowText->format, ui::kTextLeftEllipsis);
  EXPECT_LE(rowText->rect.right, layout::KeyRowRect(2).right - layout::kKeyRowArrowWidth);
  EXPECT_EQ(TextAt(scene, layout::KeyRowNumberRect(4)), L"4");
  EXPECT_EQ(std::wstring(scene.ImageAt({layout::kModeBTab.left, layout::kModeBTab.top})), skin::kButtonOver);
  EXPECT_EQ(std::wstring(scene.ImageAt({layout::kModeATab.left, layout::kModeATab.top})), skin::kButtonNormal);

  for (int r = 1; r <= 4; ++r) {
    const layout::Rect seg = layout::ReportRateRect(r);
    EXPECT_EQ(std::wstring(scene.ImageAt({seg.left, seg.top})), r == 4 ? skin::kReportRateLight : skin::kReportRateDark);
  }
  EXPECT_EQ(LitCells(scene, 1, 12), 3);
  // A stage that is off shows every cell dark whatever its level.
  EXPECT_EQ(LitCells(scene, 2, 12), 0);
  const layout::Rect box2 = layout::DpiSelectRect(2);
  EXPECT_EQ(std::wstring(scene.ImageAt({box2.left, box2.top})), skin::kPane);

  const SceneItem* title = scene.TextIn(layout::kPageTitle);
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text, L"Basic Settings");
  EXPECT_EQ(title->font, SceneFont::Title);
  EXPECT_EQ(title->color, ui::kTitleColor);
  EXPECT_EQ(TextAt(scene, layout::kApplyButton), L"Apply");
  EXPECT_EQ(scene.TextIn(layout::kApplyButton)->color, (ui::Rgb{10, 20, 30}));
  EXPECT_EQ(TextAt(scene, layout::ReportRateLabelRect(1)), L"125");
}

TEST(BasicScene, TheSensorTypeChoosesTheLevelTable) {
  Fixture f;
  f.config.dpiEnabled[2] = 1;
  f.config.dpiLevel[2] = 10;  // level 11: beyond an eight-level table
  f.sensor = 1;
  Scene scene = BuildBasicScene(f.View());
  EXPECT_EQ(TextAt(scene, layout::DpiLevelLabelRect(8, false)), L"3200");
  EXPECT_EQ(TextAt(scene, layout::DpiLevelLabelRect(9, false)), L"<none>");
  const layout::Rect level9 = layout::DpiCellRect(3, 9);
  EXPECT_EQ(scene.ImageAt({level9.left, level9.top}), nullptr);
  EXPECT_EQ(LitCells(scene, 3, 12), 8);

  // A type without a table of its own draws the twelve levels.
  f.sensor = 7;
  scene = BuildBasicScene(f.View());
  EXPECT_EQ(TextAt(scene, layout::DpiLevelLabelRect(12, true)), L"4000");
  EXPECT_EQ(LitCells(scene, 3, 12), 11);
}

TEST(BasicScene, LitElementsShowTheirOverLookOthersDoNot) {
  Fixture f;
  const layout::Element* row3 = &Basic(Action::KeyRow, 3);
  const layout::Element* modeA = &Basic(Action::ModeA);
  const LitTest lit = [&](const layout::Element& e) { return &e == row3 || &e == modeA; };
  const Scene scene = BuildBasicScene(f.View(), lit);
  EXPECT_EQ(std::wstring(scene.ImageAt({row3->rect.left, row3->rect.top})), skin::kDropdownOver);
  const layout::Rect row2 = layout::KeyRowRect(2);
  EXPECT_EQ(std::wstring(scene.ImageAt({row2.left, row2.top})), skin::kDropdownNormal);
  // The mode tabs show the edited mode, never a hover.
  f.config.editedMode = 1;
  EXPECT_EQ(std::wstring(BuildBasicScene(f.View(), lit).ImageAt({modeA->rect.left, modeA->rect.top})),
            skin::kButtonNormal);
}

TEST(AdvancedScene, SlidersAndBoxesFollowTheRecord) {
  Fixture f;
  f.config.pointerSpeed = 4;
  f.config.scrollLines = 0;
  f.config.doubleClickSpeed = 11;
  f.config.enhancePrecision = 1;
  f.config.scrollOneScreen = 0;
  const Scene scene = BuildAdvancedScene(f.View());
  const int expected[3] = {4, 0, 11};
  for (int row = 1; row <= 3; ++row) {
    int lit = 0;
    for (int i = 1; i <= 11; ++i) {
      const layout::Rect cell = layout::PointerCellRect(row, i);
      if (std::wstring(scene.ImageAt({cell.left, cell.top})) == skin::kSliderLight) ++lit;
    }
    EXPECT_EQ(lit, expected[row - 1]) << "row " << row;
  }
  EXPECT_EQ(std::wstring(scene.ImageAt({layout::kPrecisionBox.left, layout::kPrecisionBox.top})), skin::kPaneTick);
  EXPECT_EQ(std::wstring(scene.ImageAt({layout::kOneScreenBox.left, layout::kOneScreenBox.top})), skin::kPane);
  EXPECT_EQ(TextAt(scene, layout::kPageTitle), L"Advanced Settings");
  EXPECT_EQ(TextAt(scene, layout::kMacroConfirmButton), L"Confirm");
  EXPECT_EQ(TextAt(scene, layout::PointerCellNumberRect(3, 11)), L"11");
  EXPECT_TRUE(BuildPageScene(0, f.View()).items().empty());
}

TEST(SceneRepaint, TakesWhatReachesIntoTheRectangleInOrder) {
  Fixture f;
  const Scene scene = BuildBasicScene(f.View());
  // Every picture 105 x 21 except the background (880 x 650); the skins
  // button's picture is missing.
  const ImageSizeOf sizes = [](const wchar_t* file) -> std::optional<layout::Size> {
    const std::wstring name = file;
    if (name == skin::kSkinsNormal) return std::nullopt;
    if (name == skin::kBasicPage) return layout::Size{880, 650};
    return layout::Size{105, 21};
  };
  std::vector<const SceneItem*> items = ItemsCovering(scene, layout::kOkButton, sizes);
  ASSERT_GE(items.size(), 4u);
  EXPECT_EQ(std::wstring(items[0]->image), skin::kBasicPage);
  // OK and Apply share the column x = 617, so Apply's picture and label are
  // painted again with OK's.
  std::vector<std::wstring> texts;
  for (const SceneItem* item : items)
    if (item->kind == SceneItem::Kind::Text) texts.push_back(item->text);
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"OK", L"Apply"}));

  // A picture larger than its element reaches beyond it: the 105-pixel-wide
  // stage-box pictures cover their neighbours' boxes.
  items = ItemsCovering(scene, layout::DpiSelectRect(4), sizes);
  int boxes = 0;
  for (const SceneItem* item : items)
    if (item->kind == SceneItem::Kind::Image && item->rect.top == layout::DpiSelectRect(1).top) ++boxes;
  EXPECT_EQ(boxes, 4);
  // A picture that cannot be drawn takes no part.
  for (const SceneItem* item : ItemsCovering(scene, layout::kSkinsButton, sizes))
    EXPECT_NE(std::wstring(item->image ? item->image : L""), skin::kSkinsNormal);
}

}  // namespace
}  // namespace kovral
