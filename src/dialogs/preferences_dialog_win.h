#pragma once
// The Preferences dialog: the interface language, how and where notices
// are shown (with a sample where they will appear), and the switches the
// tray menu has too. The caller reads `chosen` after OK and carries it out
// (preferences_view.h decides what changed).
#include <functional>

#include "dialogs/preferences_view.h"
#include "dialogs/skin_dialog_win.h"

namespace kovral {

inline constexpr int kPreferencesLanguageStatic = 620;
inline constexpr int kPreferencesLanguageList = 621;

class CPreferencesDialog final : public CSkinDialog {
 public:
  // `showSample` shows a sample notice at a place, at once.
  CPreferencesDialog(DialogEnvironment environment, PreferencesChoice current,
                     std::function<void(OsdPosition)> showSample);

  PreferencesChoice chosen;

 protected:
  void CreateControls() override;
  void AddOwnTexts(Scene& scene) const override;
  bool OnFieldClick(layout::Point p) override;
  bool OnControlCommand(int id, int code) override;
  void OnWheel(int delta) override;

 private:
  void ChooseListedLanguage();

  const PreferencesTexts& texts_;
  std::function<void(OsdPosition)> showSample_;
  HWND languageText_ = nullptr;
};

}  // namespace kovral
