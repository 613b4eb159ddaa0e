// The main dialog's Preferences: the dialog from the tray menu, and the
// changes it and the tray items make at once (the interface language, the
// notices, starting with Windows, the profile switches).
#include "app/kovral_dlg_win.h"
#include "app/app_globals.h"
#include "app/main_window_win.h"
#include "app/start_with_windows.h"
#include "dialogs/preferences_dialog_win.h"
#include "lang/text_format.h"
#include "settings/app_paths.h"
#include "settings/ui_settings.h"
#include "ui/skin_path.h"
#include "ui/window_dpi_win.h"

namespace kovral {

void CKovralDlg::OnTrayPreferences() {
  // The menu item is greyed while a dialog is up; a command already on its
  // way is dropped the same way.
  if (!IsWindowEnabled(hwnd_) || skinFolder_.empty()) return;
  RunPreferences();
}

void CKovralDlg::RunPreferences() {
  const PreferencesChoice current{
      languageChoice_, ReadNoticePreferences(*services_.ini, settings_->paths().strIni),
      services_.runKey && StartsWithWindows(*services_.runKey, ModulePath()), switchSettings_};
  const std::wstring folder =
      OptionalPicturesFolder(settings_->paths().directory, skinFolder_,
                             [this](const std::wstring& path) { return services_.files->Exists(path); });
  CPreferencesDialog dialog(DialogEnvironment{folder, textColor_, languageCode_}, current,
                            [this](OsdPosition position) { ShowSampleNotice(position); });
  if (dialog.RunModal() != IDOK) return;
  const PreferencesChoice& chosen = dialog.chosen;
  const PreferencesOutcome outcome = DecidePreferencesOk(current, chosen, GetUserDefaultUILanguage());
  if (outcome.storeLanguage) {
    languageChoice_ = chosen.language;
    settings_->SaveLanguageChoice(chosen.language);
  }
  if (outcome.switchLanguage) SwitchLanguage(outcome.language);
  if (outcome.storeNotices) {
    if (!WriteNoticePreferences(*services_.ini, settings_->paths().strIni, chosen.notices))
      messages_.Show(FormatText(texts_->settingsSaveFailed, settings_->paths().strIni), kCaptionWarning);
    ReloadNoticePreferences();
  }
  if (outcome.setStartWithWindows) ChangeStartWithWindows(chosen.startWithWindows);
  if (outcome.storeSwitches) ChangeSwitchSettings(chosen.switches);
}

// As a skin change does: the pages are made again with the new texts and
// fonts, what was being edited stays an edit, and the next dialog, tray menu
// or notice reads the new language. The window keeps its picture and size.
void CKovralDlg::SwitchLanguage(UiLanguage language) {
  pages_.CommitEdits();
  language_ = language;
  languageCode_ = LanguageCode(language);
  texts_ = &MainTextsFor(language);
  Globals().languageCode = languageCode_;
  const bool factoryTexts = pages_.state().SettingsReadOnce && settings_->firstRunFlag == 0;
  if (following_)
    following_->SwitchLanguage(language, factoryTexts);
  else
    settings_->SwitchLanguage(language, factoryTexts);
  // The controls use the old fonts until the page gives them the new ones.
  const OwnedFont oldNormal = std::move(normalFont_);
  const OwnedFont oldTitle = std::move(titleFont_);
  MakeCanvasAndFonts(startSkinFolder_);
  UseSkin(skinFolder_, Globals().skinName, textColor_);
  ui::RescaleChildren(hwnd_, normalFont_.get());
  if (pages_.state().CurrentPage != kNoPage) pages_.Rebuild();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

// A Run key that refuses the change is said: the item's tick and the box
// would otherwise claim what Windows will not do.
bool CKovralDlg::ChangeStartWithWindows(bool on) {
  if (!services_.runKey) return false;
  if (SetStartWithWindows(*services_.runKey, ModulePath(), on)) return true;
  messages_.Show(texts_->startWithWindowsFailed, kCaptionWarning);
  return false;
}

void CKovralDlg::ChangeSwitchSettings(const SwitchSettings& settings) {
  switchSettings_ = settings;
  if (!WriteSwitchSettings(*services_.ini, settings_->paths().strIni, switchSettings_))
    messages_.Show(FormatText(texts_->settingsSaveFailed, settings_->paths().strIni), kCaptionWarning);
  if (!following_) return;
  following_->follower().SetAutomatic(switchSettings_.automatic);
  UpdateForegroundWatch();
  OnFrontMaybeChanged(0, 0);
}

}  // namespace kovral
