// The main window's Preferences: the dialog from the tray menu, and the
// changes it and the tray items make at once (the interface language, the
// notices, starting with Windows, the profile switches).
#include "app/app_globals.h"
#include "app/main_controller.h"
#include "app/start_with_windows.h"
#include "lang/text_format.h"
#include "settings/app_paths.h"
#include "ui/skin_path.h"

namespace kovral {

// The dialogs draw in the skin's pictures where it has them all.
DialogEnvironment MainController::DialogLook() const {
  const std::wstring folder =
      OptionalPicturesFolder(SkinsHomes(), skinFolder_,
                             [this](const std::wstring& path) { return services_.files->Exists(path); });
  return DialogEnvironment{folder, textColor_, languageCode_};
}

void MainController::RunPreferences() {
  const PreferencesChoice current{languageChoice_, ReadNoticePreferences(*services_.ini, settings_->paths().strIni),
                                  StartsWithWindows(), switchSettings_, StartupPlaceOfKey()};
  const std::optional<PreferencesChoice> chosen = shell_.RunPreferencesDialog(
      DialogLook(), current, [this](OsdPosition position) { ShowSampleNotice(position); });
  if (!chosen) return;
  const PreferencesOutcome outcome = DecidePreferencesOk(current, *chosen, shell_.SystemLanguageId());
  if (outcome.storeLanguage) {
    languageChoice_ = chosen->language;
    settings_->SaveLanguageChoice(chosen->language);
  }
  if (outcome.switchLanguage) SwitchLanguage(outcome.language);
  if (outcome.storeNotices) {
    if (!WriteNoticePreferences(*services_.ini, settings_->paths().strIni, chosen->notices))
      messages_.Show(FormatText(texts_->settingsSaveFailed, settings_->paths().strIni), kCaptionWarning);
    ReloadNoticePreferences();
  }
  if (outcome.setStartWithWindows) ChangeStartWithWindows(chosen->startWithWindows);
  if (outcome.storeSwitches) ChangeSwitchSettings(chosen->switches);
}

// As a skin change does: the pages are made again with the new texts and
// fonts, what was being edited stays an edit, and the next dialog, tray menu
// or notice reads the new language. The window keeps its picture and size.
void MainController::SwitchLanguage(UiLanguage language) {
  shell_.CommitEdits();
  language_ = language;
  languageCode_ = LanguageCode(language);
  texts_ = &MainTextsFor(language);
  Globals().languageCode = languageCode_;
  const bool factoryTexts = shell_.pageState().SettingsReadOnce && settings_->firstRunFlag == 0;
  if (following_)
    following_->SwitchLanguage(language, factoryTexts);
  else
    settings_->SwitchLanguage(language, factoryTexts);
  UseSkin(skinFolder_, skinName_, textColor_, true);
  if (shell_.pageState().CurrentPage != kNoPage) shell_.RebuildPage();
  shell_.RepaintWindow();
}

// A Run key that refuses the change is said: the item's tick and the box
// would otherwise claim what the system will not do.
bool MainController::ChangeStartWithWindows(bool on) {
  if (!services_.runKey) return false;
  if (SetStartWithWindows(*services_.runKey, ModulePath(), on)) return true;
  messages_.Show(StartWithFailedText(*texts_, StartupPlaceOfKey()), kCaptionWarning);
  return false;
}

void MainController::ChangeSwitchSettings(const SwitchSettings& settings) {
  switchSettings_ = settings;
  if (!WriteSwitchSettings(*services_.ini, settings_->paths().strIni, switchSettings_))
    messages_.Show(FormatText(texts_->settingsSaveFailed, settings_->paths().strIni), kCaptionWarning);
  if (!following_) return;
  following_->follower().SetAutomatic(switchSettings_.automatic);
  UpdateForegroundWatch();
  OnFrontMaybeChanged();
}

}  // namespace kovral
