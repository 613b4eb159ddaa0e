#include <gtest/gtest.h>

#include "pages/page_state.h"

namespace kovral {
namespace {

TEST(PageState, ShowingThePageAlreadyShownDoesNothing) {
  PageState s;
  EXPECT_EQ(EnterPage(s, kBasicPage), kAdvancedPage);  // the advanced page's children go
  EXPECT_EQ(s.CurrentPage, kBasicPage);
  EXPECT_EQ(EnterPage(s, kBasicPage), std::nullopt);
  EXPECT_EQ(EnterPage(s, kAdvancedPage), kBasicPage);
  EXPECT_EQ(s.CurrentPage, kAdvancedPage);
}

TEST(PageState, RebuildTearsDownTheShownPageAndShowsItAgainInFull) {
  PageState s;
  s.CurrentPage = kBasicPage;
  auto r = BeginRebuild(s);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->teardown, kBasicPage);
  EXPECT_EQ(r->show, kBasicPage);
  EXPECT_EQ(s.CurrentPage, kNoPage);
  EXPECT_EQ(EnterPage(s, kBasicPage), kAdvancedPage);  // so the painter now runs

  s.CurrentPage = kAdvancedPage;
  r = BeginRebuild(s);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->teardown, kAdvancedPage);
  EXPECT_EQ(r->show, kAdvancedPage);

  s.CurrentPage = kNoPage;
  EXPECT_FALSE(BeginRebuild(s));
}

TEST(HiddenStart, FirstTwoNonClientPaintsHide) {
  HiddenStart h;
  EXPECT_FALSE(h.ShowAllowed());
  EXPECT_TRUE(h.OnNcPaint());
  EXPECT_TRUE(h.OnNcPaint());
  EXPECT_FALSE(h.OnNcPaint());
  EXPECT_FALSE(h.ShowAllowed());  // still no show until the user asks
}

TEST(HiddenStart, AUserShowEndsItWhateverThePlatformSentBefore) {
  HiddenStart h;
  EXPECT_TRUE(h.OnNcPaint());  // a platform that sends only one paint at start
  h.Release();                 // first tray click
  EXPECT_TRUE(h.ShowAllowed());
  EXPECT_FALSE(h.OnNcPaint());  // the paint of that show must not hide it again
  EXPECT_EQ(h.remaining(), 0);

  HiddenStart none;  // no paint at all before the click
  none.Release();
  EXPECT_FALSE(none.OnNcPaint());
}

TEST(KeyRules, EnterAndEscapeHideTheWindowUnlessARecordingTakesThem) {
  EXPECT_EQ(RuleForKeyDown(kBasicPage, false, 0x0D), KeyDownRule::HideAndSwallow);
  EXPECT_EQ(RuleForKeyDown(kNoPage, false, 0x1B), KeyDownRule::HideAndSwallow);
  EXPECT_EQ(RuleForKeyDown(kBasicPage, false, 0x41), KeyDownRule::PassOn);
  EXPECT_EQ(RuleForKeyDown(kAdvancedPage, true, 0x41), KeyDownRule::Swallow);
  EXPECT_EQ(RuleForKeyDown(kAdvancedPage, true, 0x1B), KeyDownRule::Swallow);
  // A hook left over on the basic page does not swallow ordinary keys.
  EXPECT_EQ(RuleForKeyDown(kBasicPage, true, 0x41), KeyDownRule::PassOn);
  // In an open list Enter chooses and Esc closes it: the window stays.
  EXPECT_EQ(RuleForKeyDown(kBasicPage, false, 0x0D, true), KeyDownRule::PassOn);
  EXPECT_EQ(RuleForKeyDown(kAdvancedPage, false, 0x1B, true), KeyDownRule::PassOn);
  EXPECT_EQ(RuleForKeyDown(kAdvancedPage, true, 0x0D, true), KeyDownRule::Swallow);
}

}  // namespace
}  // namespace kovral

namespace kovral {
namespace {

TEST(HotTracking, OnlyTheOpenListsOfTheShownPage) {
  for (int id : {40, 41, 46, 48, 60, 61, 62}) EXPECT_TRUE(HotTracksList(kBasicPage, id)) << id;
  for (int id : {39, 49, 59, 63, 71, 151, 152, 154}) EXPECT_FALSE(HotTracksList(kBasicPage, id)) << id;
  EXPECT_TRUE(HotTracksList(kAdvancedPage, 154));
  EXPECT_TRUE(HotTracksList(kAdvancedPage, 152));
  EXPECT_FALSE(HotTracksList(kAdvancedPage, 151));  // the macro list selects on click only
  EXPECT_FALSE(HotTracksList(kAdvancedPage, 41));
  EXPECT_FALSE(HotTracksList(kNoPage, 41));
}

}  // namespace
}  // namespace kovral
