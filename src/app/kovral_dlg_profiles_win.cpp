// The main dialog's part in profiles following the program in front: the
// foreground hook and check, the tray's Profiles submenu and the Profiles
// dialog, wired to the rule and the switching in src/profiles.
#include "app/kovral_dlg_win.h"
#include "app/main_window_win.h"
#include "app/profile_transfer.h"
#include "dialogs/profiles_dialog_win.h"
#include "profiles/profile_menu.h"
#include "lang/language.h"
#include "lang/notices.h"
#include "lang/text_format.h"
#include "settings/text_encoding.h"
#include "settings/app_paths.h"
#include "settings/ui_settings.h"
#include "ui/skin_path.h"
#include "ui/window_win.h"

namespace kovral {

// After the handshake and the settings: a program already in front gets its
// profile now.
void CKovralDlg::StartFollowing() {
  library_ = std::make_unique<ProfileLibrary>(*services_.files, settings_->paths().directory + kProfileFolderName);
  following_ = std::make_unique<ProfileFollowing>(*settings_, *library_);
  switchSettings_ = ReadSwitchSettings(*services_.ini, settings_->paths().strIni);
  following_->follower().SetAutomatic(switchSettings_.automatic);
  // The first listing comes a moment later; without a thread the start reads it itself.
  libraryReader_ = std::make_unique<LibraryReader>(*services_.files, library_->Folder());
  if (!libraryReader_->Start(hwnd_, WM_LIBRARY_READ)) {
    libraryReader_.reset();
    following_->Reload();
  }
  // A switch never landed while the window showed a profile, so the
  // Desktop settings are shown; whether the mouse holds them the marker says.
  if (link_.ready != 0) following_->follower().MouseArrived();
  UpdateForegroundWatch();
  OnFrontMaybeChanged(0, 0);
}

void CKovralDlg::RefreshLibrary() {
  if (!following_) return;
  if (libraryReader_) return libraryReader_->Request();
  following_->Reload();
  TellUnreadableProfiles();
  UpdateForegroundWatch();
  OnFrontMaybeChanged(0, 0);
}

// A program a new profile names may be in front already.
LRESULT CKovralDlg::OnLibraryRead(WPARAM, LPARAM) {
  if (!following_ || !libraryReader_) return 0;
  std::optional<ProfileListing> listing = libraryReader_->Take();
  if (!listing) return 0;
  following_->Take(std::move(*listing));
  TellUnreadableProfiles();
  UpdateForegroundWatch();
  OnFrontMaybeChanged(0, 0);
  return 0;
}

void CKovralDlg::UpdateForegroundWatch() {
  if (following_ && following_->NeedsWatch()) {
    foregroundHook_.Start(reinterpret_cast<uintptr_t>(hwnd_), WM_FRONT_MAYBE_CHANGED, kFrontCheckTimer);
  } else {
    foregroundHook_.Stop();
    // When the watch starts again the front it finds counts as a change.
    foregroundWatch_.Forget();
  }
}

void CKovralDlg::LookAtFront() {
  if (!following_ || !foregroundHook_.running()) return;
  if (const std::optional<FrontWindow> front = foregroundWatch_.Check()) following_->follower().FrontChanged(*front);
}

LRESULT CKovralDlg::OnFrontMaybeChanged(WPARAM, LPARAM) {
  LookAtFront();
  SendDueSwitch();
  return 0;
}

void CKovralDlg::SendDueSwitch() {
  if (!following_ || link_.ready == 0) return;
  ProfileFollower& follower = following_->follower();
  // A dialog of the program disables the main window while it is up.
  follower.SetDialogUp(!IsWindowEnabled(hwnd_));
  follower.SetListOpen(ui::AnyWatchedListShown(hwnd_));
  follower.SetApplyRunning(applying_);
  if (!follower.Due()) return;
  // A value typed into the page and not yet taken stays an edit of the
  // settings it was typed for.
  pages_.CommitEdits();
  const std::optional<SwitchOutcome> outcome = following_->SendDue(link_, image_);
  if (!outcome) return;
  if (outcome->windowChanged && pages_.state().CurrentPage != kNoPage) pages_.Rebuild();
  if (!outcome->macroFileFailed.empty())
    messages_.Show(FormatText(texts_->settingsSaveFailed, outcome->macroFileFailed), kCaptionWarning);
  if (!outcome->problem.empty()) {
    TellUnreadableProfiles();
    return;
  }
  if (outcome->sent) {
    if (switchSettings_.notices || switchFailureTold_)
      TellInGame(ProfileFollowing::NoticeBalloon(*texts_, outcome->target));
    switchFailureTold_ = false;
    return;
  }
  // The mouse holds a mix of two records now. The switch is tried once more
  // shortly (whole, as the link forgot what it sent); the user hears of the
  // failure once, not again if the retry fails too.
  if (follower.RetryDue()) {
    SetTimer(hwnd_, kSwitchRetryTimer, kSwitchRetryDelayMs, nullptr);
    TellInGame(SwitchFailedBalloon(language_, outcome->target.desktop ? L"" : outcome->target.profile));
    switchFailureTold_ = true;
  }
}

void CKovralDlg::RetryFailedSwitch() {
  KillTimer(hwnd_, kSwitchRetryTimer);
  // What is wanted may have changed meanwhile, which needs no retry.
  if (following_ && following_->follower().Retry()) OnFrontMaybeChanged(0, 0);
}

void CKovralDlg::TellUnreadableProfiles() {
  if (!following_) return;
  for (const UnreadableProfile& profile : following_->TakeUnreadable())
    ShowBalloon(ProfileUnreadableBalloon(language_, profile.name, FromUtf8(profile.problem)));
}

// A dialog ended: what it held back is sent now.
LRESULT CKovralDlg::OnEnable(WPARAM enabled, LPARAM) {
  if (enabled) PostMessageW(hwnd_, WM_FRONT_MAYBE_CHANGED, 0, 0);
  return 0;
}

// Each of the mouse's collections arrives on its own and re-opens the link;
// the switch waits until they have all come.
void CKovralDlg::OnMouseChanged() {
  if (!following_) return;
  if (link_.ready == 0) {
    following_->follower().MouseLeft();
    KillTimer(hwnd_, kMouseArrivedTimer);
    return;
  }
  SetTimer(hwnd_, kMouseArrivedTimer, 500, nullptr);
}

void CKovralDlg::AppendProfilesMenu(HMENU menu) {
  HMENU submenu = CreatePopupMenu();
  if (!submenu || !following_) {
    if (submenu) DestroyMenu(submenu);
    return;
  }
  // The reader's last listing, which it keeps up with the folder: the menu
  // opens at once however many profiles there are. Kept as shown, since a
  // newer listing may come while the menu is open.
  menuListing_ = following_->listing();
  const ProfilesMenuState state{&menuListing_,
                                following_->follower().active(),
                                switchSettings_.automatic,
                                switchSettings_.notices,
                                link_.ready != 0,
                                IsWindowEnabled(hwnd_) != FALSE};
  for (const ProfilesMenuEntry& entry : ProfilesMenu(*texts_, state)) {
    const UINT flags =
        MF_STRING | (entry.checked ? MF_CHECKED : MF_UNCHECKED) | (entry.enabled ? MF_ENABLED : MF_GRAYED);
    AppendMenuW(submenu, flags, entry.command, entry.text.c_str());
  }
  AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), texts_->trayProfiles);
}

bool CKovralDlg::OnProfilesMenuCommand(int id, int) {
  if (!following_) return true;
  const auto command = static_cast<uint32_t>(id);
  if (command == kProfilesMenuAutomaticCommand || command == kProfilesMenuNoticesCommand) {
    SwitchSettings settings = switchSettings_;
    bool& value = command == kProfilesMenuAutomaticCommand ? settings.automatic : settings.notices;
    value = !value;
    ChangeSwitchSettings(settings);
    return true;
  }
  if (command == kProfilesMenuManageCommand) {
    RunProfilesDialog();
    return true;
  }
  if (const std::optional<SwitchTarget> target = ProfilesMenuTarget(command, menuListing_)) {
    // A front change not yet seen must not end the choice just made.
    LookAtFront();
    following_->follower().Choose(*target);
    SendDueSwitch();
  }
  return true;
}

// The library changes under the dialog; after each change the rule sees the
// folder anew, and a switch it makes due waits until the dialog is closed.
void CKovralDlg::RunProfilesDialog() {
  if (!following_) return;
  const std::wstring folder =
      OptionalPicturesFolder(settings_->paths().directory, skinFolder_,
                             [this](const std::wstring& path) { return services_.files->Exists(path); });
  ProfilesDialogServices services{
      *library_, services_.fileChooser,
      [this] {
        pages_.CommitEdits();
        return ShownSessionProfile(*settings_, following_.get());
      },
      [this] { return following_->follower().active(); },
      [this] { RefreshLibrary(); }};
  CProfilesDialog dialog(DialogEnvironment{folder, textColor_, languageCode_}, std::move(services));
  dialog.RunModal();
  if (link_.ready == 0) HideWithoutMouse();  // the window stayed with the dialog
  RefreshLibrary();
  OnFrontMaybeChanged(0, 0);
}

}  // namespace kovral
