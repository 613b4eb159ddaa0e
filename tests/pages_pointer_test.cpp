#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "pages/page_pointer.h"
#include "settings/defaults.h"
#include "settings/settings_session.h"
#include "settings_memory_fs.h"

namespace kovral {
namespace {

using Calls = std::vector<std::string>;

// A system holding the four settings. Writes are logged ("speed 8"); any call
// named in `failing` ("GetMouseSpeed", "speed", ...) fails.
class RecordingPointerApi final : public PointerSettingsApi {
 public:
  bool GetMouse(int& a, int& b, int& c) override {
    if (failing.count("GetMouse")) return false;
    a = mouse[0], b = mouse[1], c = mouse[2];
    return true;
  }
  bool GetMouseSpeed(int& s) override { return Read("GetMouseSpeed", speed, s); }
  bool GetWheelScrollLines(uint32_t& l) override { return Read("GetWheelScrollLines", wheelLines, l); }
  bool GetDoubleClickTime(uint32_t& t) override { return Read("GetDoubleClickTime", doubleClickTime, t); }
  bool SetMouse(int a, int b, int c) override { return Log("mouse", N(a) + "," + N(b) + "," + N(c)); }
  bool SetMouseSpeed(int s) override { return Log("speed", N(s)); }
  bool SetWheelScrollLines(uint32_t l) override { return Log("lines", N(l)); }
  bool SetDoubleClickTime(uint32_t t) override { return Log("dblclk", N(t)); }
  std::wstring NoHomeReason(Setting s) const override { return s == Setting::Wheel ? noWheel : L""; }

  int mouse[3] = {6, 10, 1};
  int speed = 10;
  uint32_t wheelLines = 3;
  uint32_t doubleClickTime = 500;
  std::set<std::string> failing;
  std::wstring noWheel;  // the desktop keeps no wheel setting, for this reason
  Calls calls;

 private:
  template <typename T>
  static std::string N(T v) { return std::to_string(v); }
  template <typename T>
  bool Read(const char* name, T value, T& out) {
    if (failing.count(name)) return false;
    out = value;
    return true;
  }
  bool Log(const std::string& name, const std::string& args) {
    calls.push_back(name + " " + args);
    return failing.count(name) == 0;
  }
};

// enhancePrecision, scrollOneScreen, pointerSpeed, scrollLines, doubleClickSpeed.
std::vector<int> Steps(const DeviceConfig& c) {
  return {c.enhancePrecision, c.scrollOneScreen, c.pointerSpeed, c.scrollLines, c.doubleClickSpeed};
}

struct PointerHarness {
  // Reads the system into the record, as the advanced page's first showing does.
  DeviceConfig Read() {
    DeviceConfig c{};
    EXPECT_TRUE(pointer.ReadOnce(c));
    return c;
  }
  Calls Apply(const DeviceConfig& c) {
    api.calls.clear();
    pointer.Apply(c);
    return api.calls;
  }

  RecordingPointerApi api;
  RecordingMessageSink messages;
  SystemPointerSettings pointer{api, messages};
};

TEST(PointerSettings, RecordStepsBecomeSystemValues) {
  DeviceConfig c{};
  c.enhancePrecision = 1;
  c.pointerSpeed = 5;  // 2 * 5 - 2
  c.scrollLines = 4;
  c.doubleClickSpeed = 6;  // 970 - 420
  SystemPointerValues v = PointerValuesFromRecord(c);
  EXPECT_EQ((std::vector<int>{v.mouse[0], v.mouse[1], v.mouse[2], v.speed}), (std::vector<int>{6, 10, 1, 8}));
  EXPECT_EQ(v.wheelLines, 4u);
  EXPECT_EQ(v.doubleClickTime, 550u);

  c = DeviceConfig{};
  c.scrollOneScreen = 1;
  c.scrollLines = 7;
  c.pointerSpeed = 1;
  c.doubleClickSpeed = 11;
  v = PointerValuesFromRecord(c);
  EXPECT_EQ((std::vector<int>{v.mouse[0], v.mouse[1], v.mouse[2], v.speed}), (std::vector<int>{0, 0, 0, 1}));
  EXPECT_EQ(v.wheelLines, 0xFFFFFFFFu);
  EXPECT_EQ(v.doubleClickTime, 200u);
  c.pointerSpeed = 11;
  c.scrollOneScreen = 0;
  c.scrollLines = 0;
  EXPECT_EQ(PointerValuesFromRecord(c).speed, 20);
  EXPECT_EQ(PointerValuesFromRecord(c).wheelLines, 0u);

  // Steps nobody chose (no config.bin: every byte 0, or a damaged file) are the default step.
  for (uint8_t step : {0, 12, 200}) {
    c.pointerSpeed = step;
    c.doubleClickSpeed = step;
    EXPECT_EQ(PointerValuesFromRecord(c).speed, 10) << int(step);
    EXPECT_EQ(PointerValuesFromRecord(c).doubleClickTime, 550u) << int(step);
  }
}

TEST(PointerSettings, TheFirstReadMapsTheSystemToStepsOncePerRun) {
  struct Case {
    int acceleration, speed;
    uint32_t lines, time;
    int precision, oneScreen, speedStep, lineStep, clickStep;
  };
  const Case cases[] = {
      {1, 10, 3, 500, 1, 0, 6, 3, 6},
      {0, 9, 0xFFFFFFFFu, 900, 0, 1, 5, 0, 1},  // one screen per notch: box ticked, no cells
      {2, 20, 0, 200, 1, 0, 11, 0, 11},
      {0, 1, 11, 830, 0, 0, 1, 11, 2},
      {0, 30, 40, 100, 0, 0, 11, 11, 11},  // beyond the sliders: clamped
      {0, 0, 12, 1000, 0, 0, 1, 11, 1},    // over 900 ms is the slowest step, not a wrapped byte
  };
  for (const Case& k : cases) {
    PointerHarness h;
    h.api.mouse[2] = k.acceleration;
    h.api.speed = k.speed;
    h.api.wheelLines = k.lines;
    h.api.doubleClickTime = k.time;
    DeviceConfig c = h.Read();
    EXPECT_EQ(Steps(c), (std::vector<int>{k.precision, k.oneScreen, k.speedStep, k.lineStep, k.clickStep}))
        << k.speed << " " << k.lines << " " << k.time;
    EXPECT_TRUE(h.messages.messages.empty());
  }

  PointerHarness h;
  EXPECT_FALSE(h.pointer.readDone());
  DeviceConfig c = h.Read();
  EXPECT_TRUE(h.pointer.readDone());
  h.api.speed = 2;
  EXPECT_FALSE(h.pointer.ReadOnce(c));
  EXPECT_EQ(c.pointerSpeed, 6);
}

TEST(PointerSettings, FailedReadsAreShownAndGiveFallbackStepsThatAreNeverWritten) {
  PointerHarness h;
  h.api.failing = {"GetMouse", "GetMouseSpeed", "GetWheelScrollLines", "GetDoubleClickTime"};
  DeviceConfig c{};
  c.enhancePrecision = c.scrollOneScreen = 1;
  c.pointerSpeed = c.scrollLines = c.doubleClickSpeed = 9;
  ASSERT_TRUE(h.pointer.ReadOnce(c));
  EXPECT_EQ(Steps(c), (std::vector<int>{0, 0, 6, 0, 6}));
  ASSERT_EQ(h.messages.messages.size(), 3u);  // SPI_GETMOUSE fails silently
  EXPECT_EQ(h.messages.messages[0].text, L"GETMOUSESPEED failed.");
  EXPECT_EQ(h.messages.messages[1].text, L"GETWHEELSCROLLLINES failed.");
  EXPECT_EQ(h.messages.messages[2].text, L"GetDoubleClickTime failed.");
  EXPECT_EQ(h.messages.messages[2].caption, L"Warning");
  c.enhancePrecision = 1;
  c.pointerSpeed = 3;
  EXPECT_EQ(h.Apply(c), Calls{});

  PointerHarness zero;  // GetDoubleClickTime reports failure as a time of 0
  zero.api.doubleClickTime = 0;
  EXPECT_EQ(zero.Read().doubleClickSpeed, 6);
  ASSERT_EQ(zero.messages.messages.size(), 1u);
  EXPECT_EQ(zero.messages.messages[0].text, L"GetDoubleClickTime failed.");
}

TEST(PointerSettings, ApplyWritesOnlyWhatTheUserChanged) {
  PointerHarness h;
  h.api.mouse[2] = 2;  // the user's own acceleration: ticked, and kept while the box stays ticked
  h.api.speed = 9;
  DeviceConfig before{};
  before.pointerSpeed = 3;
  EXPECT_EQ(h.Apply(before), Calls{}) << "the system was never read in this run";

  DeviceConfig c = h.Read();
  EXPECT_EQ(c.pointerSpeed, 5);
  EXPECT_EQ(h.Apply(c), Calls{}) << "speed 9 must not become 8 when nobody touched it";

  c.pointerSpeed = 2;
  c.enhancePrecision = 0;
  c.pointerSpeed = 5;
  c.enhancePrecision = 1;
  c.doubleClickSpeed = 3;
  c.doubleClickSpeed = 6;  // moved and moved back
  EXPECT_EQ(h.Apply(c), Calls{});

  c.pointerSpeed = 7;
  EXPECT_EQ(h.Apply(c), Calls{"speed 12"});
  EXPECT_EQ(h.Apply(c), Calls{});
  c.pointerSpeed = 5;  // back to the step first read: the system holds 12 now
  EXPECT_EQ(h.Apply(c), Calls{"speed 8"});

  c.enhancePrecision = 0;
  c.pointerSpeed = 1;
  c.scrollLines = 4;
  c.doubleClickSpeed = 5;
  EXPECT_EQ(h.Apply(c), (Calls{"mouse 0,0,0", "speed 1", "lines 4", "dblclk 620"}));
  EXPECT_TRUE(h.messages.messages.empty());
}

TEST(PointerSettings, OneScreenWinsOverTheLineStepUntilItIsUnticked) {
  PointerHarness h;
  h.api.wheelLines = kWheelPageScroll;
  DeviceConfig c = h.Read();
  c.scrollLines = 4;
  EXPECT_EQ(h.Apply(c), Calls{"lines 4294967295"});
  c.scrollOneScreen = 0;
  EXPECT_EQ(h.Apply(c), Calls{"lines 4"});
}

TEST(PointerSettings, DefaultWritesAtOnceAndTheNextApplyWritesTheRecordSteps) {
  PointerHarness h;
  h.api.speed = 9;
  DeviceConfig c = h.Read();
  const DeviceConfig read = c;
  h.api.failing = {"speed"};
  h.pointer.RestoreDefaults(c);
  EXPECT_EQ(h.api.calls, (Calls{"mouse 0,0,0", "speed 10", "lines 3", "dblclk 500"}));
  EXPECT_EQ(Steps(c), (std::vector<int>{0, 0, 6, 3, 6}));
  ASSERT_EQ(h.messages.messages.size(), 1u);  // each failure is shown and the rest still run
  EXPECT_EQ(h.messages.messages[0].text, L"SETMOUSESPEED failed.");
  EXPECT_EQ(h.messages.messages[0].caption, L"Warning");

  EXPECT_EQ(h.Apply(c), (Calls{"mouse 0,0,0", "speed 10", "lines 3", "dblclk 550"}));
  EXPECT_EQ(h.messages.messages.size(), 2u);
  EXPECT_EQ(h.messages.messages[1].text, L"SETMOUSESPEED failed.");
  h.api.failing.clear();
  EXPECT_EQ(h.Apply(c), Calls{"speed 10"}) << "only the failed write is tried again";
  EXPECT_EQ(h.Apply(c), Calls{});

  // Default and then a record with older steps (the user's edits after it): all four are written.
  h.pointer.RestoreDefaults(c);
  EXPECT_EQ(h.Apply(read), (Calls{"mouse 6,10,1", "speed 8", "lines 3", "dblclk 550"}));
}

// The main window's Cancel, with the session the dialog has: config.bin's
// record as committed at start, the system read by the advanced page's first
// showing into the live record only.
struct CancelHarness {
  CancelHarness() {
    api.mouse[2] = 1;  // precision on
    api.wheelLines = 7;
    api.speed = 9;
    files.files[L"C:\\K\\config.bin"] = ConfigFileBytes(FactoryConfig(), 1);  // precision 0, 3 lines, step 6
    session.Load();
  }
  void ShowAdvancedPage() { pointer.ReadOnce(session.config); }
  Calls Ok() {
    api.calls.clear();
    session.Commit();
    pointer.Apply(session.config);
    return api.calls;
  }

  RecordingPointerApi api;
  RecordingMessageSink messages;
  testing::MemoryFileSystem files;
  FileIniStore ini{files};
  SettingsSession session{PathsFromModulePath(L"C:\\K\\KALVORIN_DRX_Driver.exe"), ini, files, messages};
  SystemPointerSettings pointer{api, messages};
};

TEST(PointerSettings, CancelShowsWhatTheSystemHoldsAndOkThenWritesNothing) {
  CancelHarness h;
  ASSERT_EQ(h.session.committedConfig.enhancePrecision, 0);
  h.ShowAdvancedPage();
  h.session.config.reportRate = 2;  // an edit Cancel drops
  CancelEdits(h.session, h.pointer);
  EXPECT_EQ(h.session.config.reportRate, h.session.committedConfig.reportRate);
  EXPECT_EQ(Steps(h.session.config), (std::vector<int>{1, 0, 5, 7, 6}));
  EXPECT_EQ(h.Ok(), Calls{}) << "precision off and 3 lines from config.bin";

  // Edits after the read, then Cancel: the read values again.
  h.session.config.pointerSpeed = 11;
  h.session.config.scrollOneScreen = 1;
  CancelEdits(h.session, h.pointer);
  EXPECT_EQ(Steps(h.session.config), (std::vector<int>{1, 0, 5, 7, 6}));
  EXPECT_EQ(h.Ok(), Calls{});

  // A written setting is what Cancel shows from then on; one whose write
  // failed is not, and is not tried again unless the user sets it again.
  h.session.config.pointerSpeed = 8;
  h.session.config.scrollLines = 2;
  h.api.failing = {"lines"};
  EXPECT_EQ(h.Ok(), (Calls{"speed 14", "lines 2"}));
  h.api.failing.clear();
  h.session.config.enhancePrecision = 0;
  CancelEdits(h.session, h.pointer);
  EXPECT_EQ(Steps(h.session.config), (std::vector<int>{1, 0, 8, 7, 6}));
  EXPECT_EQ(h.Ok(), Calls{});

  // Default sets the system at once; Cancel then shows the defaults and
  // drops the write of all four that the next Apply would have made.
  h.pointer.RestoreDefaults(h.session.config);
  CancelEdits(h.session, h.pointer);
  EXPECT_EQ(Steps(h.session.config), (std::vector<int>{0, 0, 6, 3, 6}));
  EXPECT_EQ(h.Ok(), Calls{});

  // A default that failed leaves the system's value, and Cancel shows it.
  h.session.config.pointerSpeed = 9;
  EXPECT_EQ(h.Ok(), Calls{"speed 16"});
  h.api.failing = {"speed"};
  h.pointer.RestoreDefaults(h.session.config);
  h.api.failing.clear();
  CancelEdits(h.session, h.pointer);
  EXPECT_EQ(Steps(h.session.config), (std::vector<int>{0, 0, 9, 3, 6}));
  EXPECT_EQ(h.Ok(), Calls{});
}

TEST(PointerSettings, CancelBeforeTheFirstReadKeepsTheCommittedRecord) {
  CancelHarness h;
  h.session.config.pointerSpeed = 9;
  CancelEdits(h.session, h.pointer);
  EXPECT_EQ(Steps(h.session.config), (std::vector<int>{0, 0, 6, 3, 6}));
  EXPECT_EQ(h.Ok(), Calls{});
}

}  // namespace
}  // namespace kovral

#include "pages/advanced_page.h"

namespace kovral {
namespace {

layout::Point CentreOf(const layout::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST(AdvancedPage, ClicksChangeTheRecordAndOnlyThatReachesTheSystem) {
  RecordingPointerApi api;
  api.wheelLines = kWheelPageScroll;  // one screen per notch
  RecordingMessageSink messages;
  SystemPointerSettings pointer(api, messages);
  DeviceConfig c{};
  pointer.ReadOnce(c);
  AdvancedPageModel page(c, pointer);
  // A scroll step with "Scroll One Screen" ticked changes the step only.
  AdvancedUpdate u = page.Click(CentreOf(layout::PointerCellRect(2, 4)));
  EXPECT_TRUE(u.handled);
  EXPECT_EQ(u.redraw, std::vector<layout::Rect>{PointerRowRect(2)});
  EXPECT_EQ(c.scrollLines, 4);
  EXPECT_EQ(c.scrollOneScreen, 1);
  page.Click(CentreOf(layout::kPrecisionBox));
  EXPECT_EQ(c.enhancePrecision, 0);
  pointer.Apply(c);
  // The wheel setting was touched, but one screen per notch wins over the step.
  EXPECT_EQ(api.calls, (Calls{"mouse 0,0,0", "lines 4294967295"}));
  // Default sets the system at once.
  api.calls.clear();
  EXPECT_EQ(page.Click(CentreOf(layout::kPointerDefaultButton)).redraw.size(), 5u);
  EXPECT_EQ(api.calls, (Calls{"mouse 0,0,0", "speed 10", "lines 3", "dblclk 500"}));
  EXPECT_FALSE(page.Click({300, 120}).handled);  // an empty spot drags
}

// A desktop without a wheel setting: it is never asked for or written, and
// its row and box change nothing, so no failure is shown for what is missing.
TEST(AdvancedPage, ASettingTheDesktopDoesNotKeepIsNeitherReadWrittenNorChanged) {
  RecordingPointerApi api;
  api.noWheel = L"no wheel setting here";
  api.failing = {"GetWheelScrollLines", "lines"};
  RecordingMessageSink messages;
  SystemPointerSettings pointer(api, messages);
  DeviceConfig c{};
  c.scrollLines = 5;
  ASSERT_TRUE(pointer.ReadOnce(c));
  EXPECT_EQ(c.scrollLines, 5);
  AdvancedPageModel page(c, pointer);
  page.Click(CentreOf(layout::PointerCellRect(2, 2)));
  page.Click(CentreOf(layout::kOneScreenBox));
  EXPECT_EQ(c.scrollLines, 5);
  EXPECT_EQ(c.scrollOneScreen, 0);
  page.Click(CentreOf(layout::PointerCellRect(1, 4)));
  pointer.Apply(c);
  EXPECT_EQ(api.calls, Calls{"speed 6"});
  api.calls.clear();
  page.Click(CentreOf(layout::kPointerDefaultButton));
  EXPECT_EQ(api.calls, (Calls{"mouse 0,0,0", "speed 10", "dblclk 500"}));
  EXPECT_TRUE(messages.messages.empty());
}

}  // namespace
}  // namespace kovral
