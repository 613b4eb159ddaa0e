// The main dialog's timers, posts to itself, file chooser and the dialogs
// it runs for the controller.
#include "app/kovral_dlg_win.h"
#include "app/main_window_win.h"
#include "check/self_check_win.h"
#include "dialogs/dialog_names.h"
#include "dialogs/skins_dialog_win.h"

namespace kovral {
namespace {

UINT_PTR TimerId(MainTimer timer) {
  switch (timer) {
    case MainTimer::FrontCheck:
      return kFrontCheckTimer;
    case MainTimer::MouseArrived:
      return kMouseArrivedTimer;
    case MainTimer::SwitchRetry:
      break;
  }
  return kSwitchRetryTimer;
}

}  // namespace

void CKovralDlg::StartTimer(MainTimer timer, int ms) { SetTimer(hwnd_, TimerId(timer), static_cast<UINT>(ms), nullptr); }
void CKovralDlg::StopTimer(MainTimer timer) { KillTimer(hwnd_, TimerId(timer)); }

// The self-checks' timers share the window's.
LRESULT CKovralDlg::OnTimer(WPARAM timer, LPARAM) {
  for (MainTimer main : {MainTimer::FrontCheck, MainTimer::MouseArrived, MainTimer::SwitchRetry}) {
    if (timer == TimerId(main)) {
      controller_.OnTimer(main);
      return 0;
    }
  }
  OnSelfCheckTimer(hwnd_, timer);
  return 0;
}

// The front watch posts the same message on a front change.
// Posted from the library reader's thread too.
void CKovralDlg::PostLater(LaterWork work) {
  PostMessageW(hwnd_, work == LaterWork::TakeListing ? WM_LIBRARY_READ : WM_FRONT_MAYBE_CHANGED, 0, 0);
}

LRESULT CKovralDlg::OnLater(WPARAM, LPARAM) {
  controller_.OnLater(LaterWork::LookAtFront);
  return 0;
}

LRESULT CKovralDlg::OnEnable(WPARAM enabled, LPARAM) {
  if (enabled) controller_.OnDialogsEnded();
  return 0;
}

std::optional<std::wstring> CKovralDlg::ChooseFile(const FileChoice& choice, bool save) {
  if (!services_.fileChooser) return std::nullopt;
  return save ? services_.fileChooser->ChooseSave(hwnd_, choice) : services_.fileChooser->ChooseOpen(hwnd_, choice);
}

std::optional<SkinChoice> CKovralDlg::RunSkinsDialog(const DialogEnvironment& environment,
                                                     const std::wstring& skinName) {
  CSkinsDialog dialog(environment, skinName, *services_.colors);
  if (dialog.RunModal() != IDOK) return std::nullopt;
  return SkinChoice{dialog.chosenSkinFolder, dialog.chosenSkinName, dialog.chosenColor};
}

std::optional<PreferencesChoice> CKovralDlg::RunPreferencesDialog(const DialogEnvironment& environment,
                                                                  const PreferencesChoice& current,
                                                                  std::function<void(OsdPosition)> showSample) {
  CPreferencesDialog dialog(environment, current, std::move(showSample));
  if (dialog.RunModal() != IDOK) return std::nullopt;
  return dialog.chosen;
}

void CKovralDlg::RunProfilesDialog(const DialogEnvironment& environment, ProfilesDialogServices services) {
  CProfilesDialog dialog(environment, std::move(services), [] { return Win32ForegroundSource().OpenWindows(); });
  dialog.RunModal();
}

bool CKovralDlg::CancelDeviceDialogs() {
  ui::Dialog::CancelDeviceDialogs();
  return ui::Dialog::AnyRunningOver(hwnd_);
}

}  // namespace kovral
