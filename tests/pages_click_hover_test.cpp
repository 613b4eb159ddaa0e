#include <gtest/gtest.h>

#include <map>

#include "pages/page_click.h"
#include "pages/page_hover.h"
#include "pages/page_state.h"

namespace kovral {
namespace {

struct R {
  int l, t, r, b;
};
// The common elements' rectangles of the main window (left, top, right, bottom).
const std::map<CommonElement, R> kRects = {
    {CommonElement::Skins, {701, 5, 719, 23}},      {CommonElement::Minimise, {825, 5, 843, 23}},
    {CommonElement::Close, {850, 5, 868, 23}},      {CommonElement::BasicTab, {52, 88, 92, 128}},
    {CommonElement::AdvancedTab, {96, 88, 136, 128}}, {CommonElement::Ok, {513, 609, 618, 630}},
    {CommonElement::Apply, {617, 609, 722, 630}},   {CommonElement::Cancel, {721, 609, 826, 630}},
    {CommonElement::WebLink, {273, 617, 449, 637}},
};

bool Hit(CommonElement e, int x, int y) {
  const R& r = kRects.at(e);
  return x >= r.l && x < r.r && y >= r.t && y < r.b;
}

using S = ClickStep;
std::vector<S> Route(int x, int y, int page, bool ready) { return RouteCommonClick(x, y, page, ready, Hit); }

TEST(ClickRouting, OkAndApplySendCommitAndSetPointerOnlyWhenReady) {
  EXPECT_EQ(Route(520, 615, kBasicPage, true),
            (std::vector<S>{S::SendConfig, S::CommitConfig, S::ApplyPointerSettings, S::HideWindow, S::BasicPagePart}));
  EXPECT_EQ(Route(700, 615, kBasicPage, true),
            (std::vector<S>{S::SendConfig, S::CommitConfig, S::ApplyPointerSettings, S::BasicPagePart}));
  // Without the mouse: nothing is sent, the window stays, the page part still runs.
  EXPECT_EQ(Route(520, 615, kBasicPage, false), (std::vector<S>{S::BasicPagePart}));
  EXPECT_EQ(Route(700, 615, kAdvancedPage, false), (std::vector<S>{S::AdvancedPagePart}));
}

TEST(ClickRouting, OkAndApplyShareColumn617WhichIsApplys) {
  // x = 617 lies in both rectangles' spans: OK is (513..618), Apply (617..722).
  EXPECT_EQ(Route(617, 615, kNoPage, true),
            (std::vector<S>{S::SendConfig, S::CommitConfig, S::ApplyPointerSettings, S::HideWindow, S::SendConfig,
                            S::CommitConfig, S::ApplyPointerSettings, S::Drag}));
  EXPECT_EQ(Route(618, 615, kNoPage, true),
            (std::vector<S>{S::SendConfig, S::CommitConfig, S::ApplyPointerSettings, S::Drag}));
}

TEST(ClickRouting, WindowButtonsTabsAndLinkStopTheChain) {
  EXPECT_EQ(Route(830, 10, kBasicPage, true), (std::vector<S>{S::HideWindow}));
  EXPECT_EQ(Route(867, 22, kBasicPage, false), (std::vector<S>{S::ExitProgram}));
  EXPECT_EQ(Route(52, 88, kAdvancedPage, true), (std::vector<S>{S::ShowBasicPage}));
  EXPECT_EQ(Route(135, 127, kBasicPage, true), (std::vector<S>{S::ShowAdvancedPage}));
  EXPECT_EQ(Route(300, 630, kBasicPage, true), (std::vector<S>{S::OpenWebLink}));
  // One pixel outside a rectangle is not in it.
  EXPECT_EQ(Route(136, 100, kNoPage, true), (std::vector<S>{S::Drag}));
  EXPECT_EQ(Route(449, 630, kNoPage, true), (std::vector<S>{S::Drag}));
}

TEST(ClickRouting, SkinsAndCancelGoOnToThePagePart) {
  EXPECT_EQ(Route(710, 10, kBasicPage, true), (std::vector<S>{S::RunSkinChoice, S::BasicPagePart}));
  EXPECT_EQ(Route(710, 10, kNoPage, false), (std::vector<S>{S::RunSkinChoice, S::Drag}));
  EXPECT_EQ(Route(800, 620, kAdvancedPage, false),
            (std::vector<S>{S::RevertConfig, S::HideWindow, S::AdvancedPagePart}));
}

TEST(ClickRouting, EmptySpotDragsOrGoesToThePage) {
  EXPECT_EQ(Route(5, 5, kNoPage, true), (std::vector<S>{S::Drag}));
  EXPECT_EQ(Route(5, 5, kBasicPage, true), (std::vector<S>{S::BasicPagePart}));
}

HoverTracker::HitTest HoverHit() {
  return [](int element, int x, int y) { return Hit(static_cast<CommonElement>(element), x, y); };
}
constexpr int kOk = static_cast<int>(CommonElement::Ok);
constexpr int kApply = static_cast<int>(CommonElement::Apply);
constexpr int kCancel = static_cast<int>(CommonElement::Cancel);
constexpr int kClose = static_cast<int>(CommonElement::Close);
constexpr int kBasicTab = static_cast<int>(CommonElement::BasicTab);
constexpr int kAdvancedTab = static_cast<int>(CommonElement::AdvancedTab);

TEST(Hover, MovingFromOkToApplyLightsApplyAndPutsOkBack) {
  HoverTracker h;
  h.SetTables({CommonHoverTable()});
  bool track = false;
  EXPECT_TRUE(h.OnMouseMove(520, 615, HoverHit(), track).empty());
  EXPECT_TRUE(track);
  HoverTracker::Redraw r = h.OnMouseHover(520, 615, HoverHit());
  EXPECT_EQ(r.over, kOk);
  EXPECT_TRUE(r.normals.empty());
  EXPECT_TRUE(h.IsLit(kOk));

  EXPECT_TRUE(h.OnMouseMove(700, 615, HoverHit(), track).empty());  // over Apply: no un-hover
  r = h.OnMouseHover(700, 615, HoverHit());
  EXPECT_EQ(r.over, kApply);
  EXPECT_EQ(r.normals, std::vector<int>{kOk});
  EXPECT_FALSE(h.IsLit(kOk));
  EXPECT_TRUE(h.IsLit(kApply));
}

TEST(Hover, WindowButtonsHaveNoSiblingsTabsDo) {
  HoverTracker h;
  h.SetTables({CommonHoverTable()});
  h.OnMouseHover(800, 615, HoverHit());  // Cancel
  HoverTracker::Redraw r = h.OnMouseHover(860, 10, HoverHit());  // Close
  EXPECT_EQ(r.over, kClose);
  EXPECT_TRUE(r.normals.empty());
  EXPECT_TRUE(h.IsLit(kCancel));  // stays lit: only its own group resets it

  h.OnMouseHover(60, 100, HoverHit());
  r = h.OnMouseHover(100, 100, HoverHit());
  EXPECT_EQ(r.over, kAdvancedTab);
  EXPECT_EQ(r.normals, std::vector<int>{kBasicTab});
}

TEST(Hover, EmptySpotPutsEverythingBackAndOnlyThenStopsTracking) {
  HoverTracker h;
  h.SetTables({CommonHoverTable()});
  h.OnMouseHover(800, 615, HoverHit());
  h.OnMouseHover(860, 10, HoverHit());
  bool track = false;
  HoverTracker::Redraw r = h.OnMouseMove(5, 300, HoverHit(), track);
  EXPECT_EQ(r.normals, (std::vector<int>{kCancel, kClose}));
  EXPECT_TRUE(track);
  EXPECT_FALSE(h.IsLit(kCancel));
  r = h.OnMouseMove(6, 300, HoverHit(), track);
  EXPECT_TRUE(r.empty());
  EXPECT_FALSE(track);
  // A late hover notice over an empty spot draws nothing.
  EXPECT_TRUE(h.OnMouseHover(6, 300, HoverHit()).empty());
}

TEST(Hover, PageTablesAreTestedAfterTheCommonOnes) {
  constexpr int kRow = kPageElementBase + 1;
  constexpr int kOther = kPageElementBase + 2;
  static constexpr HoverEntry kPage[] = {{kRow, 7}, {kOther, 7}};
  HoverTracker h;
  h.SetTables({CommonHoverTable(), kPage});
  auto hit = [](int e, int x, int y) {
    if (e == kRow) return y >= 600;  // overlaps OK on purpose
    if (e == kOther) return y < 50 && x < 100;
    return Hit(static_cast<CommonElement>(e), x, y);
  };
  EXPECT_EQ(h.OnMouseHover(520, 615, hit).over, kOk);  // common first
  EXPECT_EQ(h.OnMouseHover(10, 700, hit).over, kRow);
  HoverTracker::Redraw r = h.OnMouseHover(10, 10, hit);
  EXPECT_EQ(r.over, kOther);
  EXPECT_EQ(r.normals, std::vector<int>{kRow});
  EXPECT_TRUE(h.IsLit(kOk));
}

}  // namespace
}  // namespace kovral
