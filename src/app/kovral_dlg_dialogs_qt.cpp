// The main window's dialogs in the Qt shell, each modal over the window;
// once one ends, what it held back is sent.
#include "app/kovral_dlg_qt.h"
#include "dialogs/dialog_names.h"
#include "dialogs/skins_dialog_qt.h"

namespace kovral {

std::optional<SkinChoice> KovralDlgQt::RunSkinsDialog(const DialogEnvironment& environment,
                                                      const std::wstring& skinName) {
  CSkinsDialog dialog(environment, skinName, *services_.colors, services_.skinsHomes);
  const int ended = dialog.RunModal(&window_);
  controller_.OnDialogsEnded();
  if (ended != kDialogOk) return std::nullopt;
  return SkinChoice{dialog.chosenSkinFolder, dialog.chosenSkinName, dialog.chosenColor};
}

std::optional<PreferencesChoice> KovralDlgQt::RunPreferencesDialog(const DialogEnvironment& environment,
                                                                   const PreferencesChoice& current,
                                                                   std::function<void(OsdPosition)> showSample) {
  CPreferencesDialog dialog(environment, current, std::move(showSample));
  const int ended = dialog.RunModal(&window_);
  controller_.OnDialogsEnded();
  if (ended != kDialogOk) return std::nullopt;
  return dialog.chosen;
}

void KovralDlgQt::RunProfilesDialog(const DialogEnvironment& environment, ProfilesDialogServices services) {
  CProfilesDialog dialog(environment, std::move(services), [] { return X11ForegroundSource().OpenWindows(); });
  dialog.RunModal(&window_);
  controller_.OnDialogsEnded();
}

bool KovralDlgQt::CancelDeviceDialogs() {
  CSkinDialog::CancelDeviceDialogs();
  return CSkinDialog::AnyRunningOver(&window_);
}

}  // namespace kovral
