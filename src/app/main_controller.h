#pragma once
// The main window's decisions: the start-up, the common elements' clicks,
// Apply, what a device arrival or removal does, how a notice is told, the
// tray icon's menu and commands, the profiles following the front program,
// Preferences and the language, export and import. It owns the record, the
// link to the mouse and the settings, and asks a MainShell for everything a
// window system does. Split by topic: main_controller.cpp (start-up, the
// end, clicks, the device, the tray), main_controller_profiles.cpp,
// main_controller_prefs.cpp and main_controller_notices.cpp.
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_services.h"
#include "app/held_notices.h"
#include "app/main_shell.h"
#include "app/tray_rules.h"
#include "base/message_sink.h"
#include "device/device_link.h"
#include "device/hid_trace.h"
#include "lang/language.h"
#include "lang/main_texts.h"
#include "pages/page_pointer.h"
#include "profiles/foreground_watch.h"
#include "profiles/profile_following.h"
#include "profiles/profile_library.h"
#include "settings/device_config.h"
#include "settings/notice_preferences.h"
#include "settings/settings_session.h"
#include "settings/ui_settings.h"

namespace kovral {

// The one retry of a profile switch that did not reach the mouse whole.
inline constexpr int kSwitchRetryDelayMs = 2000;
// After the last of the mouse's collections arrived (each arrives on its own).
inline constexpr int kMouseSettleMs = 500;

class MainController {
 public:
  // `shell` and `front` are used from Start() on, not before.
  MainController(AppServices& services, MessageSink& messages, MainShell& shell, ForegroundSource& front);

  // The window exists: the tray icon, the mouse, the settings and the skin,
  // then the profiles; the notices that came meanwhile are told last.
  void Start();
  // The notification area was made anew (Explorer restarted).
  void OnTaskbarCreated();

  // Events the shell hands on.
  void OnLeftClick(layout::Point unitPoint);
  void OnTrayClick(TrayClick click);
  // A right click on the window.
  void OnWindowContextMenu();
  // A command of the tray menu; false for another id.
  bool OnMenuCommand(uint32_t command);
  void OnDeviceNotice(uint32_t code, uint32_t value);
  void OnDeviceEvent(const DeviceEvent& event);
  // The system woke from sleep: the link is checked, and re-opened when the
  // mouse no longer answers on it. Once per wake.
  void OnSystemResumed();
  void OnTimer(MainTimer timer);
  void OnLater(LaterWork work);
  void OnFrontMaybeChanged();
  void OnLibraryRead();
  // A dialog ended (the window is enabled again): what it held back is sent.
  void OnDialogsEnded();
  // Windows ends the session: the mouse gets the Desktop settings back.
  void OnEndSession();
  // The window is destroyed without Exit.
  void Shutdown();

  // Apply and OK: the window's settings go where they came from.
  void SendAndSave();
  // The Preferences dialog's "Show me".
  void ShowSampleNotice(OsdPosition position);

  DeviceLink& link() { return link_; }
  DeviceImage& image() { return image_; }
  SettingsSession& settings() { return *settings_; }
  SystemPointerSettings& pointer() { return pointer_; }
  const MainTexts& texts() const { return *texts_; }
  const std::wstring& languageCode() const { return languageCode_; }
  const std::wstring& skinFolder() const { return skinFolder_; }
  const std::wstring& skinName() const { return skinName_; }
  const ui::Rgb& textColor() const { return textColor_; }

 private:
  // Start-up and the end.
  void OpenTrace();
  bool StartDevice();
  void LoadSettingsAndSkin();
  void UseSkin(const std::wstring& folder, const std::wstring& name, ui::Rgb color, bool newFonts = false);
  // The folders holding "Skins" the services name, else the user's files' folder.
  std::vector<std::wstring> SkinsHomes() const;
  void ExitProgram();
  void ShutdownCleanup();
  void AfterDeviceChange(const DeviceChangeResult& result);

  // The window and the tray.
  void RunSkinChoice();
  void HideWithoutMouse();
  void ShowTrayMenu();
  void ExportProfile();
  void ImportProfile();
  bool StartsWithWindows() const;
  StartupPlace StartupPlaceOfKey() const;
  bool SettingsRead() const;

  // Preferences and the language (main_controller_prefs.cpp).
  void RunPreferences();
  void SwitchLanguage(UiLanguage language);
  bool ChangeStartWithWindows(bool on);
  void ChangeSwitchSettings(const SwitchSettings& settings);
  DialogEnvironment DialogLook() const;

  // Profiles following the front program (main_controller_profiles.cpp).
  void StartFollowing();
  void RefreshLibrary();
  void UpdateForegroundWatch();
  void LookAtFront();
  void SendDueSwitch();
  void RetryFailedSwitch();
  void TellUnreadableProfiles();
  void OnMouseChanged();
  void OnMouseSettled();
  bool OnProfilesMenuCommand(uint32_t command);
  void RunProfilesDialog();

  // Notices (main_controller_notices.cpp).
  void ReloadNoticePreferences();
  void ShowNotice(DeviceNotice notice);
  void TellInGame(const Balloon& balloon, const OsdNotice& onScreen);
  void TellInGame(const Balloon& balloon);
  bool ShowOnScreen(const OsdNotice& notice, OsdPosition position);

  AppServices& services_;
  MessageSink& messages_;
  MainShell& shell_;

  DeviceLink link_;
  std::ofstream traceStream_;
  std::unique_ptr<HidTrace> trace_;
  DeviceImage image_{};

  std::unique_ptr<SettingsSession> settings_;
  std::wstring languageCode_;  // of the language shown: "EN", "CHS", "CHT"
  LanguageChoice languageChoice_ = LanguageChoice::English;
  UiLanguage language_ = UiLanguage::English;
  const MainTexts* texts_;
  HeldNotices heldNotices_;
  // Whether the mouse was last told found (true) or missing, and whether a
  // device event is being handled: one plug is told once.
  std::optional<bool> presenceTold_;
  bool inDeviceEvent_ = false;
  NoticePreferences noticePreferences_;
  bool noticePreferencesRead_ = false;
  std::wstring accentSkinFolder_;  // the skin accent_ was read from
  ui::Rgb accent_ = OsdLook{}.border;

  std::wstring skinFolder_;
  std::wstring skinName_;
  ui::Rgb textColor_;

  std::unique_ptr<ProfileLibrary> library_;
  std::unique_ptr<ProfileFollowing> following_;
  std::unique_ptr<LibraryReader> libraryReader_;  // none: read on the interface thread
  ProfileListing menuListing_;  // what the open Profiles submenu shows
  SwitchSettings switchSettings_;
  ForegroundWatch foregroundWatch_;
  bool applying_ = false;
  // The user was told a switch did not reach the mouse; the next one that
  // does is told even with the switch notices off.
  bool switchFailureTold_ = false;

  SystemPointerSettings pointer_;
};

}  // namespace kovral
