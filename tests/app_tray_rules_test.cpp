#include <gtest/gtest.h>

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

namespace kovral {
namespace {

class FakeRunKey final : public RunKey {
 public:
  std::optional<std::wstring> value;
  bool writable = true;
  std::optional<std::wstring> Read() override { return value; }
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

}  // namespace
}  // namespace kovral
