// The mapping from 96-DPI units to device pixels, checked on the real layout
// tables: what touches still touches, what is apart stays apart, and a click
// on a mapped pixel finds the element the painter drew there.
#include "ui/dpi_scale.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "view/layout.h"

namespace kovral {
namespace {

using layout::Element;
using layout::Point;
using layout::Rect;

constexpr int kScaledDpis[] = {120, 144, 168, 192};

// Every rectangle drawn on one surface: elements, texts, child windows.
struct Surface {
  const char* name;
  std::vector<Rect> rects;
};

void AddElements(std::vector<Rect>& out, std::span<const Element> table) {
  for (const Element& e : table) out.push_back(e.rect);
}

void AddTexts(std::vector<Rect>& out, std::span<const layout::TextItem> texts) {
  for (const layout::TextItem& t : texts) out.push_back(t.rect);
}

std::vector<Surface> Surfaces() {
  using namespace layout;
  Surface basic{"basic page", {}};
  AddElements(basic.rects, CommonElements());
  AddElements(basic.rects, BasicElements());
  AddTexts(basic.rects, BasicTexts());
  for (int k = 1; k <= kKeyRowCount; ++k) {
    basic.rects.push_back(KeyRowNumberRect(k));
    basic.rects.push_back(KeyRowTextRect(k));
    basic.rects.push_back(KeyListRect(k));
  }
  for (int r = 1; r <= kReportRateSegments; ++r) basic.rects.push_back(ReportRateLabelRect(r));
  for (int s = 1; s <= kDpiStages; ++s) basic.rects.push_back(DpiStageNumberRect(s));
  for (int level = 1; level <= kDpiMaxLevels; ++level) basic.rects.push_back(DpiLevelLabelRect(level, true));
  for (int d = 1; d <= kLightBoxes; ++d) {
    basic.rects.push_back(LightTextRect(d));
    basic.rects.push_back(LightLabelRect(d));
  }
  basic.rects.push_back(kLightModeList);
  basic.rects.push_back(kLightEffectList);

  Surface advanced{"advanced page", {}};
  AddElements(advanced.rects, CommonElements());
  AddElements(advanced.rects, AdvancedElements());
  AddTexts(advanced.rects, AdvancedTexts());
  for (const Rect& r : {kMouseEventText, kMouseEventList, kMacroNameEdit, kLoopCountEdit, kMacroList, kSequenceList})
    advanced.rects.push_back(r);
  for (int row = 1; row <= kPointerRows; ++row)
    for (int i = 1; i <= kPointerCells; ++i) advanced.rects.push_back(PointerCellRect(row, i));

  Surface dialogs{"dialogs", {}};
  AddElements(dialogs.rects, DialogFrameElements());
  AddElements(dialogs.rects, macro::ModeBoxElements());
  for (int m = 1; m <= 3; ++m) dialogs.rects.push_back(macro::ModeTextRect(m));
  for (const Rect& r : {combo::kModifierField, combo::kModifierText, combo::kFirstKeyEdit, fire::kKeyField,
                        fire::kKeyText, fire::kSpeedEdit, fire::kSpeedLabel, fire::ExplanationLine(0),
                        fire::ExplanationLine(1), fire::ExplanationLine(2), delay::kPrompt, delay::kRangeHint,
                        delay::kDelayEdit, choice::kChosenText, choice::kField, skins::kSwatch, skins::kHint})
    dialogs.rects.push_back(r);
  return {basic, advanced, dialogs};
}

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(DpiRounding, MulDivHalvesAwayFromZero) {
  EXPECT_EQ(ui::MulDivRound(105, 120, 96), 131);  // 131.25
  EXPECT_EQ(ui::MulDivRound(2, 120, 96), 3);      // 2.5
  EXPECT_EQ(ui::MulDivRound(-2, 120, 96), -3);
  EXPECT_EQ(ui::MulDivRound(3, 120, 96), 4);      // 3.75
  EXPECT_EQ(ui::MulDivRound(6, 168, 96), 11);     // 10.5
  EXPECT_EQ(ui::MulDivRound(-6, 168, 96), -11);
  EXPECT_EQ(ui::MulDivRound(7, 168, 96), 12);     // 12.25
  EXPECT_EQ(ui::MulDivRound(7, 1, -2), -4);       // -3.5, a negative divisor
  EXPECT_EQ(ui::MulDivRound(7, 3, 7), 3);
  // No overflow on the way; a result beyond int saturates instead of wrapping.
  EXPECT_EQ(ui::MulDivRound(INT_MAX, 96, 96), INT_MAX);
  EXPECT_EQ(ui::MulDivRound(INT_MAX, 2, 1), INT_MAX);
  EXPECT_EQ(ui::MulDivRound(INT_MIN, 2, 1), INT_MIN);
  EXPECT_EQ(ui::MulDivRound(5, 5, 0), 0);
}

TEST(DpiRounding, WindowSizesAndFontHeights) {
  // 880 x 650 at 125 %, 150 %, 175 % and 200 %.
  const layout::Size main = layout::kMainWindowSize;
  EXPECT_EQ(ui::DeviceSize(main, 120), (layout::Size{1100, 813}));  // 812.5 rounds up
  EXPECT_EQ(ui::DeviceSize(main, 144), (layout::Size{1320, 975}));
  EXPECT_EQ(ui::DeviceSize(main, 168), (layout::Size{1540, 1138}));  // 1137.5
  EXPECT_EQ(ui::DeviceSize(main, 192), (layout::Size{1760, 1300}));
  // Negative heights ask for the character height and must stay negative.
  EXPECT_EQ(ui::DeviceFontHeight(-14, 120), -18);  // -17.5
  EXPECT_EQ(ui::DeviceFontHeight(14, 120), 18);
  EXPECT_EQ(ui::DeviceFontHeight(13, 168), 23);    // 22.75
  EXPECT_EQ(ui::DeviceFontHeight(-13, 144), -20);  // -19.5
  EXPECT_EQ(ui::DeviceFontHeight(18, 192), 36);
  // A DPI the system could not tell is taken as 96.
  EXPECT_EQ(ui::DeviceLength(613, 0), 613);
  EXPECT_EQ(ui::DeviceLength(613, -5), 613);
  EXPECT_EQ(ui::UnitCoordinate(613, 0), 613);
}

TEST(DpiMapping, IdentityAt96) {
  for (const Surface& surface : Surfaces())
    for (const Rect& r : surface.rects) EXPECT_EQ(ui::DeviceRect(r, 96), r);
  for (int v = -50; v <= 2000; ++v) {
    ASSERT_EQ(ui::DeviceLength(v, 96), v);
    ASSERT_EQ(ui::UnitCoordinate(v, 96), v);
  }
  EXPECT_EQ(ui::DeviceFontHeight(-14, 96), -14);
  EXPECT_EQ(ui::DeviceSize(layout::kMainWindowSize, 96), layout::kMainWindowSize);
}

// Every pair of rectangles on a surface keeps its relation along each axis:
// touching stays touching (no gap, no overlap), a gap stays a gap and an
// overlap an overlap.
TEST(DpiMapping, NeighboursKeepTouchingAtEveryScale) {
  int touching = 0;
  int misplacedOrigins = 0;  // touching pairs whose shared edge falls between device pixels
  for (const Surface& surface : Surfaces()) {
    for (int dpi : kScaledDpis) {
      for (const Rect& a : surface.rects) {
        const Rect ma = ui::DeviceRect(a, dpi);
        for (const Rect& b : surface.rects) {
          const Rect mb = ui::DeviceRect(b, dpi);
          ASSERT_EQ(Sign(mb.left - ma.right), Sign(b.left - a.right))
              << surface.name << " at " << dpi << ": " << a.left << "," << a.top << " and " << b.left << "," << b.top;
          ASSERT_EQ(Sign(mb.top - ma.bottom), Sign(b.top - a.bottom))
              << surface.name << " at " << dpi << ": " << a.left << "," << a.top << " and " << b.left << "," << b.top;
          if (b.left == a.right || b.top == a.bottom) {
            ++touching;
            if ((b.left == a.right && a.right * dpi % 96 != 0) || (b.top == a.bottom && a.bottom * dpi % 96 != 0))
              ++misplacedOrigins;
          }
        }
      }
    }
  }
  // The tables really have such neighbours, also on edges that do not land on
  // a whole device pixel (the key rows' number and text, the light boxes'
  // static and arrow, stacked labels).
  EXPECT_GT(touching, 100);
  EXPECT_GT(misplacedOrigins, 10);
}

TEST(DpiMapping, PointAndRectangleAgree) {
  const std::vector<Surface> surfaces = Surfaces();
  for (int dpi : kScaledDpis) {
    for (const Rect& r : surfaces[0].rects) {
      const Rect m = ui::DeviceRect(r, dpi);
      const Point tl = ui::DevicePoint(Point{r.left, r.top}, dpi);
      const Point br = ui::DevicePoint(Point{r.right, r.bottom}, dpi);
      EXPECT_EQ((Rect{tl.x, tl.y, br.x, br.y}), m);
      // The mapping is the same on each axis, so one row and one column of
      // each rectangle stand for all of it. Above 96 DPI every unit covers at
      // least one device pixel, so each unit of the rectangle lands in the
      // mapped rectangle, and each device pixel of that comes back inside.
      for (int x = r.left; x < r.right; ++x) ASSERT_TRUE(m.Contains(ui::DevicePoint(Point{x, r.top}, dpi)));
      for (int y = r.top; y < r.bottom; ++y) ASSERT_TRUE(m.Contains(ui::DevicePoint(Point{r.left, y}, dpi)));
      for (int x = m.left; x < m.right; ++x) ASSERT_TRUE(r.Contains(ui::UnitPoint(Point{x, m.bottom - 1}, dpi)));
      for (int y = m.top; y < m.bottom; ++y) ASSERT_TRUE(r.Contains(ui::UnitPoint(Point{m.right - 1, y}, dpi)));
      ASSERT_FALSE(r.Contains(ui::UnitPoint(Point{m.right, m.top}, dpi)));
      ASSERT_FALSE(r.Contains(ui::UnitPoint(Point{m.left, m.bottom}, dpi)));
      ASSERT_FALSE(r.Contains(ui::UnitPoint(Point{m.left - 1, m.top}, dpi)));
    }
  }
}

// A click on a device pixel goes to the first element, in click order, whose
// mapped rectangle holds the pixel: the one painted there. Probed on and
// beside every mapped edge, where rounding decides.
TEST(DpiHitTest, EdgesBelongToTheElementDrawnThere) {
  const std::span<const Element> tables[] = {layout::CommonElements(), layout::BasicElements(),
                                             layout::AdvancedElements(), layout::DialogFrameElements(),
                                             layout::macro::ModeBoxElements()};
  int probes = 0;
  for (int dpi : kScaledDpis) {
    for (std::span<const Element> table : tables) {
      const auto drawnAt = [&](Point device) -> const Element* {
        for (const Element& e : table)
          if (ui::DeviceRect(e.rect, dpi).Contains(device)) return &e;
        return nullptr;
      };
      for (const Element& e : table) {
        const Rect m = ui::DeviceRect(e.rect, dpi);
        for (int x : {m.left - 1, m.left, m.left + 1, m.right - 1, m.right}) {
          for (int y : {m.top - 1, m.top, m.top + 1, m.bottom - 1, m.bottom}) {
            const Point device{x, y};
            ASSERT_EQ(layout::HitTest(table, ui::UnitPoint(device, dpi)), drawnAt(device))
                << "at " << dpi << " DPI, device " << x << "," << y;
            ++probes;
          }
        }
      }
    }
  }
  EXPECT_GT(probes, 10000);
}

TEST(DpiHitTest, NamedEdgesAt150Percent) {
  // OK's unit edge 513 falls on device 769.5: 769 is still outside, 770 OK's
  // first pixel. OK and Apply share unit column 617 (device 925.5..927), which
  // stays OK's, as at 96 DPI.
  const auto common = layout::CommonElements();
  const auto at = [&](int x, int y) {
    const Element* e = layout::HitTest(common, ui::UnitPoint(Point{x, y}, 144));
    return e ? e->action : layout::Action::None;
  };
  EXPECT_EQ(at(769, 920), layout::Action::None);
  EXPECT_EQ(at(770, 920), layout::Action::Ok);
  EXPECT_EQ(at(926, 920), layout::Action::Ok);
  EXPECT_EQ(at(927, 920), layout::Action::Apply);
  EXPECT_EQ(at(770, 914), layout::Action::Ok);     // 609 * 1.5 = 913.5 -> 914
  EXPECT_EQ(at(770, 913), layout::Action::None);
  EXPECT_EQ(at(770, 944), layout::Action::Ok);     // bottom 630 -> 945, outside
  EXPECT_EQ(at(770, 945), layout::Action::None);
}

TEST(DpiHitTest, UnitOfADevicePixel) {
  // At 150 % unit u covers [round(1.5 u), round(1.5 (u + 1))): 0 -> [0, 2),
  // 1 -> [2, 3), 2 -> [3, 5); halves go away from zero on the negative side too.
  const int expected[] = {0, 0, 1, 2, 2, 3, 4, 4};
  for (int d = 0; d < 8; ++d) EXPECT_EQ(ui::UnitCoordinate(d, 144), expected[d]) << d;
  EXPECT_EQ(ui::DeviceLength(-1, 144), -2);
  EXPECT_EQ(ui::UnitCoordinate(-1, 144), -1);
  EXPECT_EQ(ui::UnitCoordinate(-2, 144), -1);
  EXPECT_EQ(ui::UnitCoordinate(-3, 144), -2);
  for (int dpi : {120, 144, 168, 192, 240, 288}) {
    for (int u = -300; u <= 1000; ++u) {
      const int first = ui::DeviceLength(u, dpi);
      const int next = ui::DeviceLength(u + 1, dpi);
      ASSERT_LT(first, next) << u << " at " << dpi;
      ASSERT_EQ(ui::UnitCoordinate(first, dpi), u) << u << " at " << dpi;
      ASSERT_EQ(ui::UnitCoordinate(next - 1, dpi), u) << u << " at " << dpi;
    }
  }
  // Below 96 DPI two units can share a pixel; it goes to the last of them.
  EXPECT_EQ(ui::DeviceLength(1, 48), 1);  // 0.5
  EXPECT_EQ(ui::DeviceLength(2, 48), 1);
  EXPECT_EQ(ui::UnitCoordinate(1, 48), 2);
  EXPECT_EQ(ui::UnitCoordinate(INT_MAX, 192), INT_MAX / 2);
}

}  // namespace
}  // namespace kovral
