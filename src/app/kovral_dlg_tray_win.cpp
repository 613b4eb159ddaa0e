// The main dialog's notification-area icon, its menu and balloons, the
// on-screen display, and the sources of device, front-window and
// profile-folder events, each turned into the controller's terms.
#include <cwchar>
#include <string>

#include "app/kovral_dlg_win.h"
#include "app/main_window_win.h"
#include "device/hid_class_win.h"
#include "sim/sim_mouse.h"
#include "simctl/sim_command.h"
#include "simctl/sim_control.h"

namespace kovral {
namespace {

// Copies as much of `text` as fits, always terminated.
template <size_t N>
void CopyTruncated(wchar_t (&field)[N], const std::wstring& text) {
  const size_t n = std::min(text.size(), N - 1);
  std::wmemcpy(field, text.data(), n);
  field[n] = L'\0';
}

// A menu of the items; the submenus are owned by the menu they are in.
HMENU MakeMenu(const TrayMenu& items) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  for (const TrayMenuItem& item : items) {
    if (!item.submenu.empty() || item.command == 0) {
      HMENU submenu = MakeMenu(item.submenu);
      if (submenu) AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), item.text.c_str());
      continue;
    }
    const UINT flags =
        MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED) | (item.enabled ? MF_ENABLED : MF_GRAYED);
    AppendMenuW(menu, flags, item.command, item.text.c_str());
  }
  return menu;
}

}  // namespace

bool CKovralDlg::AddTrayIcon(const std::wstring& tip) {
  tray_ = NOTIFYICONDATAW{};
  tray_.cbSize = sizeof(tray_);
  tray_.hWnd = hwnd_;
  tray_.uID = 0;
  tray_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  tray_.uCallbackMessage = WM_TRAY_NOTIFY;
  tray_.hIcon = trayIcon_.get();
  CopyTruncated(tray_.szTip, tip);
  trayAdded_ = Shell_NotifyIconW(NIM_ADD, &tray_) != FALSE;
  return trayAdded_;
}

void CKovralDlg::RemoveTrayIcon() {
  if (!trayAdded_) return;
  Shell_NotifyIconW(NIM_DELETE, &tray_);
  trayAdded_ = false;
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

LRESULT CKovralDlg::OnTrayNotify(WPARAM, LPARAM lParam) {
  controller_.OnTrayClick(TrayClickOfMessage(LOWORD(lParam)));
  return 0;
}

// The menu closes when the user clicks elsewhere only if the window is in
// the foreground while it is tracked.
std::optional<uint32_t> CKovralDlg::PopUpMenu(const TrayMenu& items) {
  POINT cursor{};
  GetCursorPos(&cursor);
  HMENU menu = MakeMenu(items);
  if (!menu) return std::nullopt;
  SetForegroundWindow(hwnd_);
  const BOOL chosen =
      TrackPopupMenu(menu, TPM_BOTTOMALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, cursor.x, cursor.y, 0, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (chosen == 0) return std::nullopt;
  return static_cast<uint32_t>(chosen);
}

bool CKovralDlg::ShowOsd(const OsdNotice& notice, const OsdLook& look, OsdPosition position,
                         const std::wstring& languageCode) {
  return osd_.Show(notice, look, position, languageCode);
}

void CKovralDlg::HideOsd() { osd_.Hide(); }
ui::Rgb CKovralDlg::SkinAccent(const std::wstring& skinFolder) { return kovral::SkinAccent(skinFolder); }

// ---------------------------------------------------------------------------
// The device

// Sent, not posted: the reader waits until the interface thread has shown
// the notice. The interface thread itself never waits for the reader. Each
// collection of the simulated mouse arrives and leaves like a real one: the
// event goes through the window's device-change handling.
void CKovralDlg::RouteDeviceEvents() {
  const HWND window = hwnd_;
  controller_.link().notify = [window](int code, int value) {
    SendMessageW(window, WM_DEVICE_NOTIFY, static_cast<WPARAM>(code), static_cast<LPARAM>(value));
  };
  if (!services_.sim) return;
  services_.sim->SetPlugListener([window](const SimPlugEvent& event) {
    const size_t bytes =
        offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (event.arrivalName.size() + 1) * sizeof(wchar_t);
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

void CKovralDlg::StartReader(bool run) {
  DWORD threadId = 0;
  readerThread_.reset(CreateThread(nullptr, 0, ReaderThreadProc, &controller_.link(), CREATE_SUSPENDED, &threadId));
  readerSuspended_ = static_cast<bool>(readerThread_);
  if (readerThread_ && run) {
    ResumeThread(readerThread_.get());
    readerSuspended_ = false;
  }
}

void CKovralDlg::ResumeReader() {
  if (!readerSuspended_ || !readerThread_) return;
  ResumeThread(readerThread_.get());
  readerSuspended_ = false;
}

bool CKovralDlg::StartDeviceNotifications() {
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof(filter);
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = kHidInterfaceClass;
  deviceNotification_ = RegisterDeviceNotificationW(hwnd_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  return deviceNotification_ != nullptr;
}

void CKovralDlg::StopDeviceNotifications() {
  if (!deviceNotification_) return;
  UnregisterDeviceNotification(deviceNotification_);
  deviceNotification_ = nullptr;
}

LRESULT CKovralDlg::OnDeviceNotify(WPARAM wParam, LPARAM lParam) {
  controller_.OnDeviceNotice(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
  return 0;
}

LRESULT CKovralDlg::OnDeviceChange(WPARAM wParam, LPARAM lParam) {
  const UINT event = static_cast<UINT>(wParam);
  // Only arrivals and removals carry a broadcast record in lParam.
  const auto* header = (event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE)
                           ? reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)
                           : nullptr;
  HandleDeviceChange(event, header);
  return TRUE;
}

// Windows sends PBT_APMRESUMEAUTOMATIC after every wake, whoever woke the
// machine; PBT_APMRESUMESUSPEND follows it only when a user did, so it would
// make a second check.
LRESULT CKovralDlg::OnPowerBroadcast(WPARAM event, LPARAM) {
  if (event == PBT_APMRESUMEAUTOMATIC) controller_.OnSystemResumed();
  return TRUE;
}

// Only the arrival or removal of a device interface names a collection;
// every other change concerns no mouse.
void CKovralDlg::HandleDeviceChange(UINT eventType, const DEV_BROADCAST_HDR* header) {
  if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return;
  const auto* broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
  controller_.OnDeviceEvent({eventType == DBT_DEVICEARRIVAL, broadcast->dbcc_name});
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

// ---------------------------------------------------------------------------
// The front window and the profile folder

void CKovralDlg::StartFrontWatch() {
  foregroundHook_.Start(reinterpret_cast<uintptr_t>(hwnd_), WM_FRONT_MAYBE_CHANGED, kFrontCheckTimer);
}

void CKovralDlg::StopFrontWatch() { foregroundHook_.Stop(); }

LRESULT CKovralDlg::OnLibraryRead(WPARAM, LPARAM) {
  controller_.OnLater(LaterWork::TakeListing);
  return 0;
}

}  // namespace kovral
