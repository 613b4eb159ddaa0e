#include "app/main_controller.h"

#include <filesystem>

#include "app/app_globals.h"
#include "app/profile_transfer.h"
#include "app/shell_opener.h"
#include "app/start_with_windows.h"
#include "device/apply_and_save.h"
#include "device/protocol.h"
#include "lang/messages.h"
#include "pages/page_click.h"
#include "profiles/profile_menu.h"
#include "settings/app_paths.h"
#include "ui/skin_files.h"
#include "ui/skin_path.h"

namespace kovral {

MainController::MainController(AppServices& services, MessageSink& messages, MainShell& shell,
                               ForegroundSource& front)
    : services_(services),
      messages_(messages),
      shell_(shell),
      link_(*services.hid, messages, *services.clock),
      // The paths are fixed for the run; the settings exist from the start so
      // that a start-up stopped early still leaves a usable (empty) state.
      settings_(std::make_unique<SettingsSession>(services.paths ? *services.paths : PathsFromModulePath(ModulePath()),
                                                  *services.ini, *services.files, messages)),
      texts_(&MainTextsFor(UiLanguage::English)),
      foregroundWatch_(front),
      pointer_(*services.pointer, messages) {}

// ---------------------------------------------------------------------------
// Start-up

// The tray icon comes first, so that even a start stopped early can be
// ended from it. On a desktop without a notification area the program would
// run where nobody can reach it: with the mouse there the start shows the
// window, as a click on the icon would (without it the start has just said
// so), and a second start shows it again once it is hidden.
void MainController::Start() {
  shell_.AddTrayIcon(texts_->trayTip);
  if (StartDevice()) {
    LoadSettingsAndSkin();
    StartFollowing();
  }
  // The handshake's notice came before any text existed; now it can be shown.
  for (const DeviceNotice& notice : heldNotices_.Release()) ShowNotice(notice);
  if (!shell_.HasNotificationArea() && link_.ready != 0) OnTrayClick(TrayClick::Left);
}

void MainController::OnTaskbarCreated() { shell_.AddTrayIcon(texts_->trayTip); }

// The trace is flushed after every write, so a reader sees each exchange
// while the program runs, and nothing is lost when Exit ends the process.
void MainController::OpenTrace() {
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

// The reader waits on the read event, so without one nothing else can run.
// It starts held while the mouse is missing; the first arrival that leaves
// the link ready lets it run.
bool MainController::StartDevice() {
  OpenTrace();
  shell_.RouteDeviceEvents();
  ConnectDevice(link_);
  if (!CreateReadEvent(link_)) return false;
  shell_.StartReader(link_.ready != 0);
  if (!shell_.StartDeviceNotifications()) {
    messages_.Show(kMsgDeviceNotificationFailed, L"");
    return false;
  }
  return true;
}

void MainController::LoadSettingsAndSkin() {
  settings_->Load();
  // A new installation follows the system's language, and says so in the
  // str.ini it starts, since a str.ini without "Lan" means English; it also
  // writes what the Windows installation's str.ini holds, the Default skin
  // and white text, since a Linux user's first start has no such file and
  // without colours the text is black, unreadable on the dark skins.
  const bool strIniExisted = services_.files->Exists(settings_->paths().strIni);
  languageChoice_ = StartLanguageChoice(strIniExisted, settings_->ReadLanguageCode());
  if (!strIniExisted) {
    WriteLanguageCode(*services_.ini, settings_->paths().strIni, LanguageChoiceCode(languageChoice_));
    WriteSkinChoice(*services_.ini, settings_->paths().strIni, {255, 255, 255}, kDefaultSkinName);
  }
  language_ = EffectiveLanguage(languageChoice_, shell_.SystemLanguageId());
  languageCode_ = LanguageCode(language_);
  texts_ = &MainTextsFor(language_);
  settings_->SetLanguage(language_);
  settings_->ReadInterfaceSettings();
  ReloadNoticePreferences();

  // The window takes its size from "/main.png": one that is there but cannot
  // be read counts as missing, or the window would be 0 by 0.
  const StartSkin skin =
      ChooseStartSkin(SkinsHomes(), settings_->ui.skinName, [this](const std::wstring& path) {
        if (!services_.files->Exists(path)) return false;
        return !path.ends_with(skin::kMain) || shell_.PictureReadable(path);
      });
  if (skin.fellBack) messages_.Show(texts_->skinIncomplete, kCaptionWarning);
  Globals().languageCode = languageCode_;
  shell_.TakeWindowPicture(skin.folder, languageCode_);

  const TextColorBytes color = TextColorFromSettings(settings_->ui);
  UseSkin(skin.folder, skin.name, {color.red, color.green, color.blue});
  if (link_.ready != 0) shell_.ShowPage(kBasicPage);
}

std::vector<std::wstring> MainController::SkinsHomes() const {
  if (!services_.skinsHomes.empty()) return services_.skinsHomes;
  return {settings_->paths().directory};
}

// The skin and text colour every window draws with from now on: the
// controller's own, the globals every dialog reads, and the pages' look.
void MainController::UseSkin(const std::wstring& folder, const std::wstring& name, ui::Rgb color, bool newFonts) {
  skinFolder_ = folder;
  skinName_ = name;
  textColor_ = color;
  AppGlobals& globals = Globals();
  globals.SkinFolder = folder;
  globals.TextColor = color;
  globals.skinName = name;
  shell_.SetLook({skinFolder_, textColor_, skinName_, texts_, languageCode_}, newFonts);
}

// ---------------------------------------------------------------------------
// The end

// Closes the device and removes the icon. The read event stays: the reader
// may be waiting on it, and it ends with the process a moment later.
void MainController::ShutdownCleanup() {
  libraryReader_.reset();  // it announces its listings through the shell
  shell_.HideOsd();
  CloseDevice(link_);
  shell_.StopDeviceNotifications();
  shell_.RemoveTrayIcon();
}

void MainController::ExitProgram() {
  if (following_) following_->Leave(link_, image_);
  ShutdownCleanup();
  shell_.EndProcess();
}

void MainController::Shutdown() { ShutdownCleanup(); }

// The process ends once this returns, so the mouse gets the Desktop settings
// back now, as at Exit.
void MainController::OnEndSession() {
  if (following_) following_->Leave(link_, image_);
  ShutdownCleanup();
}

// ---------------------------------------------------------------------------
// The window

// Every step of the chain runs but Exit; a page part no element took drags
// the window, so a press on a bare spot moves it while the button is held.
void MainController::OnLeftClick(layout::Point pt) {
  for (ClickStep step : RouteCommonClick(pt, shell_.pageState().CurrentPage, link_.ready != 0)) {
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
        shell_.HideMainWindow();
        break;
      case ClickStep::RunSkinChoice:
        RunSkinChoice();
        break;
      case ClickStep::ExitProgram:
        ExitProgram();
        return;
      case ClickStep::ShowBasicPage:
        shell_.ShowPage(kBasicPage);
        break;
      case ClickStep::ShowAdvancedPage:
        shell_.ShowPage(kAdvancedPage);
        break;
      case ClickStep::RevertConfig:
        CancelEdits(*settings_, pointer_);
        shell_.pageState().ReloadPending = true;
        break;
      case ClickStep::OpenWebLink:
        services_.shell->Open(texts_->webLink);
        break;
      case ClickStep::BasicPagePart:
      case ClickStep::AdvancedPagePart:
        if (!shell_.PageClick(pt)) shell_.DragWindow();
        break;
      case ClickStep::Drag:
        shell_.DragWindow();
        break;
    }
  }
}

// The window's settings go where they came from: config.bin for the
// Desktop settings, the file of the profile the window shows.
void MainController::SendAndSave() {
  shell_.CommitEdits();
  if (!following_) {
    ApplyAndSave(link_, image_, *settings_);
    return;
  }
  applying_ = true;
  following_->ApplyAndSave(link_, image_, *texts_);
  applying_ = false;
  // A front change during the Apply is sent once the click is through.
  shell_.PostLater(LaterWork::LookAtFront);
}

// The skin chooser. After OK the choice is kept in str.ini and the shown
// page is made again in the new skin and colour; the window keeps the size
// and the picture it took from the skin it started with.
void MainController::RunSkinChoice() {
  const std::optional<SkinChoice> chosen =
      shell_.RunSkinsDialog(DialogEnvironment{skinFolder_, textColor_, languageCode_}, skinName_);
  if (chosen) {
    shell_.CommitEdits();
    settings_->SaveSkinChoice({chosen->color.red, chosen->color.green, chosen->color.blue}, chosen->name);
    UseSkin(chosen->folder, chosen->name, chosen->color);
    shell_.RebuildPage();
  }
  // The window stayed with the chooser; without the mouse it goes now.
  if (link_.ready == 0) {
    HideWithoutMouse();
    return;
  }
  if (chosen) shell_.BringToFront();
}

// The dialogs that change the record end as cancelled: the record stays
// hidden until the mouse is back, and an OK given meanwhile would change it
// unseen. A dialog that needs no mouse (the skin chooser, the Profiles
// dialog) stays open, and the window stays under it until it closes.
void MainController::HideWithoutMouse() {
  if (!shell_.CancelDeviceDialogs()) shell_.HideMainWindow();
}

void MainController::OnTimer(MainTimer timer) {
  switch (timer) {
    case MainTimer::FrontCheck:
      OnFrontMaybeChanged();
      break;
    case MainTimer::SwitchRetry:
      RetryFailedSwitch();
      break;
    case MainTimer::MouseArrived:
      OnMouseSettled();
      break;
  }
}

void MainController::OnLater(LaterWork work) {
  switch (work) {
    case LaterWork::LookAtFront:
      OnFrontMaybeChanged();
      break;
    case LaterWork::TakeListing:
      OnLibraryRead();
      break;
  }
}

// ---------------------------------------------------------------------------
// The device

void MainController::OnDeviceNotice(uint32_t code, uint32_t value) {
  // With the on-screen display's note, the trace tells how long a notice
  // takes to reach the screen.
  if (trace_) trace_->Note("notice " + std::to_string(code) + " " + std::to_string(value));
  // Each of the mouse's collections comes and goes on its own and each
  // re-opens the link, which tells what it found every time: a plug or an
  // unplug would pile up as many toasts as the mouse has collections. A
  // click on the icon without the mouse is answered every time.
  if (code == kNoticeMouseFound || code == kNoticeMouseMissing) {
    const bool found = code == kNoticeMouseFound;
    if (inDeviceEvent_ && presenceTold_ == found) return;
    presenceTold_ = found;
  }
  const DeviceNotice notice{code, value};
  if (!heldNotices_.Hold(notice)) ShowNotice(notice);
}

// Each collection of the mouse arrives and leaves on its own, and each one
// re-opens the link.
void MainController::OnDeviceEvent(const DeviceEvent& event) {
  inDeviceEvent_ = true;
  const DeviceChangeResult result =
      HandleDeviceChange(link_, image_, event.arrived ? protocol::kDeviceArrival : protocol::kDeviceRemoveComplete,
                         protocol::kDeviceTypeInterface, event.interfaceName);
  inDeviceEvent_ = false;
  AfterDeviceChange(result);
}

// A link that died in the sleep goes the way of a removal and an arrival at
// once: the notices are told as for one plug (only a change of presence),
// the window goes without the mouse, and the profiles are sent again once
// the mouse has settled.
void MainController::OnSystemResumed() {
  if (trace_) trace_->Note("resumed");
  inDeviceEvent_ = true;
  const DeviceChangeResult result = CheckLinkAfterWake(link_, image_);
  inDeviceEvent_ = false;
  AfterDeviceChange(result);
}

void MainController::AfterDeviceChange(const DeviceChangeResult& result) {
  if (result.hideWindow) HideWithoutMouse();
  if (result.reopened) OnMouseChanged();
  if (result.resumeReader) shell_.ResumeReader();
}

// ---------------------------------------------------------------------------
// The notification area

void MainController::OnTrayClick(TrayClick click) {
  const TrayDecision decision = DecideTrayClick(click, link_.ready != 0, shell_.pageState());
  switch (decision.action) {
    case TrayAction::Ignore:
      break;
    case TrayAction::WarnNotDetected:
      OnDeviceNotice(static_cast<uint32_t>(kNoticeMouseMissing), 0);
      break;
    case TrayAction::ShowWindow:
      switch (decision.prepare) {
        case TrayPagePrepare::None:
          break;
        case TrayPagePrepare::Rebuild:
          shell_.RebuildPage();
          break;
        case TrayPagePrepare::ShowBasic:
          shell_.ShowPage(kBasicPage);
          break;
      }
      shell_.BringToFront();
      break;
    case TrayAction::ShowMenu:
      ShowTrayMenu();
      break;
  }
}

// The skin is chosen last in reading the settings at start.
bool MainController::SettingsRead() const { return !skinFolder_.empty(); }

StartupPlace MainController::StartupPlaceOfKey() const {
  return services_.runKey ? services_.runKey->place() : StartupPlace::Windows;
}

bool MainController::StartsWithWindows() const {
  return services_.runKey && kovral::StartsWithWindows(*services_.runKey, ModulePath());
}

// Without a notification area the window is where the tray's menu (Profiles,
// Export, Import, Preferences, Exit …) is found; with one, a right click on
// the window does nothing, as always.
void MainController::OnWindowContextMenu() {
  if (!shell_.HasNotificationArea()) ShowTrayMenu();
}

// A dialog of the program disables the window while it is up; the menu's
// items that would change the record under it are greyed then.
void MainController::ShowTrayMenu() {
  TrayMenuState state;
  state.idle = !shell_.DialogUp();
  state.mousePresent = link_.ready != 0;
  state.settingsRead = SettingsRead();
  state.startsWithWindows = StartsWithWindows();
  state.startupPlace = StartupPlaceOfKey();
  if (following_) {
    // The reader's last listing, which it keeps up with the folder: the menu
    // opens at once however many profiles there are. Kept as shown, since a
    // newer listing may come while the menu is open.
    menuListing_ = following_->listing();
    state.profiles = ProfilesMenuState{&menuListing_,         following_->follower().active(),
                                       switchSettings_.automatic, switchSettings_.notices,
                                       link_.ready != 0,      state.idle};
  }
  if (const std::optional<uint32_t> command = shell_.PopUpMenu(BuildTrayMenu(*texts_, state)))
    OnMenuCommand(*command);
}

bool MainController::OnMenuCommand(uint32_t command) {
  switch (command) {
    case kTrayMenuExitCommand:
      ExitProgram();
      return true;
    case kTrayMenuExportProfileCommand:
      if (SettingsRead()) ExportProfile();
      return true;
    case kTrayMenuImportProfileCommand:
      if (SettingsRead()) ImportProfile();
      return true;
    case kTrayMenuStartWithWindowsCommand:
      if (services_.runKey) ChangeStartWithWindows(!StartsWithWindows());
      return true;
    case kTrayMenuPreferencesCommand:
      // The menu item is greyed while a dialog is up; a command already on
      // its way is dropped the same way.
      if (!shell_.DialogUp() && SettingsRead()) RunPreferences();
      return true;
    default:
      break;
  }
  const bool profiles = (command >= kProfilesMenuDesktopCommand && command <= kProfilesMenuManageCommand) ||
                        (command >= kProfilesMenuFirstProfileCommand &&
                         command < kProfilesMenuFirstProfileCommand + kProfilesMenuProfileLimit);
  return profiles && OnProfilesMenuCommand(command);
}

// What the window shows, as a profile file.
void MainController::ExportProfile() {
  shell_.CommitEdits();
  const std::optional<std::wstring> file = shell_.ChooseFile(ProfileFileChoice(*texts_, true), true);
  if (file) ExportSessionProfile(*settings_, *file, *texts_, following_.get());
}

// The imported profile is shown as edits of the window, which opens on it;
// Apply sends it to the mouse and saves it.
void MainController::ImportProfile() {
  if (!link_.ready) return;
  const std::optional<std::wstring> file = shell_.ChooseFile(ProfileFileChoice(*texts_, false), false);
  if (!file) return;
  PageState& pages = shell_.pageState();
  // The first showing of the basic page gives a first run its factory
  // texts; done now, it cannot overwrite the imported ones afterwards.
  if (!pages.SettingsReadOnce) shell_.ShowPage(kBasicPage);
  std::wstring libraryNote;
  if (!ImportSessionProfile(*settings_, *file, *texts_, &libraryNote)) return;
  // A profile kept with its programs is followed from now on.
  RefreshLibrary();
  pages.ReloadPending = false;
  if (pages.CurrentPage == kBasicPage || pages.CurrentPage == kAdvancedPage)
    shell_.RebuildPage();
  else
    shell_.ShowPage(kBasicPage);
  shell_.BringToFront();
  messages_.Show(libraryNote.empty() ? std::wstring(texts_->profileImported)
                                     : std::wstring(texts_->profileImported) + L"\n\n" + libraryNote,
                 L"");
}

}  // namespace kovral
