#pragma once
// What a shell provides to the main window's controller (main_controller.h):
// the window, its pages, the notification-area icon and its menu, the
// on-screen display window, timers and posts to itself, the file chooser,
// the dialogs the window runs, and the system's sources of device, front
// window and profile-folder events. The controller decides; a shell only
// carries out. Everything is in the portable terms the controller uses.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/tray_menu.h"
#include "dialogs/dialog_environment.h"
#include "dialogs/preferences_view.h"
#include "dialogs/profiles_view.h"
#include "lang/main_texts.h"
#include "lang/notices.h"
#include "pages/page_state.h"
#include "profiles/library_reader.h"
#include "profiles/profile.h"
#include "profiles/profile_follower.h"
#include "profiles/profile_library.h"
#include "ui/file_chooser.h"
#include "ui/text_style.h"
#include "view/layout.h"
#include "view/osd.h"

namespace kovral {

// The controller's timers.
enum class MainTimer {
  FrontCheck,    // the front window's check while profiles follow it (the shell's watch sets it)
  MouseArrived,  // the wait after the mouse's collections arrived
  SwitchRetry,   // the one retry of a profile switch that failed
};

// Work the controller asks to be done once the event under way is through.
enum class LaterWork {
  LookAtFront,   // look at the front window and send the switch that is due
  TakeListing,   // the library's reader has a new listing (posted from its thread)
};

// An interface of a HID collection came or went.
struct DeviceEvent {
  bool arrived = false;
  std::wstring interfaceName;
};

// How the window's pages look; the shell adds its picture and fonts.
struct MainLook {
  std::wstring skinFolder;
  ui::Rgb textColor;
  std::wstring skinName;
  const MainTexts* texts = nullptr;
  std::wstring languageCode;
};

struct SkinChoice {
  std::wstring folder;
  std::wstring name;
  ui::Rgb color;
};


class MainShell {
 public:
  virtual ~MainShell() = default;

  // The window. `BringToFront` shows it in front (the first showing of all
  // included); `DialogUp` is true while one of the program's dialogs runs
  // over it; `ListOpen` while one of its drop-down lists is open.
  virtual void HideMainWindow() = 0;
  virtual void BringToFront() = 0;
  virtual void RepaintWindow() = 0;
  virtual bool DialogUp() = 0;
  virtual bool ListOpen() = 0;
  // Ends the process at once, code 0.
  virtual void EndProcess() = 0;
  // The window takes its size and picture from `skinFolder`, its fonts from
  // the language; done at start.
  virtual void TakeWindowPicture(const std::wstring& skinFolder, const std::wstring& languageCode) = 0;
  // The pages' look; with `newFonts` the window's fonts are made again for
  // the look's language first and every control takes them.
  virtual void SetLook(const MainLook& look, bool newFonts) = 0;
  // Whether a skin picture exists and can be decoded.
  virtual bool PictureReadable(const std::wstring& path) = 0;
  virtual uint16_t SystemLanguageId() = 0;

  // The pages.
  virtual PageState& pageState() = 0;
  virtual void ShowPage(int page) = 0;
  virtual void RebuildPage() = 0;
  virtual void CommitEdits() = 0;
  // The page part of the click at `p`; false when no element took it.
  virtual bool PageClick(layout::Point p) = 0;
  // The window follows the pointer while the button pressed is held.
  virtual void DragWindow() = 0;

  // The notification-area icon. `PopUpMenu` shows the menu at the pointer
  // and returns the command chosen.
  virtual bool AddTrayIcon(const std::wstring& tip) = 0;
  // False on a desktop that shows no notification area at all (GNOME
  // without an extension for one), where the icon cannot be clicked.
  virtual bool HasNotificationArea() = 0;
  virtual void RemoveTrayIcon() = 0;
  virtual void ShowBalloon(const Balloon& balloon) = 0;
  virtual std::optional<uint32_t> PopUpMenu(const TrayMenu& menu) = 0;

  // The on-screen display; false when its window cannot be shown.
  virtual bool ShowOsd(const OsdNotice& notice, const OsdLook& look, OsdPosition position,
                       const std::wstring& languageCode) = 0;
  virtual void HideOsd() = 0;
  // The skin's accent colour for the display's border.
  virtual ui::Rgb SkinAccent(const std::wstring& skinFolder) = 0;

  virtual void StartTimer(MainTimer timer, int ms) = 0;
  virtual void StopTimer(MainTimer timer) = 0;
  virtual void PostLater(LaterWork work) = 0;

  // Nothing when the user cancelled (or there is no chooser).
  virtual std::optional<std::wstring> ChooseFile(const FileChoice& choice, bool save) = 0;

  // The dialogs, modal over the window.
  virtual std::optional<SkinChoice> RunSkinsDialog(const DialogEnvironment& environment,
                                                   const std::wstring& skinName) = 0;
  virtual std::optional<PreferencesChoice> RunPreferencesDialog(
      const DialogEnvironment& environment, const PreferencesChoice& current,
      std::function<void(OsdPosition)> showSample) = 0;
  virtual void RunProfilesDialog(const DialogEnvironment& environment, ProfilesDialogServices services) = 0;
  // The mouse went: the dialogs that change the record end as cancelled.
  // True when a dialog that needs no mouse still runs over the window.
  virtual bool CancelDeviceDialogs() = 0;

  // The device. Notices of the link and device events come back through
  // the controller's OnDeviceNotice and OnDeviceEvent on the interface
  // thread. The reader starts held unless `run`; `ResumeReader` lets a held
  // one run.
  virtual void RouteDeviceEvents() = 0;
  virtual void StartReader(bool run) = 0;
  virtual void ResumeReader() = 0;
  virtual bool StartDeviceNotifications() = 0;
  virtual void StopDeviceNotifications() = 0;

  // The front window's watch: the shell calls OnFrontMaybeChanged on a
  // change and on its FrontCheck timer while it runs.
  virtual void StartFrontWatch() = 0;
  virtual void StopFrontWatch() = 0;
  virtual bool FrontWatchRunning() = 0;

  // The profile folder's watch for the library's reader thread
  // (MakeSystemFolderWatch); nothing: no thread, the folder is read on the
  // interface thread when asked.
  virtual std::unique_ptr<FolderWatch> WatchFolder(std::function<void()> changed) = 0;
};

}  // namespace kovral
