#include <gtest/gtest.h>

#include <algorithm>

#include "app/held_notices.h"
#include "app/tray_rules.h"
#include "profiles/profile_menu.h"

namespace kovral {
namespace {

constexpr uint32_t kMouseMove = 0x200, kLDown = 0x201, kLUp = 0x202, kLDbl = 0x203, kRDown = 0x204, kRUp = 0x205,
                   kRDbl = 0x206, kMDown = 0x207;

TrayDecision DecideTrayMessage(uint32_t message, bool ready, PageState& state) {
  return DecideTrayClick(TrayClickOfMessage(message), ready, state);
}

// The tray menu and its Profiles submenu share one WM_COMMAND space: a shared
// id made the submenu's Desktop open Preferences.
TEST(TrayRules, EveryMenuCommandHasItsOwnId) {
  const uint32_t tray[] = {kTrayMenuExitCommand, kTrayMenuStartWithWindowsCommand, kTrayMenuExportProfileCommand,
                           kTrayMenuImportProfileCommand, kTrayMenuPreferencesCommand};
  const uint32_t profiles[] = {kProfilesMenuDesktopCommand, kProfilesMenuAutomaticCommand,
                               kProfilesMenuNoticesCommand, kProfilesMenuManageCommand};
  for (uint32_t t : tray) {
    for (uint32_t p : profiles) EXPECT_NE(t, p);
    EXPECT_FALSE(t >= kProfilesMenuFirstProfileCommand &&
                 t < kProfilesMenuFirstProfileCommand + kProfilesMenuProfileLimit) << t;
  }
}

TEST(TrayRules, OnlyLeftUpDoubleClickAndRightUpDoAnything) {
  PageState s;
  s.SettingsReadOnce = true;
  s.CurrentPage = kBasicPage;
  for (uint32_t m : {kMouseMove, kLDown, kRDown, kRDbl, kMDown})
    EXPECT_EQ(DecideTrayMessage(m, true, s).action, TrayAction::Ignore) << std::hex << m;
  EXPECT_EQ(DecideTrayMessage(kLUp, true, s).action, TrayAction::ShowWindow);
  EXPECT_EQ(DecideTrayMessage(kLDbl, true, s).action, TrayAction::ShowWindow);
  EXPECT_EQ(DecideTrayMessage(kRUp, true, s).action, TrayAction::ShowMenu);
  EXPECT_EQ(DecideTrayMessage(kRUp, false, s).action, TrayAction::ShowMenu);  // Exit works without a mouse
}

TEST(TrayRules, WithoutMouseWarnsAndKeepsTheCancelForLater) {
  PageState s;
  s.CurrentPage = kBasicPage;
  s.ReloadPending = true;
  EXPECT_EQ(DecideTrayMessage(kLUp, false, s).action, TrayAction::WarnNotDetected);
  EXPECT_TRUE(s.ReloadPending);
}

TEST(TrayRules, AfterCancelTheShownPageIsRebuiltOnce) {
  PageState s;
  s.SettingsReadOnce = true;
  s.CurrentPage = kBasicPage;
  s.ReloadPending = true;
  TrayDecision d = DecideTrayMessage(kLUp, true, s);
  EXPECT_EQ(d.action, TrayAction::ShowWindow);
  EXPECT_EQ(d.prepare, TrayPagePrepare::Rebuild);
  EXPECT_FALSE(s.ReloadPending);
  EXPECT_EQ(DecideTrayMessage(kLUp, true, s).prepare, TrayPagePrepare::None);

  s.CurrentPage = kAdvancedPage;
  s.ReloadPending = true;
  EXPECT_EQ(DecideTrayMessage(kLDbl, true, s).prepare, TrayPagePrepare::Rebuild);
}

TEST(TrayRules, FirstShowAfterALateArrivalShowsTheBasicPage) {
  PageState s;  // started without the mouse: no page, sensor never read
  TrayDecision d = DecideTrayMessage(kLUp, true, s);
  EXPECT_EQ(d.action, TrayAction::ShowWindow);
  EXPECT_EQ(d.prepare, TrayPagePrepare::ShowBasic);
}

TEST(HeldNotices, StartUpNoticeWaitsForTheTextsThenShowsInOrder) {
  HeldNotices held;
  EXPECT_TRUE(held.Hold({14, 0}));
  EXPECT_TRUE(held.Hold({7, 2}));
  EXPECT_EQ(held.Release(), (std::vector<DeviceNotice>{{14, 0}, {7, 2}}));
  EXPECT_FALSE(held.Hold({15, 0}));  // texts exist: shown at once
  EXPECT_TRUE(held.Release().empty());
}

TEST(HeldNotices, KeepsOnlyTheNewestWhenFlooded) {
  HeldNotices held;
  for (uint32_t v = 0; v < 20; ++v) held.Hold({9, v});
  std::vector<DeviceNotice> out = held.Release();
  ASSERT_EQ(out.size(), HeldNotices::kCapacity);
  EXPECT_EQ(out.front().value, 20 - HeldNotices::kCapacity);
  EXPECT_EQ(out.back().value, 19u);
}

}  // namespace
}  // namespace kovral

#include <map>

#include "app/start_with_windows.h"
#include "settings_memory_fs.h"

namespace kovral {
namespace {

class FakeRunKey final : public RunKey {
 public:
  std::optional<std::wstring> value;
  bool writable = true;
  StartupPlace where = StartupPlace::Windows;
  std::optional<std::wstring> Read() override { return value; }
  StartupPlace place() const override { return where; }
  bool Write(const std::wstring& command) override {
    if (writable) value = command;
    return writable;
  }
  bool Remove() override {
    value.reset();
    return true;
  }
};

TEST(StartWithWindows, OnlyAValueThatStartsThisExecutableCounts) {
  const std::wstring exe = L"C:\\Users\\Ann\\AppData\\Local\\Programs\\Kovral\\KALVORIN_DRX_Driver.exe";
  EXPECT_TRUE(RunCommandStarts(RunCommandFor(exe), exe));
  EXPECT_TRUE(RunCommandStarts(L"\"c:\\users\\ann\\appdata\\local\\programs\\kovral\\kalvorin_drx_driver.exe\" --x", exe));
  EXPECT_TRUE(RunCommandStarts(L"C:\\K\\KALVORIN_DRX_Driver.exe /min", L"C:\\K\\KALVORIN_DRX_Driver.exe"));
  EXPECT_FALSE(RunCommandStarts(L"\"D:\\Old\\KALVORIN_DRX_Driver.exe\"", exe));  // another installation
  EXPECT_FALSE(RunCommandStarts(L"\"" + exe, exe));                            // no closing quote
  EXPECT_FALSE(RunCommandStarts(L"", exe));

  FakeRunKey key;
  key.value = L"\"D:\\Old\\KALVORIN_DRX_Driver.exe\"";
  EXPECT_FALSE(StartsWithWindows(key, exe));
  // Off leaves another installation's value; on replaces it by this one.
  EXPECT_TRUE(SetStartWithWindows(key, exe, false));
  EXPECT_EQ(key.value, L"\"D:\\Old\\KALVORIN_DRX_Driver.exe\"");
  EXPECT_TRUE(SetStartWithWindows(key, exe, true));
  EXPECT_EQ(key.value, L"\"" + exe + L"\"");
  EXPECT_TRUE(SetStartWithWindows(key, exe, false));
  EXPECT_FALSE(key.value);
  key.writable = false;
  EXPECT_FALSE(SetStartWithWindows(key, exe, true));
  EXPECT_FALSE(StartsWithWindows(key, exe));
  // Already as asked: nothing is written, so a read-only key still agrees.
  EXPECT_TRUE(SetStartWithWindows(key, exe, false));
}

// On Linux the setting is an autostart entry, whose folder may not exist yet.
TEST(StartWithWindows, TheLinuxAutostartEntryNamesThisProgramUntilRemoved) {
  const std::wstring exe = L"/opt/kovral bin/kovral";
  testing::MemoryFileSystem files;
  files.folders.insert(L"/home/ann/.config");
  const std::unique_ptr<RunKey> entry = MakeAutostartEntry(files, L"/home/ann/.config/");
  EXPECT_FALSE(StartsWithWindows(*entry, exe));
  ASSERT_TRUE(SetStartWithWindows(*entry, exe, true));
  EXPECT_TRUE(files.folders.count(L"/home/ann/.config/autostart"));
  const std::optional<std::vector<uint8_t>> text = files.ReadAll(L"/home/ann/.config/autostart/kovral.desktop");
  ASSERT_TRUE(text);
  EXPECT_TRUE(std::string(text->begin(), text->end()).starts_with("[Desktop Entry]\nType=Application\n"));
  EXPECT_EQ(entry->Read(), L"\"/opt/kovral bin/kovral\"");
  EXPECT_TRUE(StartsWithWindows(*entry, exe));
  EXPECT_FALSE(StartsWithWindows(*entry, L"/usr/bin/kovral"));
  ASSERT_TRUE(SetStartWithWindows(*entry, exe, false));
  EXPECT_FALSE(files.Exists(L"/home/ann/.config/autostart/kovral.desktop"));
  EXPECT_TRUE(entry->Remove()) << "nothing to remove is no failure";

  // A path with the characters an Exec line reserves is written escaped, so
  // the desktop starts the program it names, and reads back as itself.
  const std::wstring odd = L"/home/ann/100% $HOME `x`/a\\b/kovral";
  ASSERT_TRUE(SetStartWithWindows(*entry, odd, true));
  const std::optional<std::vector<uint8_t>> escaped = files.ReadAll(L"/home/ann/.config/autostart/kovral.desktop");
  ASSERT_TRUE(escaped);
  EXPECT_NE(std::string(escaped->begin(), escaped->end())
                .find("\nExec=\"/home/ann/100%% \\\\$HOME \\\\`x\\\\`/a\\\\\\\\b/kovral\"\n"),
            std::string::npos)
      << std::string(escaped->begin(), escaped->end());
  EXPECT_EQ(entry->Read(), L"\"" + odd + L"\"");
  EXPECT_TRUE(StartsWithWindows(*entry, odd));
  ASSERT_TRUE(SetStartWithWindows(*entry, odd, false));
  EXPECT_FALSE(files.Exists(L"/home/ann/.config/autostart/kovral.desktop"));
}

}  // namespace
}  // namespace kovral

// ---------------------------------------------------------------------------
// The main window's controller, through a shell that records what it is
// asked, on the simulated mouse and a file system in memory.

#include <functional>
#include <sstream>

#include "app/main_controller.h"
#include "app/shell_opener.h"
#include "app/tray_menu.h"
#include "device/clock.h"
#include "device/commands.h"
#include "lang/messages.h"
#include "lang/notices.h"
#include "lang/text_format.h"
#include "pages/page_pointer.h"
#include "profiles/profile_library.h"
#include "settings/defaults.h"
#include "settings/ini_store.h"
#include "settings/notice_preferences.h"
#include "sim/sim_mouse.h"
#include "settings_memory_fs.h"
#include "ui/color_chooser.h"

namespace kovral {
namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class NoPointerApi final : public PointerSettingsApi {
 public:
  bool GetMouse(int& a, int& b, int& c) override { return a = 6, b = 10, c = 1, true; }
  bool GetMouseSpeed(int& s) override { return s = 10, true; }
  bool GetWheelScrollLines(uint32_t& l) override { return l = 3, true; }
  bool GetDoubleClickTime(uint32_t& t) override { return t = 500, true; }
  bool SetMouse(int, int, int) override { return true; }
  bool SetMouseSpeed(int) override { return true; }
  bool SetWheelScrollLines(uint32_t) override { return true; }
  bool SetDoubleClickTime(uint32_t) override { return true; }
};

class OpenedLog final : public ShellOpener {
 public:
  void Open(const std::wstring& address) override { opened.push_back(address); }
  std::vector<std::wstring> opened;
};

// Records each action as a line; queries answer from its fields.
class RecordingShell final : public MainShell {
 public:
  MainController* controller = nullptr;
  SimMouse* sim = nullptr;
  std::vector<std::string> log;
  std::vector<SimPlugEvent> plugEvents;
  PageState pages;
  bool dialogUp = false;
  bool dialogStaysOnCancel = false;
  bool notificationsWork = true;
  bool osdWorks = true;
  bool pressShowMe = false;  // "Show me" in the Preferences dialog
  bool notificationArea = true;
  std::optional<uint32_t> menuChoice;
  TrayMenu lastMenu;
  std::optional<SkinChoice> skinChoice;
  std::optional<PreferencesChoice> preferencesChoice;
  bool watching = false;

  void Log(std::string line) { log.push_back(std::move(line)); }
  void HideMainWindow() override { Log("hide"); }
  void BringToFront() override { Log("front"); }
  void RepaintWindow() override { Log("repaint"); }
  bool DialogUp() override { return dialogUp; }
  bool ListOpen() override { return false; }
  void EndProcess() override { Log("end"); }
  void TakeWindowPicture(const std::wstring& folder, const std::wstring& code) override {
    Log("picture " + Narrow(folder.substr(folder.find(L"Skins"))) + " " + Narrow(code));
  }
  void SetLook(const MainLook& look, bool newFonts) override {
    Log("look " + Narrow(look.skinName) + " " + Narrow(look.languageCode) + (newFonts ? " fonts" : ""));
  }
  bool PictureReadable(const std::wstring&) override { return true; }
  uint16_t SystemLanguageId() override { return 0x0409; }
  PageState& pageState() override { return pages; }
  void ShowPage(int page) override {
    pages.CurrentPage = page;
    pages.SettingsReadOnce = true;
    Log("page " + std::to_string(page));
  }
  void RebuildPage() override { Log("rebuild"); }
  void CommitEdits() override { Log("commit"); }
  bool PageClick(layout::Point) override { return Log("page click"), false; }
  void DragWindow() override { Log("drag"); }
  bool AddTrayIcon(const std::wstring& tip) override { return Log("tray " + Narrow(tip)), true; }
  bool HasNotificationArea() override { return notificationArea; }
  void RemoveTrayIcon() override { Log("untray"); }
  void ShowBalloon(const Balloon& balloon) override { Log("balloon " + Narrow(balloon.text)); }
  std::optional<uint32_t> PopUpMenu(const TrayMenu& menu) override {
    Log("menu");
    lastMenu = menu;
    return menuChoice;
  }
  bool ShowOsd(const OsdNotice& notice, const OsdLook&, OsdPosition, const std::wstring&) override {
    Log("osd " + Narrow(notice.headline));
    return osdWorks;
  }
  void HideOsd() override { Log("osd off"); }
  ui::Rgb SkinAccent(const std::wstring&) override { return {0, 200, 255}; }
  void StartTimer(MainTimer timer, int ms) override {
    Log("timer " + std::to_string(static_cast<int>(timer)) + " " + std::to_string(ms));
  }
  void StopTimer(MainTimer timer) override { Log("untimer " + std::to_string(static_cast<int>(timer))); }
  void PostLater(LaterWork) override { Log("later"); }
  std::optional<std::wstring> ChooseFile(const FileChoice&, bool save) override {
    return Log(save ? "save as" : "open"), std::nullopt;
  }
  std::optional<SkinChoice> RunSkinsDialog(const DialogEnvironment&, const std::wstring&) override {
    Log("skins dialog");
    return skinChoice;
  }
  std::optional<PreferencesChoice> RunPreferencesDialog(const DialogEnvironment&, const PreferencesChoice&,
                                                        std::function<void(OsdPosition)> showSample) override {
    Log("preferences dialog");
    if (pressShowMe) showSample(OsdPosition::BottomRight);
    return preferencesChoice;
  }
  void RunProfilesDialog(const DialogEnvironment&, ProfilesDialogServices) override { Log("profiles dialog"); }
  bool CancelDeviceDialogs() override { return Log("cancel dialogs"), dialogStaysOnCancel; }
  // The link's notices come on the interface thread, as the Win32 shell's
  // sent message brings them; plug events wait for the test to deliver them.
  void RouteDeviceEvents() override {
    Log("route");
    controller->link().notify = [this](int code, int value) {
      controller->OnDeviceNotice(static_cast<uint32_t>(code), static_cast<uint32_t>(value));
    };
    sim->SetPlugListener([this](const SimPlugEvent& event) { plugEvents.push_back(event); });
  }
  void StartReader(bool run) override { Log(run ? "reader" : "reader held"); }
  void ResumeReader() override { Log("reader resumed"); }
  bool StartDeviceNotifications() override { return Log("notifications"), notificationsWork; }
  void StopDeviceNotifications() override { Log("no notifications"); }
  void StartFrontWatch() override { watching = true; }
  void StopFrontWatch() override { watching = false; }
  bool FrontWatchRunning() override { return watching; }
  std::unique_ptr<FolderWatch> WatchFolder(std::function<void()>) override { return nullptr; }
};

class FixedFront final : public ForegroundSource {
 public:
  uint64_t FrontWindowId() override { return 1; }
  FrontWindow Describe(uint64_t) override { return {1, L"explorer.exe"}; }
};

struct MainRig {
  MainRig() {
    shell.sim = &sim;
    services.hid = &platform;
    services.clock = &clock;
    services.files = &files;
    services.ini = &ini;
    services.pointer = &pointerApi;
    services.messages = &messages;
    services.shell = &opened;
    services.colors = &colors;
    services.runKey = &runKey;
    controller = std::make_unique<MainController>(services, messages, shell, front);
    shell.controller = controller.get();
    dir = controller->settings().paths().directory;
    files.files[controller->settings().paths().configBin] = ConfigFileBytes(FactoryConfig(), 1);
  }
  ~MainRig() { CloseDevice(controller->link()); }
  void Start() {
    controller->Start();
    shell.log.clear();
  }
  // The plug events of the simulated mouse so far, as the shell hands them on.
  void DeliverPlugEvents() {
    for (const SimPlugEvent& event : std::exchange(shell.plugEvents, {}))
      controller->OnDeviceEvent({event.arrival, event.arrivalName});
  }
  std::wstring StrIni() { return controller->settings().paths().strIni; }

  ManualClock clock;
  SimMouse sim{clock};
  SimHidPlatform platform{sim};
  testing::MemoryFileSystem files;
  FileIniStore ini{files};
  NoPointerApi pointerApi;
  RecordingMessageSink messages;
  OpenedLog opened;
  FixedColorChooser colors{std::nullopt};
  FakeRunKey runKey;
  FixedFront front;
  AppServices services;
  RecordingShell shell;
  std::unique_ptr<MainController> controller;
  std::wstring dir;
};

using Lines = std::vector<std::string>;

TEST(MainController, StartsInOrderAndTellsTheHandshakeOnceTheTextsExist) {
  const std::string found = Narrow(NoticeBalloon(UiLanguage::English, kNoticeMouseFound, 0)->text);
  {
    MainRig rig;
    rig.controller->Start();
    EXPECT_EQ(rig.shell.log, (Lines{"tray Gaming Mouse Setting", "route", "reader", "notifications",
                                    "picture Skins/Default EN", "look Default EN", "page 1", "balloon " + found}));
    for (const auto& m : rig.messages.messages) ADD_FAILURE() << Narrow(m.text);
    // The str.ini a new installation starts: the system's language, the
    // Default skin and white text.
    for (const wchar_t* key : {L"RColor", L"GColor", L"BColor"})
      EXPECT_EQ(rig.ini.Get(rig.StrIni(), L"Skins", key), L"255") << Narrow(key);
    EXPECT_EQ(rig.ini.Get(rig.StrIni(), L"Skins", L"Path"), L"Default");
    EXPECT_EQ(rig.ini.Get(rig.StrIni(), L"Skins", L"Lan"), L"SYS");
    rig.shell.log.clear();
    rig.controller->OnWindowContextMenu();  // the menu is the icon's
    EXPECT_TRUE(rig.shell.log.empty());
  }
  {
    // A desktop without a notification area: the start shows the window as
    // a click on the icon would; without the mouse it says so, once.
    MainRig rig;
    rig.shell.notificationArea = false;
    rig.controller->Start();
    EXPECT_EQ(rig.shell.log.back(), "front");
    // The tray's menu is then the window's, on a right click.
    rig.controller->OnWindowContextMenu();
    EXPECT_EQ(rig.shell.log.back(), "menu");
    MainRig without;
    without.shell.notificationArea = false;
    without.sim.Unplug();
    without.controller->Start();
    const std::string missing = "balloon " + Narrow(NoticeBalloon(UiLanguage::English, kNoticeMouseMissing, 0)->text);
    EXPECT_EQ(std::count(without.shell.log.begin(), without.shell.log.end(), missing), 1);
    EXPECT_EQ(std::count(without.shell.log.begin(), without.shell.log.end(), "front"), 0);
  }
  // Without device notifications nothing else starts, but the icon is there
  // to end the program and the handshake is still told.
  MainRig rig;
  rig.shell.notificationsWork = false;
  rig.controller->Start();
  EXPECT_EQ(rig.shell.log, (Lines{"tray Gaming Mouse Setting", "route", "reader", "notifications",
                                  "balloon " + found}));
  ASSERT_EQ(rig.messages.messages.size(), 1u);
  EXPECT_EQ(rig.messages.messages[0].text, kMsgDeviceNotificationFailed);
  // Nothing was read to export, import into or draw Preferences in.
  rig.shell.log.clear();
  for (uint32_t command : {kTrayMenuExportProfileCommand, kTrayMenuImportProfileCommand, kTrayMenuPreferencesCommand})
    EXPECT_TRUE(rig.controller->OnMenuCommand(command));
  EXPECT_TRUE(rig.shell.log.empty());
}

// The common elements' clicks, on the basic page with the mouse there.
TEST(MainController, CommonElementsDoTheirStepsAndNothingRunsAfterExit) {
  struct Case {
    layout::Point at;
    Lines log;
  };
  const Case cases[] = {
      // OK and Apply send, then look at the front again once the click is through.
      {{520, 615}, {"commit", "later", "hide", "page click", "drag"}},
      {{617, 615}, {"commit", "later", "hide", "commit", "later", "page click", "drag"}},  // both share a column
      {{700, 615}, {"commit", "later", "page click", "drag"}},
      {{730, 615}, {"hide", "page click", "drag"}},                     // Cancel
      {{830, 10}, {"hide"}},                                            // minimise
      {{855, 10}, {"osd off", "no notifications", "untray", "end"}},    // close: the process ends
      {{100, 100}, {"page 2"}},                                         // the advanced tab
      {{705, 10}, {"skins dialog"}},                                    // the chooser, cancelled
      {{300, 620}, {}},                                                 // the web link
      {{10, 300}, {"page click", "drag"}},                              // a bare spot drags
  };
  for (const Case& c : cases) {
    MainRig rig;
    rig.Start();
    rig.sim.ClearRecord();
    rig.controller->settings().config.lightMode = 3;  // an edit
    rig.controller->OnLeftClick(c.at);
    EXPECT_EQ(rig.shell.log, c.log) << c.at.x << "," << c.at.y;
    const bool sent = !rig.sim.Exchanges().empty();
    const bool reverted = rig.controller->settings().config.lightMode != 3;
    EXPECT_EQ(sent, c.at.y == 615 && c.at.x < 723) << c.at.x;
    EXPECT_EQ(reverted, c.at.x == 730) << c.at.x;
    EXPECT_EQ(rig.shell.pages.ReloadPending, c.at.x == 730) << c.at.x;
    EXPECT_EQ(rig.opened.opened.size(), c.at.x == 300 ? 1u : 0u);
  }
}

// A skin chosen is kept and drawn at once; without the mouse the window
// goes with the chooser unless a dialog still runs over it.
TEST(MainController, TheSkinChooserAndTheMouseLeavingHideTheWindowOnlyWhenNothingRunsOverIt) {
  MainRig rig;
  rig.Start();
  rig.shell.skinChoice = SkinChoice{rig.dir + L"Skins/Ember", L"Ember", {200, 100, 0}};
  rig.controller->OnLeftClick({705, 10});
  EXPECT_EQ(rig.shell.log, (Lines{"skins dialog", "commit", "look Ember EN", "rebuild", "front"}));
  EXPECT_EQ(rig.controller->skinName(), L"Ember");
  EXPECT_EQ(rig.ini.Get(rig.StrIni(), L"Skins", L"Path"), L"Ember");

  rig.shell.log.clear();
  rig.sim.Unplug();
  rig.DeliverPlugEvents();
  EXPECT_EQ(rig.controller->link().ready, 0);
  // Each of the mouse's collections leaves on its own; the user is told once.
  const std::string missing = "balloon " + Narrow(NoticeBalloon(UiLanguage::English, kNoticeMouseMissing, 0)->text);
  EXPECT_EQ(rig.shell.log, (Lines{missing, "cancel dialogs", "hide", "untimer 1", "cancel dialogs", "hide",
                                  "untimer 1", "cancel dialogs", "hide", "untimer 1"}));
  // An event of another device changes nothing.
  rig.shell.log.clear();
  rig.controller->OnDeviceEvent({true, L"\\\\?\\HID#VID_046D&PID_C077#1"});
  EXPECT_TRUE(rig.shell.log.empty());
  rig.sim.Plug();
  rig.DeliverPlugEvents();
  EXPECT_EQ(rig.controller->link().ready, 1);
  EXPECT_EQ(Lines(rig.shell.log.end() - 2, rig.shell.log.end()), (Lines{"timer 1 500", "reader resumed"}));
  EXPECT_EQ(std::count_if(rig.shell.log.begin(), rig.shell.log.end(),
                          [](const std::string& line) { return line.starts_with("balloon"); }),
            1);

  // Without the mouse, a dialog that needs none keeps the window under it.
  rig.shell.log.clear();
  rig.shell.dialogStaysOnCancel = true;
  rig.sim.Unplug();
  rig.DeliverPlugEvents();
  EXPECT_EQ(std::count(rig.shell.log.begin(), rig.shell.log.end(), "hide"), 0);
  rig.shell.log.clear();
  rig.shell.dialogStaysOnCancel = false;
  rig.shell.skinChoice.reset();
  rig.controller->OnLeftClick({705, 10});
  EXPECT_EQ(rig.shell.log, (Lines{"skins dialog", "cancel dialogs", "hide"}));
}

// What the menu offers in each state: Export and Import change the record,
// so never under a dialog; Import needs the mouse; none of the three before
// the settings were read (Export wrote an all-zero record).
TEST(TrayMenu, ItemsAreGreyedAndTickedAsTheStateSays) {
  struct Case {
    bool idle, mouse, skin, starts;
    bool exportOn, importOn, preferencesOn;
  };
  const Case cases[] = {
      {true, true, true, false, true, true, true},
      {false, true, true, true, false, false, false},
      {true, false, true, false, true, false, true},
      {true, true, false, false, false, false, false},
  };
  const MainTexts& texts = MainTextsFor(UiLanguage::English);
  for (const Case& c : cases) {
    const TrayMenu menu = BuildTrayMenu(texts, {std::nullopt, c.idle, c.mouse, c.skin, c.starts});
    ASSERT_EQ(menu.size(), 5u);
    const TrayMenu expected{{kTrayMenuExportProfileCommand, texts.trayExportProfile, false, c.exportOn, {}},
                            {kTrayMenuImportProfileCommand, texts.trayImportProfile, false, c.importOn, {}},
                            {kTrayMenuPreferencesCommand, texts.trayPreferences, false, c.preferencesOn, {}},
                            {kTrayMenuStartWithWindowsCommand, texts.trayStartWithWindows, c.starts, true, {}},
                            {kTrayMenuExitCommand, texts.trayExit, false, true, {}}};
    EXPECT_EQ(menu, expected) << c.idle << c.mouse << c.skin;
  }
}

// The menu's commands through the controller: Start with Windows follows
// the Run key and says when the key refuses; Preferences is dropped while a
// dialog is up; a new language reaches the window, its fonts and the menu.
TEST(MainController, TrayCommandsChangeWhatTheySayAndTheLanguageReachesEverything) {
  MainRig rig;
  rig.Start();
  rig.shell.menuChoice = kTrayMenuStartWithWindowsCommand;
  rig.controller->OnTrayClick(TrayClick::Right);
  ASSERT_EQ(rig.shell.lastMenu.size(), 6u);  // the Profiles submenu first
  EXPECT_EQ(rig.shell.lastMenu[0].text, L"Profiles");
  EXPECT_FALSE(rig.shell.lastMenu[4].checked);
  EXPECT_TRUE(rig.runKey.value);
  rig.controller->OnTrayClick(TrayClick::Right);
  EXPECT_TRUE(rig.shell.lastMenu[4].checked);
  EXPECT_FALSE(rig.runKey.value);
  rig.runKey.writable = false;
  rig.controller->OnTrayClick(TrayClick::Right);
  ASSERT_EQ(rig.messages.messages.size(), 1u);
  EXPECT_EQ(rig.messages.messages[0].text, MainTextsFor(UiLanguage::English).startWithWindowsFailed);
  // On the Linux desktop the same item and its failure name the desktop.
  rig.runKey.where = StartupPlace::Desktop;
  rig.controller->OnTrayClick(TrayClick::Right);
  EXPECT_EQ(rig.shell.lastMenu[4].text, L"Start with the desktop");
  ASSERT_EQ(rig.messages.messages.size(), 2u);
  EXPECT_EQ(rig.messages.messages[1].text, std::wstring(L"Start with the desktop could not be changed."));
  rig.runKey.where = StartupPlace::Windows;

  rig.shell.log.clear();
  rig.shell.dialogUp = true;
  EXPECT_TRUE(rig.controller->OnMenuCommand(kTrayMenuPreferencesCommand));
  EXPECT_TRUE(rig.shell.log.empty());
  rig.shell.dialogUp = false;
  PreferencesChoice chosen{LanguageChoice::SimplifiedChinese, {NoticeStyle::Balloons, OsdPosition::TopCentre},
                           false, {}};
  rig.shell.preferencesChoice = chosen;
  rig.controller->OnMenuCommand(kTrayMenuPreferencesCommand);
  EXPECT_EQ(rig.shell.log, (Lines{"preferences dialog", "commit", "look Default CHS fonts", "rebuild", "repaint",
                                  "osd off"}));
  EXPECT_EQ(rig.ini.Get(rig.StrIni(), L"Skins", L"Lan"), L"CHS");
  rig.controller->OnTrayClick(TrayClick::Right);
  EXPECT_EQ(rig.shell.lastMenu.back().text, MainTextsFor(UiLanguage::SimplifiedChinese).trayExit);
  // A left click opens the window; without the mouse it says so instead.
  rig.shell.log.clear();
  rig.controller->OnTrayClick(TrayClick::Left);
  EXPECT_EQ(rig.shell.log, (Lines{"front"}));
}

// Every in-game notice goes where the preferences say; the mouse missing is
// always a balloon. Where the panel cannot show, Preferences' sample is a
// balloon too.
TEST(MainController, NoticesGoOnTheScreenIntoABalloonOrNowhereAsThePreferencesSay) {
  struct Case {
    NoticeStyle style;
    bool osdWorks;
    Lines log;
  };
  const std::string missing = "balloon " + Narrow(NoticeBalloon(UiLanguage::English, kNoticeMouseMissing, 0)->text);
  const Case cases[] = {
      {NoticeStyle::OnScreen, true, {"osd 1000 Hz", missing}},
      {NoticeStyle::OnScreen, false, {"osd 1000 Hz", "balloon Switch report rate into 1000HZ", missing}},
      {NoticeStyle::Balloons, true, {"balloon Switch report rate into 1000HZ", missing}},
      {NoticeStyle::Off, true, {missing}},
  };
  for (const Case& c : cases) {
    MainRig rig;
    ASSERT_TRUE(WriteNoticePreferences(rig.ini, rig.StrIni(), {c.style, OsdPosition::TopLeft}));
    rig.Start();
    rig.shell.osdWorks = c.osdWorks;
    rig.controller->OnDeviceNotice(static_cast<uint32_t>(kNoticeReportRate), 1);
    Lines told = std::exchange(rig.shell.log, {});
    rig.sim.Unplug();
    rig.DeliverPlugEvents();
    rig.shell.log.clear();
    rig.controller->OnTrayClick(TrayClick::Left);  // the window is not shown without the mouse
    told.insert(told.end(), rig.shell.log.begin(), rig.shell.log.end());
    EXPECT_EQ(told, c.log) << static_cast<int>(c.style);

    rig.shell.log.clear();
    rig.shell.pressShowMe = true;
    rig.controller->OnMenuCommand(kTrayMenuPreferencesCommand);
    Lines sample = {"preferences dialog", "osd DPI 1600"};
    if (!c.osdWorks) sample.push_back("balloon DPI 1600, stage 2 of 4");
    EXPECT_EQ(rig.shell.log, sample) << static_cast<int>(c.style);
  }
}

// A profile chosen from the Profiles submenu goes to the mouse at once; one
// that does not arrive is tried once more after the delay, and its arrival
// is then told even with the switch notices off.
TEST(MainController, AChosenProfileThatFailsIsRetriedOnceAndItsArrivalTold) {
  MainRig rig;
  ProfileData shooter;
  shooter.config = FactoryConfig();
  shooter.config.reportRate = 1;
  shooter.programs = {L"game.exe"};
  ProfileLibrary library(rig.files, rig.dir + kProfileFolderName);
  ASSERT_EQ(library.Save(L"Shooter", shooter, false), "");
  rig.Start();
  rig.shell.menuChoice = kProfilesMenuNoticesCommand;
  rig.controller->OnTrayClick(TrayClick::Right);
  ASSERT_EQ(rig.shell.lastMenu[0].submenu.size(), 5u);  // Desktop, Shooter, the two switches, Manage
  EXPECT_TRUE(rig.shell.lastMenu[0].submenu[3].checked);
  EXPECT_FALSE(ReadSwitchSettings(rig.ini, rig.StrIni()).notices);

  rig.shell.log.clear();
  rig.sim.SetResponding(false);
  rig.shell.menuChoice = kProfilesMenuFirstProfileCommand;
  rig.controller->OnTrayClick(TrayClick::Right);
  const std::string failed = Narrow(SwitchFailedBalloon(UiLanguage::English, L"Shooter").text);
  EXPECT_EQ(rig.shell.log, (Lines{"menu", "commit", "rebuild", "timer 2 2000", "osd " + failed}));

  rig.shell.log.clear();
  rig.sim.SetResponding(true);
  rig.sim.ClearRecord();
  rig.controller->OnTimer(MainTimer::SwitchRetry);
  EXPECT_EQ(rig.shell.log, (Lines{"untimer 2", "commit", "osd Profile: Shooter"}));
  EXPECT_EQ(rig.sim.State(), [&] {
    SimMouse held(rig.clock);
    SimHidPlatform platform(held);
    DeviceLink link(platform, rig.messages, rig.clock);
    DeviceImage image{};
    ConnectDevice(link);
    RefreshSensor(link, image);
    Apply(link, shooter.config, image, {});
    CloseDevice(link);
    return held.State();
  }());

  // Told once: the next switch follows the notices' switch, which is off.
  rig.shell.log.clear();
  rig.shell.menuChoice = kProfilesMenuDesktopCommand;
  rig.controller->OnTrayClick(TrayClick::Right);
  EXPECT_EQ(rig.shell.log, (Lines{"menu", "commit", "rebuild"}));
  EXPECT_EQ(rig.controller->settings().config.reportRate, FactoryConfig().reportRate);
}

}  // namespace
}  // namespace kovral
