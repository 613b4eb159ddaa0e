#pragma once
// The main dialog: the Win32 shell of the main window. It creates the
// window, the notification-area icon, the pages and the on-screen display,
// and hands every event to the controller (main_controller.h), which
// decides. Its modal loop is the program's only message loop.
#include <windows.h>

#include <dbt.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "app/app_services.h"
#include "app/main_controller.h"
#include "app/main_shell.h"
#include "base/handles_win.h"
#include "pages/page_host_win.h"
#include "profiles/foreground_watch.h"
#include "ui/skin_image_win.h"
#include "ui/window_win.h"
#include "view/control_colors_win.h"
#include "view/message_box_win.h"
#include "view/osd_window_win.h"

namespace kovral {

class CKovralDlg final : public ui::Dialog, private MainShell {
 public:
  CKovralDlg(AppServices& services, WindowMessageSink& messages);
  ~CKovralDlg() override;

 protected:
  ui::DialogTemplate Template() const override { return ui::MainDialogTemplate(); }
  BOOL OnInitDialog() override;
  bool PreTranslateMessage(MSG& message) override;
  // Enter and Escape never end the dialog; they hide it.
  void OnOK() override;
  void OnCancel() override;
  ui::MsgResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static std::span<const ui::MessageEntry<CKovralDlg>> Messages();

  // MainShell: the window.
  void HideMainWindow() override;
  void BringToFront() override;
  void RepaintWindow() override;
  bool DialogUp() override;
  bool ListOpen() override;
  void EndProcess() override;
  void TakeWindowPicture(const std::wstring& skinFolder, const std::wstring& languageCode) override;
  void SetLook(const MainLook& look, bool newFonts) override;
  bool PictureReadable(const std::wstring& path) override;
  uint16_t SystemLanguageId() override;
  // The pages.
  PageState& pageState() override { return pages_.state(); }
  void ShowPage(int page) override { pages_.Show(page); }
  void RebuildPage() override { pages_.Rebuild(); }
  void CommitEdits() override { pages_.CommitEdits(); }
  bool PageClick(layout::Point p) override;
  void DragWindow() override;
  // The tray and the on-screen display (kovral_dlg_tray_win.cpp).
  bool AddTrayIcon(const std::wstring& tip) override;
  // Every Windows desktop has one; an icon not added at logon, before the
  // taskbar, is added again when it comes (TaskbarCreated).
  bool HasNotificationArea() override { return true; }
  void RemoveTrayIcon() override;
  void ShowBalloon(const Balloon& balloon) override;
  std::optional<uint32_t> PopUpMenu(const TrayMenu& menu) override;
  bool ShowOsd(const OsdNotice& notice, const OsdLook& look, OsdPosition position,
               const std::wstring& languageCode) override;
  void HideOsd() override;
  ui::Rgb SkinAccent(const std::wstring& skinFolder) override;
  // Timers, posts, choosers and dialogs (kovral_dlg_dialogs_win.cpp).
  void StartTimer(MainTimer timer, int ms) override;
  void StopTimer(MainTimer timer) override;
  void PostLater(LaterWork work) override;
  std::optional<std::wstring> ChooseFile(const FileChoice& choice, bool save) override;
  std::optional<SkinChoice> RunSkinsDialog(const DialogEnvironment& environment,
                                           const std::wstring& skinName) override;
  std::optional<PreferencesChoice> RunPreferencesDialog(const DialogEnvironment& environment,
                                                        const PreferencesChoice& current,
                                                        std::function<void(OsdPosition)> showSample) override;
  void RunProfilesDialog(const DialogEnvironment& environment, ProfilesDialogServices services) override;
  bool CancelDeviceDialogs() override;
  // The device, the front window and the profile folder (kovral_dlg_tray_win.cpp).
  void RouteDeviceEvents() override;
  void StartReader(bool run) override;
  void ResumeReader() override;
  bool StartDeviceNotifications() override;
  void StopDeviceNotifications() override;
  void StartFrontWatch() override;
  void StopFrontWatch() override;
  bool FrontWatchRunning() override { return foregroundHook_.running(); }
  std::unique_ptr<FolderWatch> WatchFolder(std::function<void()> changed) override {
    return MakeSystemFolderWatch(std::move(changed));
  }

  // Messages.
  bool OnPaint();
  LRESULT OnEraseBackground(HDC dc);
  LRESULT OnQueryDragIcon(WPARAM, LPARAM);
  bool OnNcPaint(WPARAM, LPARAM);
  bool OnWindowPosChanging(WPARAM, LPARAM);
  HBRUSH OnCtlColor(HDC dc, HWND control, int type);
  // The window moved to a monitor of another scale: its picture, fonts and
  // children are made again for the new DPI, at the place Windows suggests.
  LRESULT OnDpiChanged(WPARAM, LPARAM suggestedRect);
  void MakeCanvasAndFonts(const std::wstring& folder, const std::wstring& languageCode);
  void SetWindowIcons();
  bool OnLButtonDown(POINT pt, WPARAM keys);
  bool OnMouseMove(POINT pt, WPARAM keys);
  bool OnMouseHover(POINT pt, WPARAM keys);
  // Commands of the tray menu, then of the page's controls.
  bool OnCommand(int id, int code);
  LRESULT OnDestroyChild(WPARAM, LPARAM);
  LRESULT OnPageContinue(WPARAM, LPARAM);
  LRESULT OnTimer(WPARAM, LPARAM);
  LRESULT OnLater(WPARAM, LPARAM);
  LRESULT OnEnable(WPARAM enabled, LPARAM);
  LRESULT OnLibraryRead(WPARAM, LPARAM);
  void OnClose();
  void OnDestroy();
  // The Windows session ends: the program is stopped without Exit.
  LRESULT OnEndSession(WPARAM ending, LPARAM);
  // Self-checks in simulated-mouse mode (check/self_check_win.h).
  LRESULT OnRunCheck(WPARAM, LPARAM);
  LRESULT OnTrayNotify(WPARAM, LPARAM);
  LRESULT OnDeviceNotify(WPARAM, LPARAM);
  LRESULT OnDeviceChange(WPARAM, LPARAM);
  LRESULT OnPowerBroadcast(WPARAM event, LPARAM);
  LRESULT OnSimDeviceChange(WPARAM, LPARAM);
  void HandleDeviceChange(UINT eventType, const DEV_BROADCAST_HDR* header);
  LRESULT OnCopyData(WPARAM, LPARAM);
  static DWORD WINAPI ReaderThreadProc(void* parameter);

  AppServices& services_;
  WindowMessageSink& messages_;
  UINT taskbarCreatedMessage_ = 0;

  // The window's icons at its DPI, and the notification area's at the
  // system's.
  OwnedIcon icon_;
  OwnedIcon smallIcon_;
  OwnedIcon trayIcon_;
  NOTIFYICONDATAW tray_{};
  bool trayAdded_ = false;

  OwnedHandle readerThread_;
  bool readerSuspended_ = false;
  HDEVNOTIFY deviceNotification_ = nullptr;
  OsdWindow osd_;

  std::wstring startSkinFolder_;  // the skin the window took its size and picture from
  MainLook look_;
  Canvas canvas_;
  OwnedFont normalFont_;
  OwnedFont titleFont_;
  ControlBrushes controlBrush_;
  POINT pressedAt_{};  // device point of the last left press, where a drag starts

  Win32ForegroundSource foregroundSource_;
  ForegroundHook foregroundHook_;

  MainController controller_;
  CPageHost pages_;
  HiddenStart hiddenStart_;
};

}  // namespace kovral
