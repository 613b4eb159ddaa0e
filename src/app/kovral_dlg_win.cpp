#include "app/kovral_dlg_win.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/app_globals.h"
#include "device/apply_and_save.h"
#include "view/control_colors_win.h"
#include "app/main_window_win.h"
#include "app/shell_opener.h"
#include "app/tray_rules.h"
#include "check/self_check_win.h"
#include "device/commands.h"
#include "device/hid_class_win.h"
#include "sim/sim_mouse.h"
#include "lang/messages.h"
#include "pages/page_click.h"
#include "profiles/profile_menu.h"
#include "settings/app_paths.h"
#include "settings/ui_settings.h"
#include "ui/font_choice.h"
#include "dialogs/skins_dialog_win.h"
#include "ui/skin_files.h"
#include "ui/skin_path.h"
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
      M::Message<&CKovralDlg::OnDeviceNotify>(WM_DEVICE_NOTIFY),
      M::Message<&CKovralDlg::OnSimDeviceChange>(WM_SIM_DEVICECHANGE),
      M::Message<&CKovralDlg::OnCopyData>(WM_COPYDATA),
      M::Command<&CKovralDlg::OnTrayExit>(kTrayMenuExitCommand),
      M::Command<&CKovralDlg::OnTrayExportProfile>(kTrayMenuExportProfileCommand),
      M::Command<&CKovralDlg::OnTrayImportProfile>(kTrayMenuImportProfileCommand),
      M::Command<&CKovralDlg::OnTrayStartWithWindows>(kTrayMenuStartWithWindowsCommand),
      M::Command<&CKovralDlg::OnTrayPreferences>(kTrayMenuPreferencesCommand),
      M::Commands<&CKovralDlg::OnProfilesMenuCommand>(kProfilesMenuDesktopCommand, kProfilesMenuManageCommand),
      M::Commands<&CKovralDlg::OnProfilesMenuCommand>(
          kProfilesMenuFirstProfileCommand, kProfilesMenuFirstProfileCommand + kProfilesMenuProfileLimit - 1),
      M::Commands<&CKovralDlg::OnCommand>(1, 0xFFFF),
      M::Message<&CKovralDlg::OnDestroyChild>(ui::WM_DESTROY_CHILD_LATER),
      M::Message<&CKovralDlg::OnPageContinue>(WM_PAGE_CONTINUE),
      M::Message<&CKovralDlg::OnRunCheck>(WM_RUN_CHECK),
      M::Message<&CKovralDlg::OnFrontMaybeChanged>(WM_FRONT_MAYBE_CHANGED),
      M::Message<&CKovralDlg::OnLibraryRead>(WM_LIBRARY_READ),
      M::Message<&CKovralDlg::OnEnable>(WM_ENABLE),
      M::Message<&CKovralDlg::OnEndDialog>(WM_TIMER),
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
    AddTrayIcon();
    return ui::Handled();
  }
  return ui::Dispatch(*this, Messages(), message, wParam, lParam);
}

CKovralDlg::CKovralDlg(AppServices& services, WindowMessageSink& messages)
    : services_(services),
      messages_(messages),
      link_(*services.hid, messages, *services.clock),
      // The paths are fixed for the run; the settings exist from the start so
      // that a start-up stopped early still leaves a usable (empty) state.
      settings_(std::make_unique<SettingsSession>(PathsFromModulePath(ModulePath()), *services.ini, *services.files,
                                                  messages)),
      texts_(&MainTextsFor(UiLanguage::English)),
      pointer_(*services.pointer, messages),
      pages_(PageHostServices{nullptr, *settings_, link_, image_, pointer_, messages, *services.colors}) {
  trayIcon_.reset(ui::LoadTrayIcon(GetModuleHandleW(nullptr), kAppIconId));
}

// Reached only when the modal loop ends without Exit (the window was
// destroyed): the reader must be gone before the link it reads. Its window
// no longer exists, so it is not waiting for this thread.
CKovralDlg::~CKovralDlg() {
  ShutdownCleanup();
  if (readerThread_ && !readerSuspended_) {
    StopNotifyReader(link_);
    if (WaitForSingleObject(readerThread_.get(), 2000) != WAIT_OBJECT_0) ExitProcess(0);
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
        ShowWindow(hwnd_, SW_HIDE);
        return true;
    }
  }
  return false;
}

void CKovralDlg::OnOK() { ShowWindow(hwnd_, SW_HIDE); }
void CKovralDlg::OnCancel() { ShowWindow(hwnd_, SW_HIDE); }

// ---------------------------------------------------------------------------
// Start-up

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
  AddTrayIcon();

  if (StartDevice()) {
    LoadSettingsAndSkin();
    StartFollowing();
  }

  // The handshake's notice came before any text existed; now it can be shown.
  for (const DeviceNotice& notice : heldNotices_.Release()) ShowNotice(notice);
  if (services_.sim && services_.check) PostMessageW(hwnd_, WM_RUN_CHECK, 0, 0);
  return TRUE;
}

// The trace is flushed after every write, so a reader sees each exchange
// while the program runs, and nothing is lost when Exit ends the process.
void CKovralDlg::OpenTrace() {
  if (services_.traceFile.empty()) return;
  traceStream_.open(std::filesystem::path(services_.traceFile), std::ios::out | std::ios::trunc);
  if (!traceStream_) {
    messages_.Show(L"The trace file \"" + services_.traceFile + L"\" cannot be written.", L"");
    return;
  }
  traceStream_ << std::unitbuf;
  trace_ = std::make_unique<HidTrace>(traceStream_, *services_.clock);
  link_.trace = trace_.get();
}

bool CKovralDlg::StartDevice() {
  OpenTrace();
  const HWND window = hwnd_;
  // Sent, not posted: the reader waits until the interface thread has shown
  // the notice. The interface thread itself never waits for the reader.
  link_.notify = [window](int code, int value) {
    SendMessageW(window, WM_DEVICE_NOTIFY, static_cast<WPARAM>(code), static_cast<LPARAM>(value));
  };
  if (services_.sim) {
    // Each collection of the simulated mouse arrives and leaves like a real
    // one: the event goes through the window's device-change handling.
    services_.sim->SetPlugListener([window](const SimPlugEvent& event) {
      const size_t bytes = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) +
                           (event.arrivalName.size() + 1) * sizeof(wchar_t);
      auto* broadcast = static_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(calloc(1, bytes));
      if (!broadcast) return;
      broadcast->dbcc_size = static_cast<DWORD>(bytes);
      broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
      broadcast->dbcc_classguid = kHidInterfaceClass;
      std::copy(event.arrivalName.begin(), event.arrivalName.end(), broadcast->dbcc_name);
      const WPARAM type = event.arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
      if (!PostMessageW(window, WM_SIM_DEVICECHANGE, type, reinterpret_cast<LPARAM>(broadcast))) free(broadcast);
    });
  }

  ConnectDevice(link_);

  if (!CreateReadEvent(link_)) return false;
  DWORD threadId = 0;
  readerThread_.reset(CreateThread(nullptr, 0, ReaderThreadProc, &link_, CREATE_SUSPENDED, &threadId));
  readerSuspended_ = static_cast<bool>(readerThread_);
  if (readerThread_ && link_.ready != 0) {
    ResumeThread(readerThread_.get());
    readerSuspended_ = false;
  }

  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof(filter);
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = kHidInterfaceClass;
  deviceNotification_ = RegisterDeviceNotificationW(hwnd_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  if (!deviceNotification_) {
    messages_.Show(kMsgDeviceNotificationFailed, L"");
    return false;
  }
  return true;
}

void CKovralDlg::LoadSettingsAndSkin() {
  settings_->Load();
  // A new installation follows Windows' language, and says so in the
  // str.ini it starts, since a str.ini without "Lan" means English.
  const bool strIniExisted = services_.files->Exists(settings_->paths().strIni);
  languageChoice_ = StartLanguageChoice(strIniExisted, settings_->ReadLanguageCode());
  if (!strIniExisted) WriteLanguageCode(*services_.ini, settings_->paths().strIni, LanguageChoiceCode(languageChoice_));
  language_ = EffectiveLanguage(languageChoice_, GetUserDefaultUILanguage());
  languageCode_ = LanguageCode(language_);
  texts_ = &MainTextsFor(language_);
  settings_->SetLanguage(language_);
  settings_->ReadInterfaceSettings();
  ReloadNoticePreferences();

  // The window takes its size from "/main.png": one that is there but cannot
  // be read counts as missing, or the window would be 0 by 0.
  const StartSkin skin =
      ChooseStartSkin(settings_->paths().directory, settings_->ui.skinName, [this](const std::wstring& path) {
        if (!services_.files->Exists(path)) return false;
        return !path.ends_with(skin::kMain) || SkinImage(path).ok();
      });
  if (skin.fellBack) messages_.Show(texts_->skinIncomplete, kCaptionWarning);
  Globals().languageCode = languageCode_;
  MakeCanvasAndFonts(skin.folder);
  ui::ResizeWindow(hwnd_, canvas_.width(), canvas_.height());

  const TextColorBytes color = TextColorFromSettings(settings_->ui);
  UseSkin(skin.folder, skin.name, {color.red, color.green, color.blue});
  if (link_.ready != 0) pages_.Show(kBasicPage);
}

// The window's picture and fonts at its DPI; its size is the picture's
// device size.
void CKovralDlg::MakeCanvasAndFonts(const std::wstring& folder) {
  startSkinFolder_ = folder;
  SkinImage main;
  LoadSkinPicture(main, folder, skin::kMain, dpi());
  canvas_ = Canvas(main);
  const ui::FontPair fonts = ui::FontsForLanguageCode(languageCode_, ui::CurrentWindowsVersion());
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
  MakeCanvasAndFonts(startSkinFolder_);
  const auto* suggested = reinterpret_cast<const RECT*>(suggestedRect);
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, canvas_.width(), canvas_.height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  UseSkin(skinFolder_, Globals().skinName, textColor_);
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

// The skin and text colour every window draws with from now on: the
// dialog's own, the globals every dialog reads, and the pages' look.
void CKovralDlg::UseSkin(const std::wstring& folder, const std::wstring& name, ui::Rgb color) {
  skinFolder_ = folder;
  textColor_ = color;
  AppGlobals& globals = Globals();
  globals.SkinFolder = folder;
  globals.TextColor = color;
  globals.skinName = name;
  pages_.SetLook({skinFolder_, canvas_.bitmap(), normalFont_.get(), titleFont_.get(), textColor_, texts_, languageCode_});
}

DWORD WINAPI CKovralDlg::ReaderThreadProc(void* parameter) {
  NotifyReaderLoop(*static_cast<DeviceLink*>(parameter));
  return 0;
}

// ---------------------------------------------------------------------------
// The end

// Closes the device and removes the icon. The read event stays: the reader
// thread may be waiting on it, and it ends with the process a moment later.
void CKovralDlg::ShutdownCleanup() {
  osd_.Hide();
  CloseDevice(link_);
  if (deviceNotification_) {
    UnregisterDeviceNotification(deviceNotification_);
    deviceNotification_ = nullptr;
  }
  if (trayAdded_) {
    Shell_NotifyIconW(NIM_DELETE, &tray_);
    trayAdded_ = false;
  }
}

void CKovralDlg::ExitProgram() {
  if (following_) following_->Leave(link_, image_);
  ShutdownCleanup();
  ExitProcess(0);
}

void CKovralDlg::OnDestroy() { ShutdownCleanup(); }

// Windows ends the process once this returns, so the mouse gets the Desktop
// settings back now, as at Exit. A session that is not ending after all
// (another program refused) changes nothing.
LRESULT CKovralDlg::OnEndSession(WPARAM ending, LPARAM) {
  if (!ending) return 0;
  if (following_) following_->Leave(link_, image_);
  ShutdownCleanup();
  return 0;
}

// Closing only hides: the program stays in the notification area.
void CKovralDlg::OnClose() { ShowWindow(hwnd_, SW_HIDE); }

void CKovralDlg::OnTrayExit() { ExitProgram(); }

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
  ShowWindow(hwnd_, SW_HIDE);
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
  const ControlColors colors = ColorsForControl(ControlTypeOf(type), GetDlgCtrlID(control), settings_->config.dpiColor);
  return ApplyControlColors(dc, colors, textColor_, normalFont_.get(), controlBrush_);
}

// ---------------------------------------------------------------------------
// Pointer and pages

// Handled steps never stop the default handling of the click, so a press
// that ends in the drag step moves the window while the button is held.
// The layout tables see the unit point; the drag starts from the device one.
bool CKovralDlg::OnLButtonDown(POINT devicePt, WPARAM) {
  const POINT pt = ui::UnitPoint(devicePt, dpi());
  for (ClickStep step : RouteCommonClick({pt.x, pt.y}, pages_.state().CurrentPage, link_.ready != 0)) {
    switch (step) {
      case ClickStep::SendConfig:
        SendAndSave();
        break;
      case ClickStep::CommitConfig:
        settings_->Commit();
        break;
      case ClickStep::ApplyPointerSettings:
        pointer_.Apply(settings_->config);
        break;
      case ClickStep::HideWindow:
        ShowWindow(hwnd_, SW_HIDE);
        break;
      case ClickStep::RunSkinChoice:
        RunSkinChoice();
        break;
      case ClickStep::ExitProgram:
        ExitProgram();
      case ClickStep::ShowBasicPage:
        pages_.Show(kBasicPage);
        break;
      case ClickStep::ShowAdvancedPage:
        pages_.Show(kAdvancedPage);
        break;
      case ClickStep::RevertConfig:
        CancelEdits(*settings_, pointer_);
        pages_.state().ReloadPending = true;
        break;
      case ClickStep::OpenWebLink:
        services_.shell->Open(texts_->webLink);
        break;
      case ClickStep::BasicPagePart:
      case ClickStep::AdvancedPagePart:
        if (!pages_.OnPageClick(pt)) pages_.Drag(devicePt);
        break;
      case ClickStep::Drag:
        pages_.Drag(devicePt);
        break;
    }
  }
  return false;
}

// The window's settings go where they came from: config.bin for the
// Desktop settings, the file of the profile the window shows.
void CKovralDlg::SendAndSave() {
  pages_.CommitEdits();
  if (!following_) {
    ApplyAndSave(link_, image_, *settings_);
    return;
  }
  applying_ = true;
  following_->ApplyAndSave(link_, image_, *texts_);
  applying_ = false;
  // A front change during the Apply is sent once the click is through.
  PostMessageW(hwnd_, WM_FRONT_MAYBE_CHANGED, 0, 0);
}

// The self-checks drive the dialog as a user would, through its own link,
// record, pages and OK.
LRESULT CKovralDlg::OnRunCheck(WPARAM, LPARAM) {
  const SelfCheckTarget target{hwnd_, *services_.sim, *services_.files, *services_.colors,
                               link_, image_, *settings_, pages_,
                               skinFolder_, Globals().skinName, textColor_, languageCode_,
                               [this] { SendAndSave(); }, &osd_};
  RunSelfCheck(target, {*services_.check, services_.checkLog, services_.checkCycles, services_.checkEvery});
  return 0;
}

LRESULT CKovralDlg::OnEndDialog(WPARAM timer, LPARAM) {
  if (timer == kFrontCheckTimer) return OnFrontMaybeChanged(0, 0);
  if (timer == kSwitchRetryTimer) {
    RetryFailedSwitch();
    return 0;
  }
  if (timer == kMouseArrivedTimer) {
    KillTimer(hwnd_, kMouseArrivedTimer);
    if (following_ && link_.ready != 0) following_->follower().MouseArrived();
    return OnFrontMaybeChanged(0, 0);
  }
  OnSelfCheckTimer(hwnd_, timer);
  return 0;
}

// The skin chooser. After OK the choice is kept in str.ini and the shown
// page is made again in the new skin and colour; the window keeps the size
// and the picture it took from the skin it started with.
void CKovralDlg::RunSkinChoice() {
  CSkinsDialog dialog(DialogEnvironment{skinFolder_, textColor_, languageCode_}, Globals().skinName,
                      *services_.colors);
  const bool chosen = dialog.RunModal() == IDOK;
  if (chosen) {
    pages_.CommitEdits();
    const ui::Rgb color = dialog.chosenColor;
    settings_->SaveSkinChoice({color.red, color.green, color.blue}, dialog.chosenSkinName);
    UseSkin(dialog.chosenSkinFolder, dialog.chosenSkinName, color);
    pages_.Rebuild();
  }
  // The window stayed with the chooser; without the mouse it goes now.
  if (link_.ready == 0) {
    HideWithoutMouse();
    return;
  }
  if (!chosen) return;
  SetForegroundWindow(hwnd_);
  ShowWindow(hwnd_, SW_SHOW);
}

// The dialogs that change the record end as cancelled: the record stays
// hidden until the mouse is back, and an OK given meanwhile would change it
// unseen. A dialog that needs no mouse (the skin chooser, the Profiles
// dialog) stays open, and the window stays under it until it closes.
void CKovralDlg::HideWithoutMouse() {
  ui::Dialog::CancelDeviceDialogs();
  if (!ui::Dialog::AnyRunningOver(hwnd_)) ShowWindow(hwnd_, SW_HIDE);
}

bool CKovralDlg::OnMouseMove(POINT pt, WPARAM) {
  pages_.OnMouseMove(ui::UnitPoint(pt, dpi()));
  return false;
}

bool CKovralDlg::OnMouseHover(POINT pt, WPARAM) {
  pages_.OnMouseHover(ui::UnitPoint(pt, dpi()));
  return false;
}

bool CKovralDlg::OnCommand(int id, int code) { return pages_.OnCommand(id, code); }

LRESULT CKovralDlg::OnPageContinue(WPARAM wParam, LPARAM lParam) {
  pages_.OnContinue(wParam, lParam);
  return 0;
}

LRESULT CKovralDlg::OnDestroyChild(WPARAM, LPARAM lParam) {
  ui::DestroyPostedChild(hwnd_, lParam);
  return 0;
}

void CKovralDlg::ShowFromTray() {
  hiddenStart_.Release();
  SetForegroundWindow(hwnd_);
  ShowWindow(hwnd_, SW_SHOW);
}

}  // namespace kovral
