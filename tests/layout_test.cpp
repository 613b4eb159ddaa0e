#include "view/layout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kovral::layout {
namespace {

Action HitAction(std::span<const Element> table, int x, int y) {
  const Element* e = HitTest(table, {x, y});
  return e ? e->action : Action::None;
}

TEST(LayoutRect, LeftAndTopEdgesInsideRightAndBottomOutside) {
  constexpr Rect r{10, 20, 30, 40};
  EXPECT_TRUE(r.Contains({10, 20}));
  EXPECT_TRUE(r.Contains({29, 39}));
  EXPECT_FALSE(r.Contains({30, 39}));
  EXPECT_FALSE(r.Contains({29, 40}));
  EXPECT_FALSE(r.Contains({9, 25}));
  EXPECT_FALSE(r.Contains({15, 19}));
  EXPECT_FALSE((Rect{5, 5, 5, 9}.Contains({5, 6})));  // empty width holds nothing
}

TEST(LayoutCommon, ButtonsSharingAColumnGoToTheEarlierOne) {
  const auto common = CommonElements();
  EXPECT_EQ(HitAction(common, 513, 609), Action::Ok);
  EXPECT_EQ(HitAction(common, 617, 620), Action::Ok);     // OK's last column is Apply's first
  EXPECT_EQ(HitAction(common, 618, 620), Action::Apply);
  EXPECT_EQ(HitAction(common, 721, 620), Action::Apply);  // Apply is tested before Cancel
  EXPECT_EQ(HitAction(common, 722, 620), Action::Cancel);
  EXPECT_EQ(HitAction(common, 825, 629), Action::Cancel);
  EXPECT_EQ(HitAction(common, 826, 620), Action::None);
  EXPECT_EQ(HitAction(common, 700, 620), Action::Apply);
  EXPECT_EQ(HitAction(common, 600, 630), Action::None);  // bottom edge is outside
  EXPECT_EQ(HitAction(common, 512, 620), Action::None);
}

TEST(LayoutCommon, WindowButtonsTabsAndLink) {
  const auto common = CommonElements();
  EXPECT_EQ(HitAction(common, 701, 5), Action::Skins);
  EXPECT_EQ(HitAction(common, 719, 5), Action::None);
  EXPECT_EQ(HitAction(common, 842, 22), Action::Minimise);
  EXPECT_EQ(HitAction(common, 850, 5), Action::Close);
  EXPECT_EQ(HitAction(common, 867, 22), Action::Close);
  EXPECT_EQ(HitAction(common, 868, 22), Action::None);
  EXPECT_EQ(HitAction(common, 91, 127), Action::BasicTab);
  EXPECT_EQ(HitAction(common, 92, 100), Action::None);  // the 4-pixel gap between the tabs
  EXPECT_EQ(HitAction(common, 96, 88), Action::AdvancedTab);
  EXPECT_EQ(HitAction(common, 273, 617), Action::WebLink);
  EXPECT_EQ(HitAction(common, 448, 636), Action::WebLink);
  EXPECT_EQ(HitAction(common, 449, 636), Action::None);
}

TEST(LayoutCommon, ClickOrder) {
  const std::vector<Action> expected = {Action::Ok, Action::Apply, Action::Skins, Action::Minimise,
                                        Action::Close, Action::BasicTab, Action::AdvancedTab,
                                        Action::Cancel, Action::WebLink};
  std::vector<Action> actual;
  for (const Element& e : CommonElements()) actual.push_back(e.action);
  EXPECT_EQ(actual, expected);
}

TEST(LayoutBasic, GeneratedRectanglesMatchTheirFormulaeAtTheEnds) {
  EXPECT_EQ(KeyRowRect(1), (Rect{252, 199, 463, 220}));
  EXPECT_EQ(KeyRowRect(6), (Rect{252, 314, 463, 335}));
  EXPECT_EQ(KeyRowNumberRect(3), (Rect{252, 245, 272, 266}));
  EXPECT_EQ(KeyRowTextRect(3), (Rect{272, 245, 445, 266}));
  EXPECT_EQ(KeyListRect(1), (Rect{252, 221, 463, 491}));
  EXPECT_EQ(KeyListRect(6), (Rect{252, 336, 463, 606}));
  EXPECT_EQ(ReportRateRect(1), (Rect{542, 204, 612, 215}));
  EXPECT_EQ(ReportRateRect(3), (Rect{686, 204, 756, 215}));
  EXPECT_EQ(ReportRateRect(4), (Rect{758, 204, 828, 215}));
  EXPECT_EQ(ReportRateLabelRect(2), (Rect{614, 225, 684, 245}));
  EXPECT_EQ(DpiCellRect(1, 1), (Rect{554, 500, 570, 516}));
  EXPECT_EQ(DpiCellRect(4, 12), (Rect{635, 302, 651, 318}));
  EXPECT_EQ(DpiColorRect(2), (Rect{581, 523, 597, 539}));
  EXPECT_EQ(DpiSelectRect(3), (Rect{608, 541, 624, 557}));
  EXPECT_EQ(DpiStageNumberRect(4), (Rect{635, 562, 651, 587}));
  EXPECT_EQ(DpiLevelLabelRect(1, false), (Rect{494, 500, 544, 516}));
  EXPECT_EQ(DpiLevelLabelRect(12, true), (Rect{514, 302, 544, 318}));
  EXPECT_EQ(LightBoxRect(1), (Rect{767, 330, 851, 344}));
  EXPECT_EQ(LightBoxRect(3), (Rect{767, 390, 851, 404}));
  EXPECT_EQ(LightTextRect(2), (Rect{767, 360, 835, 374}));
  EXPECT_EQ(LightLabelRect(3), (Rect{697, 390, 757, 404}));
  EXPECT_EQ(LightParameterListRect(173), (Rect{767, 377, 851, 547}));
}

TEST(LayoutBasic, ClickOrderFollowsTheChain) {
  const auto basic = BasicElements();
  ASSERT_EQ(basic.size(), 3u + 6 + 4 + 4 + 4 + 3 + 48);
  EXPECT_EQ(basic[0].action, Action::ModeA);
  EXPECT_EQ(basic[1].action, Action::ModeB);
  EXPECT_EQ(basic[2].action, Action::KeyDefault);
  EXPECT_EQ(basic[3].action, Action::KeyRow);
  EXPECT_EQ(basic[3].index, 1);
  EXPECT_EQ(basic[8].index, 6);
  EXPECT_EQ(basic[9].action, Action::ReportRate);
  EXPECT_EQ(basic[13].action, Action::DpiSelect);
  EXPECT_EQ(basic[17].action, Action::DpiColor);
  EXPECT_EQ(basic[21].action, Action::LightBox);
  EXPECT_EQ(basic[24].action, Action::DpiCell);
  EXPECT_EQ(basic[24].index, 1);
  EXPECT_EQ(basic[24].step, 1);
  EXPECT_EQ(basic[35].step, 12);
  EXPECT_EQ(basic[36].index, 2);
  EXPECT_EQ(basic.back().index, 4);
  EXPECT_EQ(basic.back().step, 12);
}

TEST(LayoutBasic, HitTesting) {
  const auto basic = BasicElements();
  // The mode tabs share x = 357: Mode A is tested first.
  EXPECT_EQ(HitAction(basic, 357, 530), Action::ModeA);
  EXPECT_EQ(HitAction(basic, 358, 530), Action::ModeB);
  const Element* row = HitTest(basic, {252, 220});
  EXPECT_EQ(row, nullptr);  // the pixel between rows 1 and 2
  row = HitTest(basic, {462, 222});
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->action, Action::KeyRow);
  EXPECT_EQ(row->index, 2);
  const Element* seg = HitTest(basic, {613, 210});
  EXPECT_EQ(seg, nullptr);  // gap between segments 1 and 2
  seg = HitTest(basic, {827, 214});
  ASSERT_NE(seg, nullptr);
  EXPECT_EQ(seg->index, 4);
  const Element* cell = HitTest(basic, {569, 515});
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->action, Action::DpiCell);
  EXPECT_EQ(cell->step, 1);
  EXPECT_EQ(HitTest(basic, {560, 517}), nullptr);  // under level 1, above the colour pane
  cell = HitTest(basic, {640, 302});
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->index, 4);
  EXPECT_EQ(cell->step, 12);
  const Element* pane = HitTest(basic, {608, 538});
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->action, Action::DpiColor);
  EXPECT_EQ(pane->index, 3);
  const Element* box = HitTest(basic, {850, 403});
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->action, Action::LightBox);
  EXPECT_EQ(box->index, 3);
}

TEST(LayoutBasic, UpperDpiLevelsOnlyForTheTwelveLevelSensor) {
  const Point level9 = {DpiCellRect(2, 9).left, DpiCellRect(2, 9).top};
  const Point level8 = {DpiCellRect(2, 8).left, DpiCellRect(2, 8).top};
  EXPECT_EQ(HitTestBasic(level9, 1), nullptr);
  EXPECT_EQ(HitTestBasic(level9, 5), nullptr);  // twelve levels drawn, only eight clickable
  const Element* e = HitTestBasic(level9, 0);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->step, 9);
  e = HitTestBasic(level8, 3);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->step, 8);
  EXPECT_EQ(HitTestBasic({600, 100}, 0), nullptr);
}

TEST(LayoutAdvanced, GeneratedRectanglesAndHitTesting) {
  EXPECT_EQ(PointerCellRect(1, 1), (Rect{52, 200, 76, 211}));
  EXPECT_EQ(PointerCellRect(2, 5), (Rect{148, 350, 172, 361}));
  EXPECT_EQ(PointerCellRect(3, 11), (Rect{292, 500, 316, 511}));
  EXPECT_EQ(PointerCellNumberRect(1, 2), (Rect{76, 221, 100, 241}));
  const auto adv = AdvancedElements();
  ASSERT_EQ(adv.size(), 9u + 33);
  const Element* cell = HitTest(adv, {76, 200});  // cells touch: the shared column is the right cell's
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->action, Action::PointerCell);
  EXPECT_EQ(cell->step, 2);
  cell = HitTest(adv, {75, 210});
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->step, 1);
  EXPECT_EQ(HitTest(adv, {52, 211}), nullptr);
  EXPECT_EQ(HitAction(adv, 617, 540), Action::MacroNew);
  EXPECT_EQ(HitAction(adv, 721, 540), Action::MacroDelete);
  EXPECT_EQ(HitAction(adv, 853, 415), Action::MouseEventBox);
  EXPECT_EQ(HitAction(adv, 764, 258), Action::None);
  EXPECT_EQ(HitAction(adv, 763, 257), Action::StartRecording);
  EXPECT_EQ(HitAction(adv, 735, 265), Action::StopRecording);
  EXPECT_EQ(HitAction(adv, 66, 420), Action::OneScreenBox);
  EXPECT_EQ(HitAction(adv, 298, 593), Action::PointerDefault);
}

TEST(LayoutDialogs, DerivedRectanglesMatchTheFixedPlaces) {
  EXPECT_EQ(fire::kSpeedLabel, (Rect{10, 120, 45, 134}));
  EXPECT_EQ(fire::kTimesLabel, (Rect{10, 170, 45, 184}));
  EXPECT_EQ(fire::ExplanationLine(0), (Rect{20, 186, 368, 200}));
  EXPECT_EQ(fire::kTimesRule, (Rect{20, 214, 368, 242}));
  EXPECT_EQ(delay::kPrompt, (Rect{14, 89, 210, 109}));
  EXPECT_EQ(delay::kRangeHint, (Rect{14, 109, 210, 129}));
  EXPECT_EQ(macro::kPrompt, (Rect{13, 113, 181, 129}));
  EXPECT_EQ(macro::ModeBoxRect(2), (Rect{220, 128, 236, 144}));
  EXPECT_EQ(macro::ModeTextRect(3), (Rect{237, 170, 390, 202}));
  EXPECT_EQ(skins::kHint, (Rect{12, 64, 181, 94}));
  const auto frame = DialogFrameElements();
  EXPECT_EQ(HitAction(frame, 270, 260), Action::DialogOk);  // OK and Cancel share x = 270
  EXPECT_EQ(HitAction(frame, 271, 260), Action::DialogCancel);
  EXPECT_EQ(HitAction(frame, 369, 23), Action::DialogClose);
  EXPECT_EQ(HitAction(frame, 370, 23), Action::None);
}

// The fire dialog's texts stay between the times edit and the line over OK;
// the times rule has room for two lines of the tallest font (14).
TEST(LayoutDialogs, FireExplanationFitsBetweenTheEditsAndTheButtons) {
  const Size face = DialogFaceOf(DialogKind::FireKey).size;
  const int buttonsLine = kDialogOk.top - 10;
  for (const Rect& r : {fire::ExplanationLine(0), fire::ExplanationLine(1), fire::kTimesRule}) {
    EXPECT_LE(r.right, face.width - 10) << r.top;
    EXPECT_GE(r.top, fire::kTimesEdit.bottom);
    EXPECT_LT(r.bottom, buttonsLine) << r.top;
  }
  EXPECT_EQ(fire::ExplanationLine(1).bottom, fire::kTimesRule.top);
  EXPECT_GE(fire::kTimesRule.bottom - fire::kTimesRule.top, 2 * 14);
}

TEST(LayoutDialogs, EveryDialogHasItsFace) {
  const DialogKind kinds[] = {DialogKind::Single, DialogKind::Windows, DialogKind::Media, DialogKind::FireKey,
                              DialogKind::Macro,  DialogKind::Combo,   DialogKind::DelayTime, DialogKind::Skins,
                              DialogKind::Profiles};
  ASSERT_EQ(DialogFaces().size(), 10u);
  EXPECT_EQ(DialogFaceOf(DialogKind::Preferences).templateId, 711) << "710 is the icon's resource";
  int templateId = 701;
  for (DialogKind kind : kinds) {
    EXPECT_EQ(DialogFaceOf(kind).kind, kind);
    EXPECT_EQ(DialogFaceOf(kind).templateId, templateId++);
  }
  EXPECT_EQ(std::wstring(DialogFaceOf(DialogKind::FireKey).background), L"/fire-key.png");
  EXPECT_EQ(std::wstring(DialogFaceOf(DialogKind::Skins).background), L"/skins.png");
  // The longest pop-up list must fit inside the dialog.
  EXPECT_LE(choice::kWindowsList.bottom, kDialogSize.height);
  EXPECT_LE(kDialogCancel.right, kDialogSize.width);
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The Profiles dialog's controls, buttons and words each have their own
// place inside the face, clear of the frame's title band and its buttons.
TEST(LayoutDialogs, TheProfilesDialogsPartsNeitherOverlapNorLeaveTheFace) {
  std::vector<Rect> parts{profiles::kList, profiles::kNameEdit, profiles::kNameLabel, profiles::kStatus};
  for (const Element& e : profiles::ButtonElements()) parts.push_back(e.rect);
  ASSERT_EQ(parts.size(), 9u);
  const Rect inside{0, 33, kDialogSize.width, kDialogOk.top - 6};
  for (size_t i = 0; i < parts.size(); ++i) {
    EXPECT_TRUE(parts[i].left >= inside.left && parts[i].right <= inside.right && parts[i].top >= inside.top &&
                parts[i].bottom <= inside.bottom)
        << "part " << i;
    for (size_t j = i + 1; j < parts.size(); ++j) EXPECT_FALSE(Overlap(parts[i], parts[j])) << i << " and " << j;
  }
  // All five buttons share one picture, so one size.
  for (const Element& e : profiles::ButtonElements()) EXPECT_EQ(e.rect.GetSize(), (Size{170, 21}));
  EXPECT_LE(profiles::kProgramList.bottom, kDialogSize.height);
}

std::vector<std::span<const Element>> AllTables() {
  return {CommonElements(), BasicElements(), AdvancedElements(), DialogFrameElements(), macro::ModeBoxElements()};
}

TEST(LayoutTables, HoverableElementsHaveBothImagesAndEachImageOneSize) {
  std::map<std::wstring, Size> sizeOf;
  for (auto table : AllTables()) {
    for (const Element& e : table) {
      if (IsHoverable(e)) {
        EXPECT_NE(e.normalImage, nullptr);
        EXPECT_NE(e.overImage, nullptr);
      }
      EXPECT_EQ(e.normalImage == nullptr, e.overImage == nullptr);
      for (const wchar_t* image : {e.normalImage, e.overImage}) {
        if (image == nullptr) continue;
        auto [it, inserted] = sizeOf.emplace(image, e.rect.GetSize());
        EXPECT_EQ(it->second, e.rect.GetSize()) << "image used at two sizes";
      }
    }
  }
  EXPECT_EQ(sizeOf.at(skin::kButtonNormal), (Size{105, 21}));
  EXPECT_EQ(sizeOf.at(skin::kCloseOver), (Size{18, 18}));
  EXPECT_EQ(sizeOf.at(skin::kPaneTick), (Size{16, 16}));
}

TEST(LayoutTables, HoverGroupsHoldTheirSiblings) {
  auto count = [](std::span<const Element> t, HoverGroup g) {
    int n = 0;
    for (const Element& e : t) n += e.hover == g;
    return n;
  };
  EXPECT_EQ(count(CommonElements(), HoverGroup::OkApplyCancel), 3);
  EXPECT_EQ(count(CommonElements(), HoverGroup::PageTabs), 2);
  EXPECT_EQ(count(CommonElements(), HoverGroup::Alone), 3);
  EXPECT_EQ(count(BasicElements(), HoverGroup::KeyRows), 6);
  EXPECT_EQ(count(BasicElements(), HoverGroup::Alone), 1);
  EXPECT_EQ(count(BasicElements(), HoverGroup::None), 72 - 7);
  EXPECT_EQ(count(AdvancedElements(), HoverGroup::MacroButtons), 3);
  EXPECT_EQ(count(AdvancedElements(), HoverGroup::Alone), 1);
  EXPECT_EQ(count(DialogFrameElements(), HoverGroup::DialogButtons), 2);
}

TEST(LayoutTables, EverythingLiesInsideItsWindow) {
  auto inside = [](const Rect& r, Size s) { return r.left >= 0 && r.top >= 0 && r.right <= s.width && r.bottom <= s.height; };
  for (auto table : {CommonElements(), BasicElements(), AdvancedElements()}) {
    for (const Element& e : table) EXPECT_TRUE(inside(e.rect, kMainWindowSize));
  }
  for (const TextItem& t : BasicTexts()) EXPECT_TRUE(inside(t.rect, kMainWindowSize));
  for (const TextItem& t : AdvancedTexts()) EXPECT_TRUE(inside(t.rect, kMainWindowSize));
  for (const Element& e : DialogFrameElements()) EXPECT_TRUE(inside(e.rect, kDialogSize));
  for (const Element& e : macro::ModeBoxElements()) EXPECT_TRUE(inside(e.rect, kDialogSize));
  // The macro dialog's repeat-mode texts and list fit its face.
  const Size macroFace = DialogFaceOf(DialogKind::Macro).size;
  for (int m = 1; m <= 3; ++m) EXPECT_TRUE(inside(macro::ModeTextRect(m), macroFace)) << m;
  EXPECT_TRUE(inside(macro::kList, macroFace));
  EXPECT_TRUE(inside(KeyListRect(6), kMainWindowSize));
  EXPECT_TRUE(inside(kMouseEventList, kMainWindowSize));
  EXPECT_TRUE(inside(LightParameterListRect(203), kMainWindowSize));
}

TEST(LayoutTables, FindElementByActionAndPosition) {
  const Element* e = FindElement(BasicElements(), Action::DpiCell, 3, 7);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->rect, DpiCellRect(3, 7));
  EXPECT_EQ(FindElement(BasicElements(), Action::DpiCell, 5, 1), nullptr);
  e = FindElement(CommonElements(), Action::Cancel);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->rect, kCancelButton);
}

}  // namespace
}  // namespace kovral::layout
