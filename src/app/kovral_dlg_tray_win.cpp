// The main dialog's notification-area icon, its menu and balloons, and the
// device-change and simulated-mouse messages.
#include <cwchar>
#include <string>

#include "app/kovral_dlg_win.h"
#include "app/main_window_win.h"
#include "simctl/sim_command.h"
#include "simctl/sim_control.h"
#include "app/profile_transfer.h"
#include "app/start_with_windows.h"
#include "settings/app_paths.h"
#include "app/tray_rules.h"
#include "lang/notices.h"
#include "settings/notice_balloon.h"

namespace kovral {
namespace {

// Copies as much of `text` as fits, always terminated.
template <size_t N>
void CopyTruncated(wchar_t (&field)[N], const std::wstring& text) {
  const size_t n = std::min(text.size(), N - 1);
  std::wmemcpy(field, text.data(), n);
  field[n] = L'\0';
}

}  // namespace

void CKovralDlg::AddTrayIcon() {
  tray_ = NOTIFYICONDATAW{};
  tray_.cbSize = sizeof(tray_);
  tray_.hWnd = hwnd_;
  tray_.uID = 0;
  tray_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  tray_.uCallbackMessage = WM_TRAY_NOTIFY;
  tray_.hIcon = trayIcon_.get();
  CopyTruncated(tray_.szTip, texts_->trayTip);
  trayAdded_ = Shell_NotifyIconW(NIM_ADD, &tray_) != FALSE;
}

LRESULT CKovralDlg::OnTrayNotify(WPARAM, LPARAM lParam) {
  const TrayDecision decision = DecideTrayMessage(LOWORD(lParam), link_.ready != 0, pages_.state());
  switch (decision.action) {
    case TrayAction::Ignore:
      break;
    case TrayAction::WarnNotDetected:
      SendMessageW(hwnd_, WM_DEVICE_NOTIFY, kNoticeMouseMissing, 0);
      break;
    case TrayAction::ShowWindow:
      switch (decision.prepare) {
        case TrayPagePrepare::None:
          break;
        case TrayPagePrepare::Rebuild:
          pages_.Rebuild();
          break;
        case TrayPagePrepare::ShowBasic:
          pages_.Show(kBasicPage);
          break;
      }
      ShowFromTray();
      break;
    case TrayAction::ShowMenu:
      ShowTrayMenu();
      break;
  }
  return 0;
}

void CKovralDlg::ShowTrayMenu() {
  POINT cursor{};
  GetCursorPos(&cursor);
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  const bool starts = services_.runKey && StartsWithWindows(*services_.runKey, ModulePath());
  // Not while a dialog of the program is up (it has disabled the window):
  // an import would change the record under it. An import also needs the
  // mouse, since only the window it shows can apply it.
  const bool idle = settings_ && IsWindowEnabled(hwnd_);
  AppendProfilesMenu(menu);
  AppendMenuW(menu, MF_STRING | (idle ? MF_ENABLED : MF_GRAYED), kTrayMenuExportProfileCommand,
              texts_->trayExportProfile);
  AppendMenuW(menu, MF_STRING | (idle && link_.ready ? MF_ENABLED : MF_GRAYED), kTrayMenuImportProfileCommand,
              texts_->trayImportProfile);
  AppendMenuW(menu, MF_STRING | (idle && !skinFolder_.empty() ? MF_ENABLED : MF_GRAYED), kTrayMenuPreferencesCommand,
              texts_->trayPreferences);
  AppendMenuW(menu, MF_STRING | (starts ? MF_CHECKED : MF_UNCHECKED), kTrayMenuStartWithWindowsCommand,
              texts_->trayStartWithWindows);
  AppendMenuW(menu, MF_STRING, kTrayMenuExitCommand, texts_->trayExit);
  // The menu closes when the user clicks elsewhere only if the window is in
  // the foreground while it is tracked.
  SetForegroundWindow(hwnd_);
  TrackPopupMenu(menu, TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

void CKovralDlg::OnTrayStartWithWindows() {
  if (services_.runKey) ChangeStartWithWindows(!StartsWithWindows(*services_.runKey, ModulePath()));
}

void CKovralDlg::OnTrayExportProfile() {
  if (!settings_ || !services_.fileChooser) return;
  pages_.CommitEdits();
  const std::optional<std::wstring> file =
      services_.fileChooser->ChooseSave(hwnd_, ProfileFileChoice(*texts_, true));
  if (file) ExportSessionProfile(*settings_, *file, *texts_, following_.get());
}

// The imported profile is shown as edits of the window, which opens on it;
// Apply sends it to the mouse and saves it.
void CKovralDlg::OnTrayImportProfile() {
  if (!settings_ || !services_.fileChooser || !link_.ready) return;
  const std::optional<std::wstring> file =
      services_.fileChooser->ChooseOpen(hwnd_, ProfileFileChoice(*texts_, false));
  if (!file) return;
  // The first showing of the basic page gives a first run its factory
  // texts; done now, it cannot overwrite the imported ones afterwards.
  if (!pages_.state().SettingsReadOnce) pages_.Show(kBasicPage);
  std::wstring libraryNote;
  if (!ImportSessionProfile(*settings_, *file, *texts_, &libraryNote)) return;
  // A profile kept with its programs is followed from now on.
  RefreshLibrary();
  pages_.state().ReloadPending = false;
  if (pages_.state().CurrentPage == kBasicPage || pages_.state().CurrentPage == kAdvancedPage)
    pages_.Rebuild();
  else
    pages_.Show(kBasicPage);
  ShowFromTray();
  messages_.Show(libraryNote.empty() ? std::wstring(texts_->profileImported)
                                     : std::wstring(texts_->profileImported) + L"\n\n" + libraryNote,
                 L"");
}

LRESULT CKovralDlg::OnDeviceNotify(WPARAM wParam, LPARAM lParam) {
  const DeviceNotice notice{static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam)};
  // With the on-screen display's note, the trace tells how long a notice
  // takes to reach the screen.
  if (trace_) trace_->Note("notice " + std::to_string(notice.code) + " " + std::to_string(notice.value));
  if (!heldNotices_.Hold(notice)) ShowNotice(notice);
  return 0;
}

void CKovralDlg::ShowNotice(DeviceNotice notice) {
  const std::optional<Balloon> balloon =
      NoticeBalloon(language_, notice.code, notice.value, settings_->config, image_.activeSensorType);
  if (!balloon) return;
  // The mouse found or missing comes at start and at a plug, never in a
  // game: those stay balloons.
  const std::optional<OsdNotice> onScreen =
      DeviceOsdNotice(language_, notice.code, notice.value, settings_->config, image_.activeSensorType);
  if (onScreen)
    TellInGame(*balloon, *onScreen);
  else
    ShowBalloon(*balloon);
}

// Every balloon carries the information icon; the title says "Warning" where
// it is one.
void CKovralDlg::ShowBalloon(const Balloon& balloon) {
  tray_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
  CopyTruncated(tray_.szInfo, balloon.text);
  CopyTruncated(tray_.szInfoTitle, balloon.title);
  tray_.dwInfoFlags = NIIF_INFO;
  tray_.uTimeout = balloon.timeoutMs;
  Shell_NotifyIconW(NIM_MODIFY, &tray_);
  tray_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
}

// ---------------------------------------------------------------------------
// Device changes

LRESULT CKovralDlg::OnDeviceChange(WPARAM wParam, LPARAM lParam) {
  const UINT event = static_cast<UINT>(wParam);
  // Only arrivals and removals carry a broadcast record in lParam.
  const auto* header = (event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE)
                           ? reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)
                           : nullptr;
  HandleDeviceChange(event, header);
  return TRUE;
}

void CKovralDlg::HandleDeviceChange(UINT eventType, const DEV_BROADCAST_HDR* header) {
  const uint32_t deviceType = header ? header->dbch_devicetype : 0;
  std::wstring_view name;
  if (header && deviceType == DBT_DEVTYP_DEVICEINTERFACE)
    name = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header)->dbcc_name;
  const DeviceChangeResult result = kovral::HandleDeviceChange(link_, image_, eventType, deviceType, name);
  if (result.hideWindow) HideWithoutMouse();
  if (result.reopened) OnMouseChanged();
  // The reader was created suspended when the mouse was missing at start; the
  // first arrival that leaves the link ready starts it.
  if (result.resumeReader && readerSuspended_ && readerThread_) {
    ResumeThread(readerThread_.get());
    readerSuspended_ = false;
  }
}

LRESULT CKovralDlg::OnSimDeviceChange(WPARAM wParam, LPARAM lParam) {
  auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(lParam);
  if (broadcast) HandleDeviceChange(static_cast<UINT>(wParam), reinterpret_cast<const DEV_BROADCAST_HDR*>(broadcast));
  free(broadcast);
  return 0;
}

// The simulated-mouse control channel. The answer tells kvsimctl what
// happened: TRUE done; FALSE not in simulated-mouse mode (or not a control
// message); 2 the command was not understood; 3 the simulated mouse could not
// do it now.
LRESULT CKovralDlg::OnCopyData(WPARAM, LPARAM lParam) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (!services_.sim || !data || data->dwData != kSimControlMagic) return FALSE;
  if (!data->lpData || data->cbData % sizeof(wchar_t) != 0) return kSimReplyBadCommand;
  std::wstring text(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  const SimCommandParse parse = ParseSimCommand(text);
  if (!parse.command) return kSimReplyBadCommand;
  std::wstring why;
  return ExecuteSimCommand(*services_.sim, *parse.command, why) ? TRUE : kSimReplyRefused;
}

}  // namespace kovral
