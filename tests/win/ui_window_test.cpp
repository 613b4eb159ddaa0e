#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "ui/skin_image_win.h"
#include "ui/window_dpi_win.h"
#include "ui/window_win.h"

namespace kovral::ui {
namespace {

constexpr const wchar_t* kTestWindowClass = L"KovralUiTestWindow";

// Under Wine without a display no window can be made at all; the tests
// then say so instead of failing on the environment.
bool WindowsAvailable() {
  static const bool available = [] {
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (probe == nullptr) return false;
    DestroyWindow(probe);
    return true;
  }();
  return available;
}

#define REQUIRE_WINDOWS() \
  if (!WindowsAvailable()) GTEST_SKIP() << "no display: run under Xvfb to test windows"

// Records which handler ran with which typed arguments.
class RecordingWindow : public Window {
 public:
  std::vector<std::wstring> calls;
  POINT lastPoint{};
  bool takeSetText = false;

 protected:
  MsgResult Route(UINT m, WPARAM w, LPARAM l) override { return Dispatch(*this, Messages(), m, w, l); }

 private:
  static std::span<const MessageEntry<RecordingWindow>> Messages();

  void OnLButtonDown(POINT pt, WPARAM keys) {
    lastPoint = pt;
    calls.push_back(L"down keys=" + std::to_wstring(keys));
  }
  void OnExit() { calls.push_back(L"exit"); }
  void OnRowList(int id, int code) { calls.push_back(L"row " + std::to_wstring(id) + L" code " + std::to_wstring(code)); }
  MsgResult OnSetText(WPARAM, LPARAM) {
    calls.push_back(L"settext");
    return takeSetText ? Handled(1) : NotHandled();
  }
  HBRUSH OnCtlColor(HDC, HWND, int type) {
    calls.push_back(L"ctlcolor " + std::to_wstring(type));
    return type == CTLCOLOR_STATIC ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)) : nullptr;
  }
  LRESULT OnQuery(WPARAM w, LPARAM) { return static_cast<LRESULT>(w * 2); }
  int OnWheel(int delta, POINT screen, WPARAM keys) {
    calls.push_back(L"wheel " + std::to_wstring(delta) + L" at " + std::to_wstring(screen.x) + L"," +
                    std::to_wstring(screen.y) + L" keys=" + std::to_wstring(keys));
    return 7;
  }
};

std::span<const MessageEntry<RecordingWindow>> RecordingWindow::Messages() {
  using M = MessageMap<RecordingWindow>;
  static constexpr MessageEntry<RecordingWindow> kTable[] = {
      M::Mouse<&RecordingWindow::OnLButtonDown>(WM_LBUTTONDOWN),
      M::Command<&RecordingWindow::OnExit>(1028, 0),
      M::Commands<&RecordingWindow::OnRowList>(41, 46, LBN_SELCHANGE),
      M::Message<&RecordingWindow::OnSetText>(WM_SETTEXT),
      M::CtlColor<&RecordingWindow::OnCtlColor>(),
      M::Message<&RecordingWindow::OnQuery>(WM_APP + 1),
      M::Wheel<&RecordingWindow::OnWheel>(),
  };
  return kTable;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_WINDOWS();
    ASSERT_TRUE(Window::RegisterWindowClass(kTestWindowClass));
    ASSERT_NE(window.Create(kTestWindowClass, L"", WS_POPUP, 0, 0, 0, 50, 50), nullptr);
  }
  RecordingWindow window;
};

TEST_F(WindowTest, MessagesReachTheirHandlersWithTypedArguments) {
  HWND hwnd = window.hwnd();
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 300));
  EXPECT_EQ(window.lastPoint.x, -5);  // coordinates keep their sign
  EXPECT_EQ(window.lastPoint.y, 300);
  EXPECT_EQ(SendMessageW(hwnd, WM_APP + 1, 21, 0), 42);
  EXPECT_EQ(SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-120)), MAKELPARAM(3, 4)), 7);
  ASSERT_EQ(window.calls.size(), 2u);
  EXPECT_EQ(window.calls[0], L"down keys=1");
  EXPECT_EQ(window.calls[1], L"wheel -120 at 3,4 keys=4");
}

TEST_F(WindowTest, CommandsMatchByIdAndNotificationCode) {
  HWND hwnd = window.hwnd();
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(1028, 0), 0);
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(1028, 1), 0);  // accelerator code: not the menu entry
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(41, LBN_SELCHANGE), 0);
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(46, LBN_SELCHANGE), 0);
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(43, LBN_DBLCLK), 0);
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(47, LBN_SELCHANGE), 0);
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(40, LBN_SELCHANGE), 0);
  const std::vector<std::wstring> expected = {L"exit", L"row 41 code 1", L"row 46 code 1"};
  EXPECT_EQ(window.calls, expected);
}

TEST_F(WindowTest, DeclinedMessagesGoToTheDefault) {
  HWND hwnd = window.hwnd();
  SetWindowTextW(hwnd, L"shown");
  wchar_t text[32] = {};
  GetWindowTextW(hwnd, text, 32);
  EXPECT_STREQ(text, L"shown");  // the handler declined, DefWindowProcW stored it
  window.takeSetText = true;
  SetWindowTextW(hwnd, L"kept");
  GetWindowTextW(hwnd, text, 32);
  EXPECT_STREQ(text, L"shown");
  EXPECT_EQ(window.calls.size(), 2u);
}

TEST_F(WindowTest, ControlColourRequestsOfEveryKind) {
  HWND hwnd = window.hwnd();
  HDC dc = GetDC(hwnd);
  EXPECT_EQ(SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), 0),
            reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH)));
  SendMessageW(hwnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), 0);
  ReleaseDC(hwnd, dc);
  const std::vector<std::wstring> expected = {L"ctlcolor 6", L"ctlcolor 2"};
  EXPECT_EQ(window.calls, expected);
}

// A child is made at its unit rectangle in the parent's device pixels, with
// the font; after a DPI change every such child goes back to its unit
// rectangle, negative edges included, and takes the new font. A child made
// elsewhere is left where it is.
TEST_F(WindowTest, ChildrenArePlacedByUnitRectanglesAndPlacedAgain) {
  const int dpi = WindowDpi(window.hwnd());
  EXPECT_GT(dpi, 0);
  OwnedFont first(CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
  OwnedFont second(CreateFontW(-18, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial"));
  const RECT unit{-3, 5, 17, 22};
  HWND child = CreateChildAt(window.hwnd(), L"STATIC", L"x", WS_CHILD, unit, 77, first.get());
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetDlgCtrlID(child), 77);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), first.get());
  const auto placed = [&](HWND c) {
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, window.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return std::vector<LONG>{r.left, r.top, r.right, r.bottom};
  };
  const RECT device = DeviceRect(unit, dpi);
  EXPECT_EQ(placed(child), (std::vector<LONG>{device.left, device.top, device.right, device.bottom}));
  RECT kept{};
  ASSERT_TRUE(ChildUnitRect(child, kept));
  EXPECT_EQ((std::vector<LONG>{kept.left, kept.top, kept.right, kept.bottom}), (std::vector<LONG>{-3, 5, 17, 22}));

  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 1, 2, 3, 4, window.hwnd(), nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  RECT none{};
  EXPECT_FALSE(ChildUnitRect(other, none));
  // Moved away as a DPI change leaves it, then placed again.
  SetWindowPos(child, nullptr, 30, 30, 5, 5, SWP_NOZORDER);
  RescaleChildren(window.hwnd(), second.get());
  EXPECT_EQ(placed(child), (std::vector<LONG>{device.left, device.top, device.right, device.bottom}));
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), second.get());
  EXPECT_EQ(placed(other), (std::vector<LONG>{1, 2, 4, 6}));
  DestroyWindow(child);
  DestroyWindow(other);
}

TEST_F(WindowTest, DestroyDetachesTheObject) {
  HWND hwnd = window.hwnd();
  window.Destroy();
  EXPECT_EQ(window.hwnd(), nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
}

// A dialog that records what it saw and ends itself.
class ScriptedDialog : public Dialog {
 public:
  std::vector<std::wstring> calls;
  std::wstring className;
  bool endAtInit = false;
  bool swallowEnter = false;
  HWND owner = nullptr;
  bool ownerEnabledWhileRunning = true;
  std::vector<std::pair<UINT, WPARAM>> script;  // posted after initialisation
  bool needsDevice = false;
  std::function<void()> run;  // run by WM_APP + 2

 protected:
  DialogTemplate Template() const override {
    DialogTemplate t;
    t.className = className;
    // Hidden: the tests are about dispatch, and showing windows under a
    // display without a window manager costs seconds each.
    t.style &= ~WS_VISIBLE;
    return t;
  }
  BOOL OnInitDialog() override {
    calls.push_back(L"init");
    if (endAtInit) {
      EndModal(5);
      return TRUE;
    }
    for (auto [message, wParam] : script) PostMessageW(hwnd(), message, wParam, 0);
    return TRUE;
  }
  bool PreTranslateMessage(MSG& msg) override {
    if (swallowEnter && msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
      calls.push_back(L"swallowed enter");
      return true;
    }
    return false;
  }
  MsgResult Route(UINT m, WPARAM w, LPARAM l) override { return Dispatch(*this, Messages(), m, w, l); }
  bool EndsWithTheDevice() const override { return needsDevice; }

 private:
  static std::span<const MessageEntry<ScriptedDialog>> Messages();
  void OnRun() { run(); }
  void OnList(int id, int code) { calls.push_back(L"list " + std::to_wstring(id) + L"/" + std::to_wstring(code)); }
  LRESULT OnErase(HDC) { return 1; }
  HBRUSH OnCtlColor(HDC, HWND, int) { return static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)); }
  void OnFinish(WPARAM w, LPARAM) {
    ownerEnabledWhileRunning = owner == nullptr || IsWindowEnabled(owner);
    HDC dc = GetDC(hwnd());
    erase = SendMessageW(hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ctl = SendMessageW(hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(hwnd(), dc);
    wchar_t name[64] = {};
    GetClassNameW(hwnd(), name, 64);
    seenClass = name;
    EndModal(static_cast<INT_PTR>(w));
  }

 public:
  LRESULT erase = 0;
  LRESULT ctl = 0;
  std::wstring seenClass;
};

std::span<const MessageEntry<ScriptedDialog>> ScriptedDialog::Messages() {
  using M = MessageMap<ScriptedDialog>;
  static constexpr MessageEntry<ScriptedDialog> kTable[] = {
      M::Commands<&ScriptedDialog::OnList>(515, 515, kAnyCode),
      M::WithDc<&ScriptedDialog::OnErase>(WM_ERASEBKGND),
      M::CtlColor<&ScriptedDialog::OnCtlColor>(),
      M::Message<&ScriptedDialog::OnFinish>(WM_APP),
      M::Plain<&ScriptedDialog::OnRun>(WM_APP + 2),
  };
  return kTable;
}

TEST(Dialog, RunsModallyFromAnEmptyTemplateAndDispatches) {
  REQUIRE_WINDOWS();
  ScriptedDialog dialog;
  dialog.script = {{WM_COMMAND, MAKEWPARAM(515, LBN_SELCHANGE)}, {WM_COMMAND, MAKEWPARAM(515, LBN_DBLCLK)},
                   {WM_APP, 42}};
  EXPECT_EQ(dialog.RunModal(), 42);
  const std::vector<std::wstring> expected = {L"init", L"list 515/1", L"list 515/2"};
  EXPECT_EQ(dialog.calls, expected);
  EXPECT_EQ(dialog.erase, 1);  // through DWLP_MSGRESULT
  EXPECT_EQ(dialog.ctl, reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)));  // returned directly
  EXPECT_EQ(dialog.hwnd(), nullptr);
}

TEST(Dialog, UnhandledOkAndCancelEndTheDialog) {
  REQUIRE_WINDOWS();
  ScriptedDialog ok;
  ok.script = {{WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)}};
  EXPECT_EQ(ok.RunModal(), IDOK);
  ScriptedDialog cancel;
  cancel.script = {{WM_CLOSE, 0}};  // the system's dialog handling turns it into IDCANCEL
  EXPECT_EQ(cancel.RunModal(), IDCANCEL);
}

TEST(Dialog, EndingDuringInitialisationReturnsAtOnce) {
  REQUIRE_WINDOWS();
  ScriptedDialog dialog;
  dialog.endAtInit = true;
  EXPECT_EQ(dialog.RunModal(), 5);
  EXPECT_EQ(dialog.calls, std::vector<std::wstring>{L"init"});
}

TEST(Dialog, PreTranslationSeesQueuedKeysFirst) {
  REQUIRE_WINDOWS();
  ScriptedDialog swallowing;
  swallowing.swallowEnter = true;
  swallowing.script = {{WM_KEYDOWN, VK_RETURN}, {WM_APP, 3}};
  EXPECT_EQ(swallowing.RunModal(), 3);
  EXPECT_EQ(swallowing.calls, (std::vector<std::wstring>{L"init", L"swallowed enter"}));
}

TEST(Dialog, OwnerIsDisabledWhileTheDialogRuns) {
  REQUIRE_WINDOWS();
  ASSERT_TRUE(Window::RegisterWindowClass(kTestWindowClass));
  RecordingWindow owner;
  ASSERT_NE(owner.Create(kTestWindowClass, L"", WS_POPUP, 0, 0, 0, 50, 50), nullptr);
  ScriptedDialog dialog;
  dialog.owner = owner.hwnd();
  dialog.script = {{WM_APP, 1}};
  EXPECT_EQ(dialog.RunModal(owner.hwnd()), 1);
  EXPECT_FALSE(dialog.ownerEnabledWhileRunning);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));

  // Run without an owner, the dialog takes the default one.
  Dialog::SetDefaultOwner(owner.hwnd());
  ScriptedDialog unowned;
  unowned.owner = owner.hwnd();
  unowned.script = {{WM_APP, 2}};
  EXPECT_EQ(unowned.RunModal(), 2);
  Dialog::SetDefaultOwner(nullptr);
  EXPECT_FALSE(unowned.ownerEnabledWhileRunning);
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

TEST(Dialog, TemplateMayNameARegisteredDialogClass) {
  REQUIRE_WINDOWS();
  ASSERT_TRUE(RegisterDialogClass(L"KovralUiTestDialogClass"));
  ScriptedDialog dialog;
  dialog.className = L"KovralUiTestDialogClass";
  dialog.script = {{WM_APP, 9}};
  EXPECT_EQ(dialog.RunModal(), 9);
  EXPECT_EQ(dialog.seenClass, L"KovralUiTestDialogClass");
}

// A message box over a dialog, inside whose loop the device goes: it ends on
// the IDCANCEL the system makes of WM_CLOSE, or after three seconds with 99.
INT_PTR CALLBACK BoxWhileTheDeviceGoes(HWND box, UINT m, WPARAM w, LPARAM) {
  if (m == WM_INITDIALOG) {
    PostMessageW(box, WM_APP, 0, 0);
    SetTimer(box, 1, 3000, nullptr);
  }
  if (m == WM_APP) Dialog::CancelDeviceDialogs();
  if (m == WM_TIMER || (m == WM_COMMAND && LOWORD(w) == IDCANCEL)) EndDialog(box, m == WM_TIMER ? 99 : IDCANCEL);
  return m == WM_INITDIALOG;
}

TEST(Dialog, TheDeviceGoingEndsADialogThatNeedsItWithTheBoxOverIt) {
  REQUIRE_WINDOWS();
  ScriptedDialog needing;
  needing.needsDevice = true;
  needing.script = {{WM_APP + 2, 0}};
  DialogTemplate hidden;
  hidden.style &= ~WS_VISIBLE;
  const std::vector<WORD> box = BuildDialogTemplate(hidden);
  INT_PTR boxResult = 0;
  needing.run = [&] {
    boxResult = DialogBoxIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(box.data()), needing.hwnd(),
                                        &BoxWhileTheDeviceGoes, 0);
  };
  EXPECT_EQ(needing.RunModal(), IDCANCEL);
  EXPECT_EQ(boxResult, IDCANCEL);
}

// A 32-bit top-down DIB filled with one colour; pixel reads give 0x00RRGGBB.
struct Dib {
  Dib(int w, int h, DWORD fill) : width(w) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0));
    bits = static_cast<DWORD*>(p);
    for (int i = 0; i < w * h; ++i) bits[i] = fill;
  }
  DWORD At(int x, int y) const {
    GdiFlush();
    return bits[y * width + x] & 0xFFFFFF;
  }
  int width;
  OwnedBitmap bitmap;
  DWORD* bits = nullptr;
};

TEST(Surface, PaintersDrawIntoTheCanvasAndEraseCopiesIt) {
  REQUIRE_WINDOWS();
  ASSERT_TRUE(Window::RegisterWindowClass(kTestWindowClass));
  RecordingWindow window;
  ASSERT_NE(window.Create(kTestWindowClass, L"", WS_POPUP, 0, 0, 0, 20, 10), nullptr);
  Dib canvas(20, 10, 0x0000FF);
  {
    SurfaceDrawing drawing(window.hwnd(), canvas.bitmap.get());
    EXPECT_TRUE(drawing.hasSurface());
    OwnedBrush red(CreateSolidBrush(RGB(255, 0, 0)));
    RECT corner{0, 0, 5, 5};
    FillRect(drawing.dc(), &corner, red.get());
  }
  EXPECT_EQ(canvas.At(4, 4), 0xFF0000u);
  EXPECT_EQ(canvas.At(5, 5), 0x0000FFu);

  Dib screen(20, 10, 0);
  MemoryDC target(nullptr);
  {
    ScopedSelectObject select(target.get(), screen.bitmap.get());
    EraseWithSurface(window.hwnd(), target.get(), canvas.bitmap.get());
  }
  EXPECT_EQ(screen.At(0, 0), 0xFF0000u);
  EXPECT_EQ(screen.At(19, 9), 0x0000FFu);
}

TEST(DialogTemplateBytes, ExtendedTemplateWithoutItems) {
  DialogTemplate t = MainDialogTemplate();
  const std::vector<WORD> bytes = BuildDialogTemplate(t);
  ASSERT_GE(bytes.size(), 13u);
  EXPECT_EQ(bytes[0], 1);       // version
  EXPECT_EQ(bytes[1], 0xFFFF);  // extended
  EXPECT_EQ(MAKELONG(bytes[4], bytes[5]), static_cast<LONG>(WS_EX_APPWINDOW | WS_EX_ACCEPTFILES));
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(bytes[6], bytes[7])),
            static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | DS_CENTER | DS_SETFOREGROUND | DS_SETFONT));
  EXPECT_EQ(bytes[8], 0);  // no items
  EXPECT_EQ(bytes[11], 450);
  EXPECT_EQ(bytes[12], 325);
  EXPECT_EQ(bytes[13], 0);  // no menu
  const std::wstring className(reinterpret_cast<const wchar_t*>(&bytes[14]));
  EXPECT_EQ(className, L"KV-305GMClass");
  size_t at = 14 + className.size() + 1;
  EXPECT_EQ(bytes[at++], 0);   // empty title
  EXPECT_EQ(bytes[at++], 12);  // points
  EXPECT_EQ(bytes[at++], 400);
  EXPECT_EQ(bytes[at++], 134 << 8);  // not italic, GB2312
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(&bytes[at])), L"宋体");
}

}  // namespace
}  // namespace kovral::ui
