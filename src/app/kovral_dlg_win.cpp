#include "app/kovral_dlg_win.h"

#include "app/app_globals.h"
#include "app/main_window_win.h"
#include "check/self_check_win.h"
#include "ui/font_choice.h"
#include "ui/skin_files.h"
#include "ui/text_win.h"
#include "ui/window_dpi_win.h"

namespace kovral {
namespace {

constexpr int kAppIconId = 710;

}  // namespace

std::span<const ui::MessageEntry<CKovralDlg>> CKovralDlg::Messages() {
  using M = ui::MessageMap<CKovralDlg>;
  static constexpr ui::MessageEntry<CKovralDlg> kTable[] = {
      M::Plain<&CKovralDlg::OnPaint>(WM_PAINT),
      M::Message<&CKovralDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
      M::WithDc<&CKovralDlg::OnEraseBackground>(WM_ERASEBKGND),
      M::Message<&CKovralDlg::OnTrayNotify>(WM_TRAY_NOTIFY),
      M::Message<&CKovralDlg::OnDeviceChange>(WM_DEVICECHANGE),
      M::Message<&CKovralDlg::OnPowerBroadcast>(WM_POWERBROADCAST),
      M::Message<&CKovralDlg::OnDeviceNotify>(WM_DEVICE_NOTIFY),
      M::Message<&CKovralDlg::OnSimDeviceChange>(WM_SIM_DEVICECHANGE),
      M::Message<&CKovralDlg::OnCopyData>(WM_COPYDATA),
      M::Commands<&CKovralDlg::OnCommand>(1, 0xFFFF),
      M::Message<&CKovralDlg::OnDestroyChild>(ui::WM_DESTROY_CHILD_LATER),
      M::Message<&CKovralDlg::OnPageContinue>(WM_PAGE_CONTINUE),
      M::Message<&CKovralDlg::OnRunCheck>(WM_RUN_CHECK),
      M::Message<&CKovralDlg::OnLater>(WM_FRONT_MAYBE_CHANGED),
      M::Message<&CKovralDlg::OnLibraryRead>(WM_LIBRARY_READ),
      M::Message<&CKovralDlg::OnEnable>(WM_ENABLE),
      M::Message<&CKovralDlg::OnTimer>(WM_TIMER),
      M::Plain<&CKovralDlg::OnClose>(WM_CLOSE),
      M::Message<&CKovralDlg::OnEndSession>(WM_ENDSESSION),
      M::Plain<&CKovralDlg::OnDestroy>(WM_DESTROY),
      M::Mouse<&CKovralDlg::OnLButtonDown>(WM_LBUTTONDOWN),
      M::CtlColor<&CKovralDlg::OnCtlColor>(),
      M::Message<&CKovralDlg::OnNcPaint>(WM_NCPAINT),
      M::Message<&CKovralDlg::OnDpiChanged>(WM_DPICHANGED),
      M::Message<&CKovralDlg::OnWindowPosChanging>(WM_WINDOWPOSCHANGING),
      M::Mouse<&CKovralDlg::OnMouseHover>(WM_MOUSEHOVER),
      M::Mouse<&CKovralDlg::OnMouseMove>(WM_MOUSEMOVE),
  };
  return kTable;
}

ui::MsgResult CKovralDlg::Route(UINT message, WPARAM wParam, LPARAM lParam) {
  // Explorer restarted: its notification area is new and empty.
  if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
    controller_.OnTaskbarCreated();
    return ui::Handled();
  }
  return ui::Dispatch(*this, Messages(), message, wParam, lParam);
}

CKovralDlg::CKovralDlg(AppServices& services, WindowMessageSink& messages)
    : services_(services),
      messages_(messages),
      controller_(services, messages, *this, foregroundSource_),
      pages_(PageHostServices{nullptr, controller_.settings(), controller_.link(), controller_.image(),
                              controller_.pointer(), messages, *services.colors}) {
  trayIcon_.reset(ui::LoadTrayIcon(GetModuleHandleW(nullptr), kAppIconId));
}

// Reached only when the modal loop ends without Exit (the window was
// destroyed): the reader must be gone before the link it reads. Its window
// no longer exists, so it is not waiting for this thread.
CKovralDlg::~CKovralDlg() {
  controller_.Shutdown();
  if (readerThread_ && !readerSuspended_) {
    StopNotifyReader(controller_.link());
    if (WaitForSingleObject(readerThread_.get(), 2000) != WAIT_OBJECT_0) ::ExitProcess(0);
  }
}

bool CKovralDlg::PreTranslateMessage(MSG& msg) {
  if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  if (msg.message == WM_MOUSEMOVE) pages_.HotTrackOpenList();
  if (msg.message == WM_KEYDOWN) {
    switch (RuleForKeyDown(pages_.state().CurrentPage, pages_.Recording(), static_cast<uint32_t>(msg.wParam),
                           ui::IsWatchedList(msg.hwnd))) {
      case KeyDownRule::PassOn:
        break;
      case KeyDownRule::Swallow:
        return true;
      case KeyDownRule::HideAndSwallow:
        HideMainWindow();
        return true;
    }
  }
  return false;
}

void CKovralDlg::OnOK() { HideMainWindow(); }
void CKovralDlg::OnCancel() { HideMainWindow(); }
// Closing only hides: the program stays in the notification area.
void CKovralDlg::OnClose() { HideMainWindow(); }

// A second copy never gets here: the application's start has left already.
BOOL CKovralDlg::OnInitDialog() {
  SetWindowIcons();
  // No taskbar button: the program lives in the notification area.
  const LONG_PTR exStyle = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
  SetMainWindowHandle(hwnd_);
  messages_.SetOwner(hwnd_);
  // Dialogs run without an explicit owner belong to the main window, which
  // they disable while they run.
  ui::Dialog::SetDefaultOwner(hwnd_);
  pages_.AttachWindow(hwnd_);
  taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
  controller_.Start();
  if (services_.sim && services_.check) PostMessageW(hwnd_, WM_RUN_CHECK, 0, 0);
  return TRUE;
}

void CKovralDlg::OnDestroy() { controller_.Shutdown(); }

// Windows ends the process once this returns. A session that is not ending
// after all (another program refused) changes nothing.
LRESULT CKovralDlg::OnEndSession(WPARAM ending, LPARAM) {
  if (ending) controller_.OnEndSession();
  return 0;
}

// ---------------------------------------------------------------------------
// The window

void CKovralDlg::HideMainWindow() { ShowWindow(hwnd_, SW_HIDE); }

// The first showing from the notification area also lets the window show
// at all (see OnWindowPosChanging).
void CKovralDlg::BringToFront() {
  hiddenStart_.Release();
  SetForegroundWindow(hwnd_);
  ShowWindow(hwnd_, SW_SHOW);
}

void CKovralDlg::RepaintWindow() { InvalidateRect(hwnd_, nullptr, TRUE); }
// A dialog of the program disables the main window while it is up.
bool CKovralDlg::DialogUp() { return !IsWindowEnabled(hwnd_); }
bool CKovralDlg::ListOpen() { return ui::AnyWatchedListShown(hwnd_); }
void CKovralDlg::EndProcess() { ::ExitProcess(0); }
bool CKovralDlg::PictureReadable(const std::wstring& path) { return SkinImage(path).ok(); }
uint16_t CKovralDlg::SystemLanguageId() { return GetUserDefaultUILanguage(); }

void CKovralDlg::TakeWindowPicture(const std::wstring& skinFolder, const std::wstring& languageCode) {
  MakeCanvasAndFonts(skinFolder, languageCode);
  ui::ResizeWindow(hwnd_, canvas_.width(), canvas_.height());
}

// With new fonts the controls use the old ones until the page gives them
// the new ones, so those live until then.
void CKovralDlg::SetLook(const MainLook& look, bool newFonts) {
  look_ = look;
  OwnedFont oldNormal;
  OwnedFont oldTitle;
  if (newFonts) {
    oldNormal = std::move(normalFont_);
    oldTitle = std::move(titleFont_);
    MakeCanvasAndFonts(startSkinFolder_, look_.languageCode);
  }
  pages_.SetLook({look_.skinFolder, canvas_.bitmap(), normalFont_.get(), titleFont_.get(), look_.textColor,
                  look_.texts, look_.languageCode});
  if (newFonts) ui::RescaleChildren(hwnd_, normalFont_.get());
}

// The window's picture and fonts at its DPI; its size is the picture's
// device size.
void CKovralDlg::MakeCanvasAndFonts(const std::wstring& folder, const std::wstring& languageCode) {
  startSkinFolder_ = folder;
  SkinImage main;
  LoadSkinPicture(main, folder, skin::kMain, dpi());
  canvas_ = Canvas(main);
  const ui::FontPair fonts = ui::FontsForLanguageCode(languageCode, ui::CurrentWindowsVersion());
  normalFont_ = ui::CreateSkinFont(fonts.normal, dpi());
  titleFont_ = ui::CreateSkinFont(fonts.title, dpi());
}

// Nothing of the record or the page changes: open lists and edits stay and
// move with their page; the page is drawn anew onto the new picture.
LRESULT CKovralDlg::OnDpiChanged(WPARAM, LPARAM suggestedRect) {
  if (startSkinFolder_.empty()) return 0;  // before the skin: nothing drawn yet
  // The controls use the old fonts until they are given the new ones.
  const OwnedFont oldNormal = std::move(normalFont_);
  const OwnedFont oldTitle = std::move(titleFont_);
  MakeCanvasAndFonts(startSkinFolder_, look_.languageCode);
  const auto* suggested = reinterpret_cast<const RECT*>(suggestedRect);
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, canvas_.width(), canvas_.height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetLook(look_, false);
  ui::RescaleChildren(hwnd_, normalFont_.get());
  SetWindowIcons();
  pages_.Redraw();
  InvalidateRect(hwnd_, nullptr, TRUE);
  return 0;
}

// The title bar's and the task switcher's icons at the window's DPI; the
// ones they replace are destroyed once the window no longer holds them.
void CKovralDlg::SetWindowIcons() {
  const HINSTANCE module = GetModuleHandleW(nullptr);
  OwnedIcon big(ui::LoadIconForDpi(module, kAppIconId, false, dpi()));
  OwnedIcon small(ui::LoadIconForDpi(module, kAppIconId, true, dpi()));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  icon_ = std::move(big);
  smallIcon_ = std::move(small);
}

DWORD WINAPI CKovralDlg::ReaderThreadProc(void* parameter) {
  NotifyReaderLoop(*static_cast<DeviceLink*>(parameter));
  return 0;
}

// ---------------------------------------------------------------------------
// Drawing

bool CKovralDlg::OnPaint() {
  if (!IsIconic(hwnd_)) return false;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(hwnd_, &client);
  const int size = ui::DeviceLength(32, dpi());
  const int x = (client.right - client.left - size + 1) / 2;
  const int y = (client.bottom - client.top - size + 1) / 2;
  DrawIconEx(dc, x, y, icon_.get(), size, size, 0, nullptr, DI_NORMAL);
  EndPaint(hwnd_, &ps);
  return true;
}

// The window shows the canvas; erasing copies it in one block, never a colour.
LRESULT CKovralDlg::OnEraseBackground(HDC dc) {
  EraseWithSurface(hwnd_, dc, canvas_.bitmap());
  return 1;
}

LRESULT CKovralDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(icon_.get()); }

bool CKovralDlg::OnNcPaint(WPARAM, LPARAM) {
  if (!hiddenStart_.OnNcPaint()) return false;
  HideMainWindow();
  return true;
}

// Until the user first opens the window from the notification area, no show
// gets through: the dialog manager shows a visible template on creation, and
// how many non-client paints follow differs between systems.
bool CKovralDlg::OnWindowPosChanging(WPARAM, LPARAM lParam) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
  if (pos && !hiddenStart_.ShowAllowed()) pos->flags &= ~SWP_SHOWWINDOW;
  return false;
}

HBRUSH CKovralDlg::OnCtlColor(HDC dc, HWND control, int type) {
  const ControlColors colors =
      ColorsForControl(ControlTypeOf(type), GetDlgCtrlID(control), controller_.settings().config.dpiColor);
  return ApplyControlColors(dc, colors, look_.textColor, normalFont_.get(), controlBrush_);
}

// ---------------------------------------------------------------------------
// Pointer and pages

// The click's steps never stop the default handling of the press, so a
// press that ends in a drag moves the window while the button is held. The
// controller sees the unit point; the drag starts from the device one.
bool CKovralDlg::OnLButtonDown(POINT devicePt, WPARAM) {
  pressedAt_ = devicePt;
  const POINT pt = ui::UnitPoint(devicePt, dpi());
  controller_.OnLeftClick({pt.x, pt.y});
  return false;
}

bool CKovralDlg::PageClick(layout::Point p) { return pages_.OnPageClick(POINT{p.x, p.y}); }
void CKovralDlg::DragWindow() { pages_.Drag(pressedAt_); }

bool CKovralDlg::OnMouseMove(POINT pt, WPARAM) {
  pages_.OnMouseMove(ui::UnitPoint(pt, dpi()));
  return false;
}

bool CKovralDlg::OnMouseHover(POINT pt, WPARAM) {
  pages_.OnMouseHover(ui::UnitPoint(pt, dpi()));
  return false;
}

bool CKovralDlg::OnCommand(int id, int code) {
  if (controller_.OnMenuCommand(static_cast<uint32_t>(id))) return true;
  return pages_.OnCommand(id, code);
}

LRESULT CKovralDlg::OnPageContinue(WPARAM wParam, LPARAM lParam) {
  pages_.OnContinue(wParam, lParam);
  return 0;
}

LRESULT CKovralDlg::OnDestroyChild(WPARAM, LPARAM lParam) {
  ui::DestroyPostedChild(hwnd_, lParam);
  return 0;
}

// The self-checks drive the dialog as a user would, through its own link,
// record, pages and OK.
LRESULT CKovralDlg::OnRunCheck(WPARAM, LPARAM) {
  const SelfCheckTarget target{hwnd_, *services_.sim, *services_.files, *services_.colors,
                               controller_.link(), controller_.image(), controller_.settings(), pages_,
                               controller_.skinFolder(), controller_.skinName(), controller_.textColor(),
                               controller_.languageCode(), [this] { controller_.SendAndSave(); }, &osd_};
  RunSelfCheck(target, {*services_.check, services_.checkLog, services_.checkCycles, services_.checkEvery});
  return 0;
}

}  // namespace kovral
