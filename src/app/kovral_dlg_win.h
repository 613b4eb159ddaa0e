#pragma once
// The main dialog: owns the configuration record, the link to the mouse,
// the notification-area icon and the two pages. Its modal loop is the
// program's only message loop.
#include <windows.h>

#include <dbt.h>
#include <shellapi.h>

#include <fstream>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "app/app_services.h"
#include "app/held_notices.h"
#include "view/control_colors_win.h"
#include "view/message_box_win.h"
#include "device/device_link.h"
#include "device/hid_trace.h"
#include "lang/language.h"
#include "lang/main_texts.h"
#include "pages/page_host_win.h"
#include "pages/page_pointer.h"
#include "profiles/foreground_watch.h"
#include "profiles/library_reader_win.h"
#include "profiles/profile_following.h"
#include "profiles/profile_library.h"
#include "settings/device_config.h"
#include "settings/notice_preferences.h"
#include "settings/settings_session.h"
#include "base/handles_win.h"
#include "ui/skin_image_win.h"
#include "ui/text_style.h"
#include "ui/window_win.h"
#include "view/osd_window_win.h"

namespace kovral {

struct Balloon;

class CKovralDlg final : public ui::Dialog {
 public:
  CKovralDlg(AppServices& services, WindowMessageSink& messages);
  ~CKovralDlg() override;

  // The Preferences dialog's "Show me": a sample notice on the screen at
  // `position`, whatever style is chosen.
  void ShowSampleNotice(OsdPosition position);
  // After the Preferences dialog's OK: the notices' style and position
  // again from str.ini.
  void ReloadNoticePreferences();

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

  // Start-up and the end of the program.
  bool StartDevice();
  void OpenTrace();
  void LoadSettingsAndSkin();
  void ShutdownCleanup();
  [[noreturn]] void ExitProgram();
  void OnDestroy();
  void OnClose();
  // The Windows session ends: the program is stopped without Exit.
  LRESULT OnEndSession(WPARAM ending, LPARAM);
  void OnTrayExit();
  void OnTrayStartWithWindows();
  void OnTrayExportProfile();
  void OnTrayImportProfile();

  // Preferences (kovral_dlg_prefs_win.cpp). The tray items and the dialog
  // change the settings they share through the same members.
  void OnTrayPreferences();
  void RunPreferences();
  // Every window, the tray menu and the notices in `language` from now on.
  void SwitchLanguage(UiLanguage language);
  bool ChangeStartWithWindows(bool on);
  void ChangeSwitchSettings(const SwitchSettings& settings);

  // Profiles following the program in front (kovral_dlg_profiles_win.cpp).
  void StartFollowing();
  // The foreground hook and its check run only while something is watched.
  void UpdateForegroundWatch();
  // Tells the rule what holds a switch back, then sends the one that is due.
  void SendDueSwitch();
  // The one retry of a switch that failed, when its time comes.
  void RetryFailedSwitch();
  // Profiles found unreadable since the last look, one balloon each.
  void TellUnreadableProfiles();
  void LookAtFront();
  LRESULT OnFrontMaybeChanged(WPARAM, LPARAM);
  LRESULT OnEnable(WPARAM enabled, LPARAM);
  void OnMouseChanged();
  // The library is read again on the reader's thread; its listing comes
  // with WM_LIBRARY_READ.
  void RefreshLibrary();
  LRESULT OnLibraryRead(WPARAM, LPARAM);
  void AppendProfilesMenu(HMENU menu);
  bool OnProfilesMenuCommand(int id, int code);
  void RunProfilesDialog();

  // Drawing.
  bool OnPaint();
  LRESULT OnEraseBackground(HDC dc);
  LRESULT OnQueryDragIcon(WPARAM, LPARAM);
  bool OnNcPaint(WPARAM, LPARAM);
  bool OnWindowPosChanging(WPARAM, LPARAM);
  HBRUSH OnCtlColor(HDC dc, HWND control, int type);
  // The window moved to a monitor of another scale: its picture, fonts and
  // children are made again for the new DPI, at the place Windows suggests.
  LRESULT OnDpiChanged(WPARAM, LPARAM suggestedRect);
  void MakeCanvasAndFonts(const std::wstring& folder);

  // Pointer and pages.
  bool OnLButtonDown(POINT pt, WPARAM keys);
  bool OnMouseMove(POINT pt, WPARAM keys);
  bool OnMouseHover(POINT pt, WPARAM keys);
  // Commands of the page's controls (the tray menu's Exit has its own entry).
  bool OnCommand(int id, int code);
  LRESULT OnDestroyChild(WPARAM, LPARAM);
  LRESULT OnPageContinue(WPARAM, LPARAM);
  void SendAndSave();
  void RunSkinChoice();
  // The mouse went: the window hides, with the dialogs that change its record.
  void HideWithoutMouse();
  void UseSkin(const std::wstring& folder, const std::wstring& name, ui::Rgb color);
  void SetWindowIcons();
  void ShowFromTray();

  // Self-checks in simulated-mouse mode (check/self_check_win.h).
  LRESULT OnRunCheck(WPARAM, LPARAM);
  LRESULT OnEndDialog(WPARAM, LPARAM);

  // Notification area and notices.
  void AddTrayIcon();
  LRESULT OnTrayNotify(WPARAM, LPARAM);
  LRESULT OnDeviceNotify(WPARAM, LPARAM);
  void ShowNotice(DeviceNotice notice);
  void ShowBalloon(const Balloon& balloon);
  // The one way of every in-game notice (the mouse's own changes, the
  // profile switches): on the screen, as a balloon or not at all, as the
  // preferences say (kovral_dlg_notices_win.cpp).
  void TellInGame(const Balloon& balloon, const OsdNotice& onScreen);
  void TellInGame(const Balloon& balloon);
  bool ShowOnScreen(const OsdNotice& notice, OsdPosition position);
  void ShowTrayMenu();

  // Device link.
  LRESULT OnDeviceChange(WPARAM, LPARAM);
  void HandleDeviceChange(UINT eventType, const DEV_BROADCAST_HDR* header);
  LRESULT OnSimDeviceChange(WPARAM, LPARAM);
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

  DeviceLink link_;
  std::ofstream traceStream_;
  std::unique_ptr<HidTrace> trace_;
  DeviceImage image_{};
  OwnedHandle readerThread_;
  bool readerSuspended_ = false;
  HDEVNOTIFY deviceNotification_ = nullptr;

  std::unique_ptr<SettingsSession> settings_;
  std::wstring languageCode_;  // of the language shown: "EN", "CHS", "CHT"
  LanguageChoice languageChoice_ = LanguageChoice::English;
  UiLanguage language_ = UiLanguage::English;
  const MainTexts* texts_;
  HeldNotices heldNotices_;
  NoticePreferences noticePreferences_;
  bool noticePreferencesRead_ = false;
  OsdWindow osd_;
  std::wstring accentSkinFolder_;  // the skin accent_ was read from
  ui::Rgb accent_ = OsdLook{}.border;

  std::wstring skinFolder_;
  std::wstring startSkinFolder_;  // the skin the window took its size and picture from
  ui::Rgb textColor_;
  Canvas canvas_;
  OwnedFont normalFont_;
  OwnedFont titleFont_;
  ControlBrushes controlBrush_;

  std::unique_ptr<ProfileLibrary> library_;
  std::unique_ptr<ProfileFollowing> following_;
  std::unique_ptr<LibraryReader> libraryReader_;
  ProfileListing menuListing_;  // what the open Profiles submenu shows
  SwitchSettings switchSettings_;
  Win32ForegroundSource foregroundSource_;
  ForegroundWatch foregroundWatch_{foregroundSource_};
  ForegroundHook foregroundHook_;
  bool applying_ = false;
  // The user was told a switch did not reach the mouse; the next one that
  // does is told even with the switch notices off.
  bool switchFailureTold_ = false;

  SystemPointerSettings pointer_;
  CPageHost pages_;
  HiddenStart hiddenStart_;
};

}  // namespace kovral
