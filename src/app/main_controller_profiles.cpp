// The main window's part in profiles following the program in front: the
// watch of the front window, the switch that is due and its notice, the
// retry of one that failed, the tray's Profiles submenu and the Profiles
// dialog, wired to the rule and the switching in src/profiles.
#include "app/main_controller.h"
#include "app/profile_transfer.h"
#include "lang/language.h"
#include "lang/notices.h"
#include "lang/text_format.h"
#include "profiles/profile_menu.h"
#include "settings/app_paths.h"
#include "settings/text_encoding.h"
#include "ui/skin_path.h"

namespace kovral {

// After the handshake and the settings: a program already in front gets its
// profile now.
void MainController::StartFollowing() {
  library_ = std::make_unique<ProfileLibrary>(*services_.files, settings_->paths().directory + kProfileFolderName);
  following_ = std::make_unique<ProfileFollowing>(*settings_, *library_);
  switchSettings_ = ReadSwitchSettings(*services_.ini, settings_->paths().strIni);
  following_->follower().SetAutomatic(switchSettings_.automatic);
  // The first listing comes a moment later; without a thread the start reads it itself.
  auto reader = std::make_unique<LibraryReader>(*services_.files, library_->Folder(),
                                                [this] { shell_.PostLater(LaterWork::TakeListing); });
  if (std::unique_ptr<FolderWatch> watch = shell_.WatchFolder([r = reader.get()] { r->FolderChanged(); })) {
    reader->Start(std::move(watch));
    libraryReader_ = std::move(reader);
  } else {
    following_->Reload();
  }
  // A switch never landed while the window showed a profile, so the
  // Desktop settings are shown; whether the mouse holds them the marker says.
  if (link_.ready != 0) following_->follower().MouseArrived();
  UpdateForegroundWatch();
  OnFrontMaybeChanged();
}

void MainController::RefreshLibrary() {
  if (!following_) return;
  if (libraryReader_) return libraryReader_->Request();
  following_->Reload();
  TellUnreadableProfiles();
  UpdateForegroundWatch();
  OnFrontMaybeChanged();
}

// A program a new profile names may be in front already.
void MainController::OnLibraryRead() {
  if (!following_ || !libraryReader_) return;
  std::optional<ProfileListing> listing = libraryReader_->Take();
  if (!listing) return;
  following_->Take(std::move(*listing));
  TellUnreadableProfiles();
  UpdateForegroundWatch();
  OnFrontMaybeChanged();
}

// The front is watched only while a profile names a program.
void MainController::UpdateForegroundWatch() {
  if (following_ && following_->NeedsWatch()) {
    shell_.StartFrontWatch();
  } else {
    shell_.StopFrontWatch();
    // When the watch starts again the front it finds counts as a change.
    foregroundWatch_.Forget();
  }
}

void MainController::LookAtFront() {
  if (!following_ || !shell_.FrontWatchRunning()) return;
  if (const std::optional<FrontWindow> front = foregroundWatch_.Check()) following_->follower().FrontChanged(*front);
}

void MainController::OnFrontMaybeChanged() {
  LookAtFront();
  SendDueSwitch();
}

// Tells the rule what holds a switch back, then sends the one that is due.
void MainController::SendDueSwitch() {
  if (!following_ || link_.ready == 0) return;
  ProfileFollower& follower = following_->follower();
  follower.SetDialogUp(shell_.DialogUp());
  follower.SetListOpen(shell_.ListOpen());
  follower.SetApplyRunning(applying_);
  if (!follower.Due()) return;
  // A value typed into the page and not yet taken stays an edit of the
  // settings it was typed for.
  shell_.CommitEdits();
  const std::optional<SwitchOutcome> outcome = following_->SendDue(link_, image_);
  if (!outcome) return;
  if (outcome->windowChanged && shell_.pageState().CurrentPage != kNoPage) shell_.RebuildPage();
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
    shell_.StartTimer(MainTimer::SwitchRetry, kSwitchRetryDelayMs);
    TellInGame(SwitchFailedBalloon(language_, outcome->target.desktop ? L"" : outcome->target.profile));
    switchFailureTold_ = true;
  }
}

void MainController::RetryFailedSwitch() {
  shell_.StopTimer(MainTimer::SwitchRetry);
  // What is wanted may have changed meanwhile, which needs no retry.
  if (following_ && following_->follower().Retry()) OnFrontMaybeChanged();
}

// Profiles found unreadable since the last look, one balloon each.
void MainController::TellUnreadableProfiles() {
  if (!following_) return;
  for (const UnreadableProfile& profile : following_->TakeUnreadable())
    shell_.ShowBalloon(ProfileUnreadableBalloon(language_, profile.name, FromUtf8(profile.problem)));
}

void MainController::OnDialogsEnded() { shell_.PostLater(LaterWork::LookAtFront); }

// Each of the mouse's collections arrives on its own and re-opens the link;
// the switch waits until they have all come.
void MainController::OnMouseChanged() {
  if (!following_) return;
  if (link_.ready == 0) {
    following_->follower().MouseLeft();
    shell_.StopTimer(MainTimer::MouseArrived);
    return;
  }
  shell_.StartTimer(MainTimer::MouseArrived, kMouseSettleMs);
}

void MainController::OnMouseSettled() {
  shell_.StopTimer(MainTimer::MouseArrived);
  if (following_ && link_.ready != 0) following_->follower().MouseArrived();
  OnFrontMaybeChanged();
}

bool MainController::OnProfilesMenuCommand(uint32_t command) {
  if (!following_) return true;
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
void MainController::RunProfilesDialog() {
  if (!following_) return;
  shell_.RunProfilesDialog(DialogLook(), ProfilesDialogServices{*library_, services_.fileChooser,
                                                                [this] {
                                                                  shell_.CommitEdits();
                                                                  return ShownSessionProfile(*settings_,
                                                                                             following_.get());
                                                                },
                                                                [this] { return following_->follower().active(); },
                                                                [this] { RefreshLibrary(); }});
  if (link_.ready == 0) HideWithoutMouse();  // the window stayed with the dialog
  RefreshLibrary();
  OnFrontMaybeChanged();
}

}  // namespace kovral
