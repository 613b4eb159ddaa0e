#include <gtest/gtest.h>

#include <cstring>

#include "assign/assignment_flow.h"
#include "pages/basic_page.h"
#include "settings/defaults.h"
#include "settings/settings_session.h"

namespace kovral {
namespace {

using layout::Point;

const MainTexts& En() { return MainTextsFor(UiLanguage::English); }

Point Centre(const layout::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

struct Page {
  DeviceConfig c = FactoryConfig();
  UiSettings ui;
  uint8_t sensor = 0;
  BasicPageModel model{c, ui, En(), sensor};
  Page() {
    SetFirstRunButtonTexts(ui, En());
    model.Painted();
  }
  BasicUpdate Click(const layout::Rect& r) { return model.Click(Centre(r)); }
};

TEST(BasicPage, KeyRowsOpenOneListAndCloseAgain) {
  Page p;
  BasicUpdate u = p.Click(layout::KeyRowRect(1));  // the only left click
  EXPECT_TRUE(u.handled);
  EXPECT_EQ(u.warning, std::wstring(L"Left key must be selected!"));
  EXPECT_FALSE(u.open);

  u = p.Click(layout::KeyRowRect(2));
  ASSERT_TRUE(u.open);
  EXPECT_EQ(u.open->id, 42);
  EXPECT_EQ(u.open->rect, layout::KeyListRect(2));
  EXPECT_EQ(u.open->items.size(), 16u);
  // Another row: the first list goes, the new one comes.
  u = p.Click(layout::KeyRowRect(3));
  EXPECT_EQ(u.close, std::vector<int>{42});
  EXPECT_EQ(u.open->id, 43);
  // The same row again closes its list; an empty spot closes nothing more.
  EXPECT_EQ(p.Click(layout::KeyRowRect(3)).close, std::vector<int>{43});
  u = p.model.Click({5, 300});
  EXPECT_FALSE(u.handled);
  EXPECT_TRUE(u.close.empty());
}

TEST(BasicPage, TheDpiSubListFollowsTheHoveredEntry) {
  Page p;
  p.Click(layout::KeyRowRect(4));
  // "DPI Switch" itself keeps the list open, and it still counts as open.
  EXPECT_TRUE(p.model.ChooseFunction(44, kFunctionDpiSwitch).close.empty());
  BasicUpdate u = p.model.HoverFunction(44, kFunctionDpiSwitch);
  ASSERT_TRUE(u.open);
  EXPECT_EQ(u.open->id, 40);
  EXPECT_EQ(u.open->besideList, 44);
  EXPECT_EQ(u.open->items, (std::vector<std::wstring>{L"DPI +", L"DPI -", L"DPI Loop"}));
  EXPECT_FALSE(p.model.HoverFunction(44, kFunctionDpiSwitch).open);  // already there
  EXPECT_EQ(p.model.HoverFunction(44, 5).close, std::vector<int>{40});
  p.model.HoverFunction(44, kFunctionDpiSwitch);

  u = p.model.ChooseDpi(1);
  EXPECT_EQ(u.close, (std::vector<int>{40, 44}));
  EXPECT_EQ(u.redraw, std::vector<layout::Rect>{layout::KeyRowRect(4)});
  EXPECT_EQ(p.c.modeA.functionIndex[3], kFunctionDpiSwitch);
  EXPECT_EQ(p.c.dpiActionA[3], 2);
  EXPECT_EQ(ButtonText(p.ui, 0, 3), L"DPI -");
  // One click on the row opens its list again.
  EXPECT_TRUE(p.Click(layout::KeyRowRect(4)).open);
  // A click elsewhere on the page closes the list and its sub-list.
  p.model.HoverFunction(44, kFunctionDpiSwitch);
  EXPECT_EQ(p.Click(layout::ReportRateRect(1)).close, (std::vector<int>{40, 44}));
}

// Keys in an open list move its highlight; only a click, a double click or
// Enter choose, and Esc closes the list without a choice.
TEST(BasicPage, KeysInAButtonsListChooseOnlyWithEnter) {
  using ui::ListEvent;
  Page p;
  const DeviceConfig before = p.c;
  const std::wstring text = ButtonText(p.ui, 0, 1);
  ASSERT_TRUE(p.Click(layout::KeyRowRect(2)).open);
  for (int highlight : {0, 1, kFunctionWindows + 3, kFunctionKeyOff}) {  // Down, a typed "S" (Single Key), End
    const BasicUpdate u = p.model.ListEvent(42, ListEvent::KeySelected, highlight);
    EXPECT_TRUE(u.close.empty());
    EXPECT_EQ(u.dialogFunction, -1) << "a typed letter opened a dialog";
    EXPECT_TRUE(u.redraw.empty());
  }
  EXPECT_EQ(std::memcmp(&before, &p.c, sizeof(DeviceConfig)), 0) << "a key assigned a function";
  EXPECT_EQ(ButtonText(p.ui, 0, 1), text);
  EXPECT_EQ(p.model.openRow(), 2);

  BasicUpdate u = p.model.ListEvent(42, ListEvent::EnterPressed, kFunctionTripleClick);
  EXPECT_EQ(u.close, std::vector<int>{42});
  EXPECT_EQ(p.c.modeA.functionIndex[1], kFunctionTripleClick);
  EXPECT_EQ(ButtonText(p.ui, 0, 1), L"Triple-click");

  // Enter on a dialog's function opens the dialog, as a click does.
  p.Click(layout::KeyRowRect(3));
  u = p.model.ListEvent(43, ListEvent::EnterPressed, kFunctionWindows + 3);
  EXPECT_EQ(u.dialogFunction, kFunctionWindows + 3);
  EXPECT_EQ(u.dialogButton, 2);

  // Esc closes without a choice; the row opens again with its next click.
  p.Click(layout::KeyRowRect(5));
  p.model.ListEvent(45, ListEvent::KeySelected, 3);
  u = p.model.ListEvent(45, ListEvent::EscapePressed, 3);
  EXPECT_EQ(u.close, std::vector<int>{45});
  EXPECT_EQ(p.model.openRow(), 0);
  EXPECT_EQ(p.c.modeA.functionIndex[4], before.modeA.functionIndex[4]);
  EXPECT_TRUE(p.Click(layout::KeyRowRect(5)).open);
  // The pointer still chooses with one click.
  p.model.ListEvent(45, ListEvent::PointerSelected, kFunctionRgb);
  EXPECT_EQ(p.c.modeA.functionIndex[4], kFunctionRgb);
  EXPECT_EQ(p.model.openRow(), 0);
}

TEST(BasicPage, TheDpiSubListFromTheKeyboard) {
  using ui::ListEvent;
  Page p;
  p.Click(layout::KeyRowRect(4));
  // The highlight reaching "DPI Switch" shows the sub-list, as the pointer does.
  BasicUpdate u = p.model.ListEvent(44, ListEvent::KeySelected, kFunctionDpiSwitch);
  ASSERT_TRUE(u.open);
  EXPECT_EQ(u.open->id, 40);
  EXPECT_EQ(u.focusList, 0);
  EXPECT_EQ(p.model.ListEvent(44, ListEvent::KeySelected, 7).close, std::vector<int>{40});
  // Enter on it moves the keys into the sub-list, opening it when needed.
  u = p.model.ListEvent(44, ListEvent::EnterPressed, kFunctionDpiSwitch);
  ASSERT_TRUE(u.open);
  EXPECT_EQ(u.focusList, 40);
  EXPECT_TRUE(u.close.empty());
  EXPECT_TRUE(p.model.ListEvent(40, ListEvent::KeySelected, 2).close.empty());
  EXPECT_NE(p.c.modeA.functionIndex[3], kFunctionDpiSwitch);
  u = p.model.ListEvent(40, ListEvent::EnterPressed, 2);
  EXPECT_EQ(u.close, (std::vector<int>{40, 44}));
  EXPECT_EQ(p.c.modeA.functionIndex[3], kFunctionDpiSwitch);
  EXPECT_EQ(ButtonText(p.ui, 0, 3), L"DPI Loop");
  // Esc in the sub-list closes the key list with it, choosing nothing.
  p.Click(layout::KeyRowRect(4));
  p.model.ListEvent(44, ListEvent::EnterPressed, kFunctionDpiSwitch);
  EXPECT_EQ(p.model.ListEvent(40, ListEvent::EscapePressed, 0).close, (std::vector<int>{40, 44}));
  EXPECT_EQ(ButtonText(p.ui, 0, 3), L"DPI Loop");
}

TEST(BasicPage, KeysInALightingListChooseOnlyWithEnter) {
  using ui::ListEvent;
  Page p;
  p.c.lightMode = 1;
  p.model.Painted();
  ASSERT_TRUE(p.Click(layout::LightBoxRect(1)).open);
  BasicUpdate u = p.model.ListEvent(60, ListEvent::KeySelected, 2);
  EXPECT_TRUE(u.close.empty());
  EXPECT_TRUE(u.refresh.empty());
  EXPECT_EQ(p.c.lightMode, 1);
  u = p.model.ListEvent(60, ListEvent::EscapePressed, 2);
  EXPECT_EQ(u.close, std::vector<int>{60});
  EXPECT_EQ(p.c.lightMode, 1);
  EXPECT_EQ(p.model.openLightList(), 0);
  p.Click(layout::LightBoxRect(2));
  p.model.ListEvent(61, ListEvent::KeySelected, 3);
  u = p.model.ListEvent(61, ListEvent::EnterPressed, 3);
  EXPECT_EQ(u.close, std::vector<int>{61});
  EXPECT_EQ(p.c.lightBrightness, 3);
  // A list that is not open (closed by an earlier event) takes nothing.
  EXPECT_TRUE(p.model.ListEvent(61, ListEvent::EnterPressed, 5).close.empty());
  EXPECT_EQ(p.c.lightBrightness, 3);
}

TEST(ListChoice, OnlyThePointerAndEnterChoose) {
  using ui::ListAnswer;
  using ui::ListEvent;
  EXPECT_EQ(ui::AnswerListEvent(ListEvent::PointerSelected), ListAnswer::Choose);
  EXPECT_EQ(ui::AnswerListEvent(ListEvent::DoubleClicked), ListAnswer::Choose);
  EXPECT_EQ(ui::AnswerListEvent(ListEvent::EnterPressed), ListAnswer::Choose);
  EXPECT_EQ(ui::AnswerListEvent(ListEvent::KeySelected), ListAnswer::Follow);
  EXPECT_EQ(ui::AnswerListEvent(ListEvent::EscapePressed), ListAnswer::Dismiss);
}

TEST(BasicPage, ModeTabsAndDefaultRedrawTheRows) {
  Page p;
  BasicUpdate u = p.Click(layout::kModeBTab);
  EXPECT_EQ(p.c.editedMode, 1);
  EXPECT_EQ(u.redraw.size(), 8u);  // two tabs, six rows
  p.Click(layout::KeyRowRect(2));
  p.model.ChooseFunction(42, kFunctionRgb);
  EXPECT_EQ(ButtonText(p.ui, 1, 1), L"RGB On/Off");
  EXPECT_EQ(ButtonText(p.ui, 0, 1), L"Right Click");
  p.Click(layout::kKeyDefaultButton);
  EXPECT_EQ(ButtonText(p.ui, 1, 1), L"Right Click");
  EXPECT_EQ(p.c.editedMode, 1);
}

TEST(BasicPage, ReportRateRedrawsOnlyAChange) {
  Page p;
  p.c.reportRate = 3;  // from an old file: shown as 1000 Hz
  BasicUpdate u = p.Click(layout::ReportRateRect(4));
  EXPECT_EQ(p.c.reportRate, 1);
  EXPECT_EQ(u.redraw.size(), 2u);
  u = p.Click(layout::ReportRateRect(4));
  EXPECT_TRUE(u.handled);
  EXPECT_TRUE(u.redraw.empty());
  p.Click(layout::ReportRateRect(2));
  EXPECT_EQ(p.c.reportRate, 4);
}

TEST(BasicPage, DpiStagesLevelsAndColours) {
  Page p;
  // Levels 9 to 12 answer only with the twelve-level sensor type 0.
  p.sensor = 1;
  EXPECT_FALSE(p.Click(layout::DpiCellRect(2, 9)).handled);
  p.sensor = 5;
  EXPECT_FALSE(p.Click(layout::DpiCellRect(2, 12)).handled);
  EXPECT_TRUE(p.Click(layout::DpiCellRect(2, 8)).handled);
  EXPECT_EQ(p.c.dpiLevel[1], 7);
  p.sensor = 0;
  p.Click(layout::DpiCellRect(2, 11));
  EXPECT_EQ(p.c.dpiLevel[1], 10);

  // The last stage in use stays on.
  for (int s : {2, 3, 4}) p.Click(layout::DpiSelectRect(s));
  EXPECT_EQ(std::vector<int>(p.c.dpiEnabled, p.c.dpiEnabled + 4), (std::vector<int>{1, 0, 0, 0}));
  EXPECT_TRUE(p.Click(layout::DpiSelectRect(1)).redraw.empty());
  EXPECT_EQ(p.c.dpiEnabled[0], 1);
  p.Click(layout::DpiSelectRect(3));
  p.Click(layout::DpiSelectRect(1));
  EXPECT_EQ(p.c.dpiEnabled[0], 0);

  // A stage that is off takes no colour; one that is on asks for one.
  EXPECT_EQ(p.Click(layout::DpiColorRect(1)).chooseColorStage, 0);
  EXPECT_EQ(p.Click(layout::DpiColorRect(3)).chooseColorStage, 3);
  EXPECT_EQ(p.model.SetDpiColor(3, {1, 2, 3}).refresh, std::vector<int>{73});
  EXPECT_EQ(std::vector<int>(p.c.dpiColor + 6, p.c.dpiColor + 9), (std::vector<int>{1, 2, 3}));
  // The dialog starts at the stage's colour, not at black.
  EXPECT_EQ(p.Click(layout::DpiColorRect(3)).chooseColorInitial, (ui::Rgb{1, 2, 3}));
}

TEST(BasicPage, LightingModesKeepEachOthersValues) {
  Page p;
  p.c.lightMode = 3;
  p.c.neonPeriod = 2;
  p.c.neonEffect = 3;
  p.c.respirationPeriod = 1;
  p.c.respirationEffect = 2;
  p.model.Painted();
  EXPECT_EQ(p.model.Light(2).text, L"1.5S");
  BasicUpdate u = p.Click(layout::LightBoxRect(1));
  ASSERT_TRUE(u.open);
  EXPECT_EQ(u.open->id, 60);
  u = p.model.ChooseLight(60, 1);  // Respiration
  EXPECT_EQ(u.close, std::vector<int>{60});
  EXPECT_EQ(u.refresh, (std::vector<int>{80, 81, 82}));
  EXPECT_EQ(p.model.Light(2).text, L"7S");
  EXPECT_EQ(p.model.Light(3).text, L"RGB Flash");
  EXPECT_EQ(p.c.neonPeriod, 2);

  u = p.Click(layout::LightBoxRect(2));
  EXPECT_EQ(u.open->rect, layout::LightParameterListRect(93));
  p.model.ChooseLight(61, 4);
  EXPECT_EQ(p.c.respirationPeriod, 4);
  EXPECT_EQ(p.model.Light(2).text, L"4S");
  p.Click(layout::LightBoxRect(3));
  p.model.ChooseLight(62, 0);
  EXPECT_EQ(p.c.respirationEffect, 1);
  // A value outside its list shows nothing.
  p.c.respirationPeriod = 7;
  EXPECT_EQ(LightParameterText(p.c), L"");
}

TEST(BasicPage, StandardsEffectBoxAndModeZero) {
  Page p;
  p.c.lightMode = 1;
  p.c.standardEffect = 3;
  p.model.Painted();
  EXPECT_EQ(p.model.Light(3).text, L"RGB Fixed On");
  BasicUpdate u = p.Click(layout::LightBoxRect(3));
  EXPECT_FALSE(u.open);
  EXPECT_EQ(p.model.Light(3).text, L"RGB Effect");
  EXPECT_EQ(u.refresh, std::vector<int>{82});
  EXPECT_TRUE(p.Click(layout::LightBoxRect(3)).refresh.empty());  // only takes the mark away
  EXPECT_EQ(p.c.standardEffect, 3);

  // Painted with mode 0: no parameter or effect text, a period list that
  // stores nothing, an effect box that opens nothing.
  p.c.lightMode = 0;
  p.model.Painted();
  EXPECT_FALSE(p.model.Light(2).exists);
  u = p.Click(layout::LightBoxRect(2));
  EXPECT_EQ(u.open->items.size(), 30u);
  const DeviceConfig before = p.c;
  EXPECT_TRUE(p.model.ChooseLight(61, 5).refresh.empty());
  EXPECT_EQ(std::memcmp(&before, &p.c, sizeof before), 0);
  EXPECT_FALSE(p.Click(layout::LightBoxRect(3)).open);
  // Choosing a mode shows only its name until the next full paint.
  p.Click(layout::LightBoxRect(1));
  EXPECT_EQ(p.model.ChooseLight(60, 2).refresh, std::vector<int>{80});
  EXPECT_EQ(p.model.Light(1).text, L"Neon");
}

}  // namespace
}  // namespace kovral
