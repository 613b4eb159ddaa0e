#include <gtest/gtest.h>

#include "view/layout.h"
#include "pages/page_click.h"
#include "view/page_hover.h"
#include "pages/page_state.h"

namespace kovral {
namespace {

using S = ClickStep;
std::vector<S> Route(int x, int y, int page, bool ready) { return RouteCommonClick({x, y}, page, ready); }

// Points are chosen from the window's fixed rectangles: OK (513, 609, 618, 630),
// Apply (617, 609, 722, 630), Cancel (721, 609, 826, 630), Skins (701, 5, 719, 23),
// Minimise (825, 5, 843, 23), Close (850, 5, 868, 23), tabs (52, 88, 92, 128) and
// (96, 88, 136, 128), web link (273, 617, 449, 637).

TEST(ClickRouting, OkAndApplySendCommitAndSetPointerOnlyWhenReady) {
  EXPECT_EQ(Route(520, 615, kBasicPage, true),
            (std::vector<S>{S::SendConfig, S::CommitConfig, S::ApplyPointerSettings, S::HideWindow, S::BasicPagePart}));
  EXPECT_EQ(Route(700, 615, kBasicPage, true),
            (std::vector<S>{S::SendConfig, S::CommitConfig, S::ApplyPointerSettings, S::BasicPagePart}));
  // Without the mouse: nothing is sent, the window stays, the page part still runs.
  EXPECT_EQ(Route(520, 615, kBasicPage, false), (std::vector<S>{S::BasicPagePart}));
  EXPECT_EQ(Route(700, 615, kAdvancedPage, false), (std::vector<S>{S::AdvancedPagePart}));
}

TEST(ClickRouting, ColumnSharedByOkAndApplyRunsBoth) {
  EXPECT_EQ(Route(617, 615, kNoPage, true),
            (std::vector<S>{S::SendConfig, S::CommitConfig, S::ApplyPointerSettings, S::HideWindow, S::SendConfig,
                            S::CommitConfig, S::ApplyPointerSettings, S::Drag}));
  EXPECT_EQ(Route(618, 615, kNoPage, true),
            (std::vector<S>{S::SendConfig, S::CommitConfig, S::ApplyPointerSettings, S::Drag}));
  // Apply and Cancel share x = 721.
  EXPECT_EQ(Route(721, 615, kNoPage, true), (std::vector<S>{S::SendConfig, S::CommitConfig,
                                                            S::ApplyPointerSettings, S::RevertConfig,
                                                            S::HideWindow, S::Drag}));
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
  EXPECT_EQ(Route(868, 10, kNoPage, true), (std::vector<S>{S::Drag}));
}

TEST(ClickRouting, SkinsEndTheClickAndCancelGoesOnToThePagePart) {
  // Never a drag after the chooser: its OK or Cancel may still hold the button.
  EXPECT_EQ(Route(710, 10, kBasicPage, true), (std::vector<S>{S::RunSkinChoice}));
  EXPECT_EQ(Route(710, 10, kNoPage, false), (std::vector<S>{S::RunSkinChoice}));
  EXPECT_EQ(Route(800, 620, kAdvancedPage, false),
            (std::vector<S>{S::RevertConfig, S::HideWindow, S::AdvancedPagePart}));
}

TEST(ClickRouting, EmptySpotDragsOrGoesToThePage) {
  EXPECT_EQ(Route(5, 5, kNoPage, true), (std::vector<S>{S::Drag}));
  EXPECT_EQ(Route(5, 5, kBasicPage, true), (std::vector<S>{S::BasicPagePart}));
}

const layout::Element* Common(layout::Action a) { return layout::FindElement(layout::CommonElements(), a); }

HoverTracker CommonTracker() {
  HoverTracker h;
  h.SetTables({layout::CommonElements()});
  return h;
}

TEST(Hover, MovingFromOkToApplyLightsApplyAndPutsOkBack) {
  HoverTracker h = CommonTracker();
  bool track = false;
  EXPECT_TRUE(h.OnMouseMove({520, 615}, track).empty());
  EXPECT_TRUE(track);
  HoverTracker::Redraw r = h.OnMouseHover({520, 615});
  EXPECT_EQ(r.over, Common(layout::Action::Ok));
  EXPECT_TRUE(r.normals.empty());

  EXPECT_TRUE(h.OnMouseMove({700, 615}, track).empty());  // over Apply: no un-hover
  r = h.OnMouseHover({700, 615});
  EXPECT_EQ(r.over, Common(layout::Action::Apply));
  EXPECT_EQ(r.normals, std::vector<const layout::Element*>{Common(layout::Action::Ok)});
  EXPECT_FALSE(h.IsLit(Common(layout::Action::Ok)));
  EXPECT_TRUE(h.IsLit(Common(layout::Action::Apply)));
}

TEST(Hover, WindowButtonsHaveNoSiblingsTabsDo) {
  HoverTracker h = CommonTracker();
  h.OnMouseHover({800, 615});                            // Cancel
  HoverTracker::Redraw r = h.OnMouseHover({860, 10});   // Close
  EXPECT_EQ(r.over, Common(layout::Action::Close));
  EXPECT_TRUE(r.normals.empty());
  h.OnMouseHover({830, 10});  // Minimise: Close stays lit, it is alone in its group
  EXPECT_TRUE(h.IsLit(Common(layout::Action::Close)));
  EXPECT_TRUE(h.IsLit(Common(layout::Action::Cancel)));

  h.OnMouseHover({60, 100});
  r = h.OnMouseHover({100, 100});
  EXPECT_EQ(r.over, Common(layout::Action::AdvancedTab));
  EXPECT_EQ(r.normals, std::vector<const layout::Element*>{Common(layout::Action::BasicTab)});
}

TEST(Hover, EmptySpotPutsEverythingBackAndOnlyThenStopsTracking) {
  HoverTracker h = CommonTracker();
  h.OnMouseHover({800, 615});
  h.OnMouseHover({860, 10});
  bool track = false;
  HoverTracker::Redraw r = h.OnMouseMove({5, 300}, track);
  EXPECT_EQ(r.normals,
            (std::vector<const layout::Element*>{Common(layout::Action::Cancel), Common(layout::Action::Close)}));
  EXPECT_TRUE(track);
  r = h.OnMouseMove({6, 300}, track);
  EXPECT_TRUE(r.empty());
  EXPECT_FALSE(track);
  // The web link has no hover look; a late notice over an empty spot draws nothing.
  EXPECT_TRUE(h.OnMouseHover({300, 630}).empty());
  EXPECT_TRUE(h.OnMouseHover({6, 300}).empty());
}

TEST(Hover, PageTablesComeAfterTheCommonOnes) {
  HoverTracker h;
  h.SetTables({layout::CommonElements(), layout::BasicElements()});
  const layout::Element* row2 = layout::FindElement(layout::BasicElements(), layout::Action::KeyRow, 2);
  const layout::Element* row3 = layout::FindElement(layout::BasicElements(), layout::Action::KeyRow, 3);
  EXPECT_EQ(h.OnMouseHover({300, 225}).over, row2);
  HoverTracker::Redraw r = h.OnMouseHover({300, 248});
  EXPECT_EQ(r.over, row3);
  EXPECT_EQ(r.normals, std::vector<const layout::Element*>{row2});
  // Mode tabs have no hover look.
  EXPECT_TRUE(h.OnMouseHover({300, 525}).empty());
}

TEST(Hover, ShowingTheOtherPageForgetsItsLitElementsOnly) {
  HoverTracker h;
  h.SetTables({layout::CommonElements(), layout::BasicElements()});
  h.OnMouseHover({300, 225});  // key row 2
  h.OnMouseHover({100, 100});  // the advanced tab, clicked next
  h.SetTables({layout::CommonElements(), layout::AdvancedElements()});
  bool track = false;
  // Only the tab comes back: the row belongs to a page that is gone.
  EXPECT_EQ(h.OnMouseMove({5, 300}, track).Rects(), std::vector<layout::Rect>{layout::kAdvancedTab});
  // New, Delete and Confirm are siblings; the advanced Default stands alone.
  h.OnMouseHover({200, 580});
  h.OnMouseHover({520, 535});
  const HoverTracker::Redraw r = h.OnMouseHover({650, 535});
  EXPECT_EQ(r.Rects(), (std::vector<layout::Rect>{layout::kMacroNewButton, layout::kMacroDeleteButton}));
  EXPECT_TRUE(h.IsLit(layout::FindElement(layout::AdvancedElements(), layout::Action::PointerDefault)));
}

}  // namespace
}  // namespace kovral
