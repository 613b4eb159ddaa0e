#pragma once
// The main window of the Linux program: the Qt shell of the controller
// (main_controller.h). It makes the window, the notification-area icon, the
// pages and the on-screen display, and hands every event to the controller,
// which decides.
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "app/app_services.h"
#include "app/desktop_notices_qt.h"
#include "app/main_controller.h"
#include "app/main_shell.h"
#include "app/sleep_watch_qt.h"
#include "app/tray_qt.h"
#include "device/hidraw_monitor_linux.h"
#include "pages/page_host_qt.h"
#include "profiles/foreground_watch_qt.h"
#include "view/main_window_qt.h"
#include "view/osd_window_qt.h"

namespace kovral {

class KovralDlgQt final : public QObject, private MainShell {
 public:
  KovralDlgQt(AppServices& services, MessageSink& messages, AssignmentDialogs& dialogs);
  ~KovralDlgQt() override;

  // The tray icon, the mouse, the settings and the skin.
  void Start();
  // Another start of the program asked for the window.
  void ShowFromSecondStart() { controller_.OnTrayClick(TrayClick::Left); }
  MainWindowQt& window() { return window_; }

 protected:
  // The window's keys: a macro recording hears them, Enter and Esc hide it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // MainShell: the window.
  void HideMainWindow() override { window_.hide(); }
  void BringToFront() override { window_.Present(); }
  void RepaintWindow() override { window_.update(); }
  bool DialogUp() override;
  bool ListOpen() override { return pages_.ListOpen(); }
  void EndProcess() override;
  void TakeWindowPicture(const std::wstring& skinFolder, const std::wstring& languageCode) override;
  void SetLook(const MainLook& look, bool newFonts) override;
  bool PictureReadable(const std::wstring& path) override;
  uint16_t SystemLanguageId() override;
  PageState& pageState() override { return pages_.state(); }
  void ShowPage(int page) override { pages_.Show(page); }
  void RebuildPage() override { pages_.Rebuild(); }
  void CommitEdits() override { pages_.CommitEdits(); }
  bool PageClick(layout::Point p) override { return pages_.PageClick(p); }
  void DragWindow() override { dragAsked_ = true; }
  // The tray and the on-screen display.
  bool AddTrayIcon(const std::wstring& tip) override { return tray_.Show(tip); }
  bool HasNotificationArea() override { return TrayQt::Available(); }
  void RemoveTrayIcon() override { tray_.Hide(); }
  void ShowBalloon(const Balloon& balloon) override;
  std::optional<uint32_t> PopUpMenu(const TrayMenu& menu) override {
    return tray_.PopUp(menu, window_.isVisible() ? &window_ : nullptr);
  }
  bool ShowOsd(const OsdNotice& notice, const OsdLook& look, OsdPosition position,
               const std::wstring& languageCode) override;
  void HideOsd() override { osd_.HideNotice(); }
  ui::Rgb SkinAccent(const std::wstring& skinFolder) override { return SkinAccentQt(skinFolder); }
  // Timers, posts, choosers and dialogs.
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
  // The device, the front window and the profile folder.
  void RouteDeviceEvents() override;
  void StartReader(bool run) override;
  void ResumeReader() override;
  bool StartDeviceNotifications() override;
  void StopDeviceNotifications() override;
  void StartFrontWatch() override;
  void StopFrontWatch() override;
  bool FrontWatchRunning() override { return front_.running(); }
  std::unique_ptr<FolderWatch> WatchFolder(std::function<void()> changed) override {
    return MakeSystemFolderWatch(std::move(changed));
  }

  void OnHidrawEvents();
  void FrontMaybeChanged();
  void StopReader();

  AppServices& services_;
  MessageSink& messages_;
  MainWindowQt window_;
  TrayQt tray_;
  OsdWindowQt osd_;
  X11ForegroundSource front_;
  bool dragAsked_ = false;
  MainLook look_;
  std::map<MainTimer, std::unique_ptr<QTimer>> timers_;

  std::thread reader_;
  bool readerHeld_ = false;
  std::atomic<bool> readerDone_{false};
  std::unique_ptr<HidrawMonitor> hidrawMonitor_;
  std::unique_ptr<QSocketNotifier> hidrawNotifier_;
  HidrawNodeNames hidrawNodes_;
  std::unique_ptr<SleepWatchQt> sleepWatch_;
  std::unique_ptr<DesktopNoticesQt> notices_;

  MainController controller_;
  PageHostQt pages_;
};

}  // namespace kovral
