#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "assign/assignment_flow.h"
#include "device/device_link.h"
#include "macro/macro_recorder.h"
#include "pages/basic_page.h"
#include "pages/page_host.h"
#include "pages/page_pointer.h"
#include "settings/defaults.h"
#include "settings/settings_session.h"
#include "settings_memory_fs.h"
#include "sim/sim_mouse.h"

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

std::wstring RectText(const layout::Rect& r) {
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
         std::to_wstring(r.bottom);
}

// A shell that writes down what the pages ask of it, one line a call.
class FakeShell final : public PageShell, public AssignmentDialogs {
 public:
  std::vector<std::wstring> log;
  std::map<int, std::wstring> texts;  // what the user typed, by edit box
  std::optional<ui::Rgb> color;
  std::optional<std::wstring> singleKey;
  std::optional<DelayTimeResult> delay;
  std::optional<int> captureError;
  // Entry 6 of every open list lies here.
  layout::Rect entry6{100, 50, 180, 66};

  std::vector<std::wstring> Take() { return std::exchange(log, {}); }

  bool OpenList(int id, const layout::Rect& r, const std::vector<std::wstring>& items, bool focus) override {
    Add(L"open " + Id(id) + L" " + RectText(r) + L" " + Id(static_cast<int>(items.size())) + (focus ? L" focus" : L""));
    return true;
  }
  void CloseList(int id) override { Add(L"close " + Id(id)); }
  std::optional<layout::Rect> ListEntryRect(int, int entry) override {
    return entry == 6 ? std::optional(entry6) : std::nullopt;
  }
  void MakeList(int id, const layout::Rect&, bool keys) override { Add(L"list " + Id(id) + (keys ? L" keys" : L"")); }
  void SetListItems(int id, const std::vector<std::wstring>& items, int selected) override {
    Add(L"items " + Id(id) + L" " + Id(static_cast<int>(items.size())) + L" sel " + Id(selected));
  }
  void SetListSelection(int id, int selected) override { Add(L"select " + Id(id) + L" " + Id(selected)); }
  void MakeText(int id, const layout::Rect&, const std::wstring& text) override { Add(L"text " + Id(id) + L"=" + text); }
  void MakeEdit(int id, const layout::Rect&, int limit, bool digits) override {
    Add(L"edit " + Id(id) + L" " + Id(limit) + (digits ? L" digits" : L""));
  }
  void SetText(int id, const std::wstring& text) override { Add(L"set " + Id(id) + L"=" + text); }
  std::wstring Text(int id) override { return texts[id]; }
  void RefreshSwatch(int id) override { Add(L"swatch " + Id(id)); }
  void Focus(int id) override { Add(L"focus " + Id(id)); }
  void SetTitle(const std::wstring& text) override { Add(L"title " + text); }
  void DestroyControls() override { Add(L"destroy"); }
  void Paint() override { Add(L"paint"); }
  void Repaint(std::span<const layout::Rect> rects) override {
    std::wstring line = L"repaint";
    for (const layout::Rect& r : rects) line += L" " + RectText(r);
    Add(line);
  }
  void RequestHover() override { Add(L"hover"); }
  void ContinueLater(int what, int detail) override { Add(L"continue " + Id(what) + L"," + Id(detail)); }
  std::optional<ui::Rgb> ChooseColor(ui::Rgb initial) override {
    Add(L"color " + Id(initial.red));
    return color;
  }
  void ShowMessage(const std::wstring& text, const std::wstring& caption) override { Add(L"message " + text + L"|" + caption); }
  std::optional<int> StartKeyCapture() override {
    Add(L"capture");
    return captureError;
  }
  void StopKeyCapture() override { Add(L"stop capture"); }
  AssignmentDialogs& Dialogs() override { return *this; }

  std::optional<ChoiceResult> RunWindowsDialog() override { return Unused(); }
  std::optional<ChoiceResult> RunMediaDialog() override { return Unused(); }
  std::optional<FireKeyResult> RunFireKeyDialog() override { return Unused(); }
  std::optional<std::wstring> RunSingleKeyDialog() override {
    Add(L"dialog single");
    return singleKey;
  }
  std::optional<ComboKeyResult> RunComboDialog() override { return Unused(); }
  std::optional<MacroKeyResult> RunMacroDialog(std::vector<std::wstring>) override { return Unused(); }
  std::optional<DelayTimeResult> RunDelayDialog() override {
    Add(L"dialog delay");
    return delay;
  }

 private:
  static std::wstring Id(int n) { return std::to_wstring(n); }
  void Add(std::wstring line) { log.push_back(std::move(line)); }
  std::nullopt_t Unused() {
    Add(L"dialog other");
    return std::nullopt;
  }
};

// The system's pointer settings as a system that holds its defaults.
class QuietPointerApi final : public PointerSettingsApi {
 public:
  bool GetMouse(int&, int&, int&) override { return true; }
  bool GetMouseSpeed(int&) override { return true; }
  bool GetWheelScrollLines(uint32_t&) override { return true; }
  bool GetDoubleClickTime(uint32_t&) override { return true; }
  bool SetMouse(int, int, int) override { return true; }
  bool SetMouseSpeed(int) override { return true; }
  bool SetWheelScrollLines(uint32_t) override { return true; }
  bool SetDoubleClickTime(uint32_t) override { return true; }
};

struct Host {
  ManualClock clock;
  SimMouse mouse{clock, SimOptions{}};
  SimHidPlatform platform{mouse};
  RecordingMessageSink messages;
  DeviceLink link{platform, messages, clock};
  DeviceImage image{};
  testing::MemoryFileSystem files;
  FileIniStore ini{files};
  SettingsSession settings{PathsFromModulePath(L"C:\\K\\KALVORIN_DRX_Driver.exe"), ini, files, messages};
  QuietPointerApi api;
  SystemPointerSettings pointer{api, messages};
  FakeShell shell;
  PageHost host{shell, settings, link, image, pointer};
  Host() {
    settings.config = settings.committedConfig = FactoryConfig();
    SetFirstRunButtonTexts(settings.ui, En());
    host.state().SettingsReadOnce = true;  // the sensor was read: no mouse is asked
  }
  bool Click(const layout::Rect& r) { return host.Click(Centre(r)); }
  bool Click(layout::Action action) {
    for (const layout::Element& e : layout::AdvancedElements())
      if (e.action == action) return Click(e.rect);
    return false;
  }
};

using Log = std::vector<std::wstring>;

TEST(PageHost, ControlsComeAfterThePaintAndGoWithTheirPage) {
  Host h;
  h.host.Show(kBasicPage);
  EXPECT_EQ(h.shell.Take(), (Log{L"paint", L"text 71=", L"text 72=", L"text 73=", L"text 74=", L"text 80=Standard",
                                  L"text 81=100%", L"text 82=RGB Effect"}));
  h.host.Show(kBasicPage);
  EXPECT_TRUE(h.shell.Take().empty()) << "the shown page was made again";
  h.host.Show(kAdvancedPage);
  EXPECT_EQ(h.shell.Take(), (Log{L"destroy", L"paint", L"text 119=", L"edit 150 31", L"edit 149 5 digits",
                                  L"list 151 keys", L"list 152", L"items 151 0 sel -1", L"set 150=", L"set 149=",
                                  L"items 152 0 sel -1"}));
  h.host.Rebuild();
  const Log rebuilt = h.shell.Take();
  ASSERT_GE(rebuilt.size(), 2u);
  EXPECT_EQ(Log(rebuilt.begin(), rebuilt.begin() + 2), (Log{L"destroy", L"paint"}));
  // A tick repaints its box; the hover look asks for a hover notice first.
  EXPECT_TRUE(h.Click(layout::kPrecisionBox));
  EXPECT_EQ(h.shell.Take(), Log{L"repaint " + RectText(layout::kPrecisionBox)});
  EXPECT_FALSE(h.host.Click({5, 300}));
  EXPECT_TRUE(h.shell.Take().empty());
  h.host.MouseMove(Centre(layout::kMacroNewButton));
  EXPECT_EQ(h.shell.Take(), Log{L"hover"});
  h.host.MouseHover(Centre(layout::kMacroNewButton));
  EXPECT_EQ(h.shell.Take().size(), 1u);
  // Only the shown page's open lists follow the pointer.
  EXPECT_TRUE(h.host.HotTracks(layout::kSequenceListId));
  EXPECT_FALSE(h.host.HotTracks(kKeyListIdFirst));
}

TEST(BasicPageShell, EachChoiceReachesTheShellInItsOrder) {
  Host h;
  h.host.Show(kBasicPage);
  h.shell.Take();
  // The list goes before the warning about the row that refuses one.
  h.Click(layout::KeyRowRect(2));
  EXPECT_EQ(h.shell.Take(), Log{L"open 42 " + RectText(layout::KeyListRect(2)) + L" 16 focus"});
  h.Click(layout::KeyRowRect(1));
  EXPECT_EQ(h.shell.Take(), (Log{L"close 42", L"message Left key must be selected!|Warning"}));

  // Enter on "DPI Switch": the sub-list opens beside that entry, then takes the keys.
  h.Click(layout::KeyRowRect(4));
  h.shell.Take();
  h.host.ListEvent(44, ui::ListEvent::EnterPressed, kFunctionDpiSwitch);
  EXPECT_EQ(h.shell.Take(), (Log{L"open 40 180,50,240,110 3", L"focus 40"}));
  h.host.ListEvent(40, ui::ListEvent::EnterPressed, 2);
  EXPECT_EQ(h.shell.Take(), (Log{L"close 40", L"close 44", L"repaint " + RectText(layout::KeyRowRect(4))}));
  EXPECT_EQ(ButtonText(h.settings.ui, 0, 3), L"DPI Loop");

  // The pointer on "DPI Switch" shows the sub-list without taking the keys.
  h.Click(layout::KeyRowRect(5));
  h.shell.Take();
  h.host.HotItem(45, kFunctionDpiSwitch);
  EXPECT_EQ(h.shell.Take(), Log{L"open 40 180,50,240,110 3"});
  h.host.HotItem(45, 2);
  EXPECT_EQ(h.shell.Take(), Log{L"close 40"});
  // A lighting mode: its list goes, then the three texts follow the record.
  h.Click(layout::LightBoxRect(1));
  h.shell.Take();
  h.host.ListEvent(60, ui::ListEvent::PointerSelected, 2);
  EXPECT_EQ(h.shell.Take(), (Log{L"close 60", L"set 80=Neon", L"set 81=" + LightParameterText(h.settings.config),
                                  L"set 82=" + LightEffectTextOf(h.settings.config, En())}));

  // A dialog's function: the list closes and the dialog runs only later.
  h.Click(layout::KeyRowRect(3));
  h.shell.Take();
  h.host.ListEvent(43, ui::ListEvent::PointerSelected, kFunctionWindows + 3);
  const std::wstring row3 = L"repaint " + RectText(layout::KeyRowRect(3));
  EXPECT_EQ(h.shell.Take(), (Log{L"close 43", row3, L"continue 11,2"}));
  h.host.Continue(kFunctionWindows + 3, 2);  // cancelled
  EXPECT_EQ(h.shell.Take(), Log{L"dialog single"});
  EXPECT_NE(ButtonText(h.settings.ui, 0, 2), L"Single Key-F5");
  h.shell.singleKey = L"F5";
  h.host.Continue(kFunctionWindows + 3, 2);
  EXPECT_EQ(h.shell.Take(), (Log{L"dialog single", row3}));
  EXPECT_EQ(ButtonText(h.settings.ui, 0, 2), L"Single Key-F5");
  h.host.Continue(kFunctionWindows + 3, layout::kKeyRowCount);  // no such button
  EXPECT_TRUE(h.shell.Take().empty());

  // A stage colour: the chooser starts from it, and only a choice repaints the swatch.
  h.settings.config.dpiColor[3] = 0x12;
  h.Click(layout::DpiColorRect(2));
  EXPECT_EQ(h.shell.Take(), Log{L"color 18"});
  h.shell.color = ui::Rgb{1, 2, 3};
  h.Click(layout::DpiColorRect(2));
  EXPECT_EQ(h.shell.Take(), (Log{L"color 18", L"swatch 72"}));
  EXPECT_EQ(h.settings.config.dpiColor[5], 3);
}

TEST(AdvancedPageShell, ARecordingHoldsTheKeysAndTheTitleOnlyWhileItRuns) {
  Host h;
  h.host.Show(kAdvancedPage);
  h.shell.texts[layout::kMacroNameEditId] = L"Fire";
  h.Click(layout::Action::MacroNew);
  h.shell.Take();
  // A loop count typed wrong becomes 1 when the box is left, and only then.
  h.shell.texts[layout::kLoopCountEditId] = L"0";
  h.host.EditChanged(layout::kLoopCountEditId);
  EXPECT_TRUE(h.shell.Take().empty());
  h.host.EditLeft(layout::kLoopCountEditId);
  EXPECT_EQ(h.shell.Take(), Log{L"set 149=1"});
  // Esc in the macro list puts its choice back and gives the keys to the window.
  h.host.ListEvent(layout::kMacroListId, ui::ListEvent::KeySelected, 3);
  h.host.ListEvent(layout::kMacroListId, ui::ListEvent::EscapePressed, 3);
  EXPECT_EQ(h.shell.Take(), (Log{L"select 151 0", L"focus 0"}));
  const std::wstring started = L"message Start Recording|";
  const std::wstring hint = L"title Press Ctrl+Break key to stop recording";
  h.Click(layout::Action::StartRecording);
  EXPECT_EQ(h.shell.Take(), (Log{L"stop capture", started, L"items 152 0 sel -1", L"capture", hint}));
  EXPECT_TRUE(h.host.Recording());
  h.host.Key(L"A", false, false);
  h.host.Key(L"A", true, true);
  EXPECT_EQ(h.shell.Take(), (Log{L"items 152 1 sel 0", L"items 152 3 sel 2"}));
  // The capture ends before the box, and the title comes back.
  h.Click(layout::Action::StopRecording);
  EXPECT_EQ(h.shell.Take(), (Log{L"stop capture", L"title ", L"message Stop Recording|"}));
  h.host.Key(L"B", false, false);
  EXPECT_TRUE(h.shell.Take().empty()) << "a key was recorded after Stop";

  // Refused by the system: said with its code, and nothing records.
  h.shell.captureError = 5;
  h.Click(layout::Action::StartRecording);
  EXPECT_EQ(h.shell.Take(), (Log{L"stop capture", started, L"items 152 0 sel -1", L"capture",
                                  L"message JournalRecordHook Install error code :5\n|"}));
  EXPECT_FALSE(h.host.Recording());

  // A mouse event from its list, then a delay edited after a double click.
  h.Click(layout::kMouseEventBox);
  EXPECT_EQ(h.shell.Take(), Log{L"open 154 " + RectText(layout::kMouseEventList) + L" 9"});
  h.host.ListEvent(layout::kMouseEventListId, ui::ListEvent::PointerSelected, 0);
  EXPECT_EQ(h.shell.Take(), (Log{L"set 119=" + MouseEventChoices9()[0], L"items 152 4 sel -1", L"close 154"}));
  h.host.HotItem(layout::kSequenceListId, 0);
  h.host.ListEvent(layout::kSequenceListId, ui::ListEvent::DoubleClicked, 0);
  EXPECT_TRUE(h.shell.Take().empty()) << "a key line opened the delay dialog";
  h.host.ListEvent(layout::kSequenceListId, ui::ListEvent::PointerSelected, 1);
  h.host.ListEvent(layout::kSequenceListId, ui::ListEvent::DoubleClicked, 1);
  EXPECT_EQ(h.shell.Take(), Log{L"continue 1,0"});
  h.shell.delay = DelayTimeResult{L"200", 200};
  h.host.Continue(1, 0);
  EXPECT_EQ(h.shell.Take(), (Log{L"dialog delay", L"items 152 4 sel 1"}));
  EXPECT_EQ(h.host.Recording(), false);

  // Leaving the page in a recording ends it with the page.
  h.shell.captureError.reset();
  h.Click(layout::Action::StartRecording);
  h.shell.Take();
  h.host.Show(kBasicPage);
  const Log left = h.shell.Take();
  ASSERT_GE(left.size(), 3u);
  EXPECT_EQ(Log(left.begin(), left.begin() + 3), (Log{L"stop capture", L"title ", L"destroy"}));
}

}  // namespace
}  // namespace kovral
