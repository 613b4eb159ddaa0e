#include <gtest/gtest.h>

#include "view/control_colors.h"

namespace kovral {
namespace {

using C = ControlColors;
constexpr uint8_t kStages[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};

TEST(ControlColors, StageSwatchesTakeTheirStagesColour) {
  C c = ColorsForControl(ControlType::Static, 72, kStages);
  EXPECT_EQ(c.brush, C::Brush::Solid);
  EXPECT_EQ(c.brushColor, (ui::Rgb{0, 255, 0}));
  EXPECT_EQ(c.text, C::Text::Unchanged);
  EXPECT_FALSE(c.normalFont);
  EXPECT_EQ(ColorsForControl(ControlType::Static, 74, kStages).brushColor, (ui::Rgb{10, 20, 30}));
  EXPECT_EQ(ColorsForControl(ControlType::Static, 71, kStages).brushColor, (ui::Rgb{255, 0, 0}));
}

TEST(ControlColors, ValueStaticsAreBlackOthersGreen) {
  for (int id : {80, 81, 82, 119}) {
    C c = ColorsForControl(ControlType::Static, id, kStages);
    EXPECT_EQ(c.text, C::Text::TextColor) << id;
    EXPECT_EQ(c.background, C::Background::Opaque);
    EXPECT_EQ(c.backgroundColor, (ui::Rgb{0, 0, 0}));
    EXPECT_TRUE(c.normalFont);
  }
  // The reason a pointer setting is missing: white, whatever the text colour.
  EXPECT_EQ(ColorsForControl(ControlType::Static, 120, kStages).text, C::Text::White);
  EXPECT_EQ(ColorsForControl(ControlType::Static, 120, kStages).brushColor, (ui::Rgb{0, 0, 0}));
  for (int id : {70, 75, 79, 83, 121}) {
    C c = ColorsForControl(ControlType::Static, id, kStages);
    EXPECT_EQ(c.backgroundColor, (ui::Rgb{100, 150, 100})) << id;
    EXPECT_EQ(c.brushColor, (ui::Rgb{100, 150, 100}));
  }
}

TEST(ControlColors, ListsEditsAndButtons) {
  C macro = ColorsForControl(ControlType::ListBox, 151, kStages);
  EXPECT_EQ(macro.brushColor, (ui::Rgb{4, 5, 6}));
  EXPECT_EQ(macro.text, C::Text::TextColor);
  EXPECT_FALSE(macro.normalFont);
  C keys = ColorsForControl(ControlType::ListBox, 41, kStages);
  EXPECT_EQ(keys.text, C::Text::White);
  EXPECT_TRUE(keys.normalFont);
  EXPECT_EQ(keys.brushColor, (ui::Rgb{0, 0, 0}));
  // Entries are painted over the background colour: it must be the brush's.
  EXPECT_EQ(keys.background, C::Background::Opaque);
  EXPECT_EQ(keys.backgroundColor, keys.brushColor);
  EXPECT_EQ(macro.backgroundColor, macro.brushColor);
  C edit = ColorsForControl(ControlType::Edit, 150, kStages);
  EXPECT_EQ(edit.background, C::Background::Transparent);
  EXPECT_EQ(edit.brush, C::Brush::Solid);
  EXPECT_EQ(ColorsForControl(ControlType::Button, 1, kStages).brush, C::Brush::Default);
  EXPECT_EQ(ColorsForControl(ControlType::Other, 1, kStages).background, C::Background::Unchanged);
}

}  // namespace
}  // namespace kovral
