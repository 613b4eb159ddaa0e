#pragma once
// What the Preferences dialog shows and decides, apart from its window: the
// choices, the tick boxes a click changes, its picture's texts and ticks,
// and what its OK stores and changes at once.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/skin_dialog.h"
#include "lang/dialog_texts.h"
#include "lang/language.h"
#include "settings/notice_preferences.h"
#include "settings/ui_settings.h"
#include "view/layout.h"
#include "view/scene.h"

namespace kovral {

struct PreferencesChoice {
  LanguageChoice language = LanguageChoice::System;
  NoticePreferences notices;
  bool startWithWindows = false;
  SwitchSettings switches;
  // How the system calls the start-up box; the dialog only shows it.
  StartupPlace startupPlace = StartupPlace::Windows;
  bool operator==(const PreferencesChoice&) const = default;
};

// The language list's entries in LanguageChoice order.
std::vector<std::wstring> LanguageEntries(const PreferencesTexts& texts);
std::wstring LanguageEntry(LanguageChoice choice, const PreferencesTexts& texts);

// A click on one of layout::preferences::Elements(): true when it changed
// the choice (the sample button changes nothing).
bool ClickPreference(PreferencesChoice& choice, const layout::Element& element);
bool IsTicked(const PreferencesChoice& choice, const layout::Element& element);

// The dialog's own part of its picture: the headings, the tick boxes as the
// choice has them, their texts, the chosen place's name and the sample button.
void AddPreferencesScene(Scene& scene, const PreferencesChoice& choice, const PreferencesTexts& texts,
                         ui::Rgb textColor, const LitTest& lit);

// What OK does with the choice the dialog opened with and the one it ends
// with: each part is stored only when it changed, and the interface is
// drawn anew only when the language it shows changes.
struct PreferencesOutcome {
  bool storeLanguage = false;
  bool switchLanguage = false;  // to `language`
  UiLanguage language = UiLanguage::English;
  bool storeNotices = false;
  bool setStartWithWindows = false;
  bool storeSwitches = false;
};
PreferencesOutcome DecidePreferencesOk(const PreferencesChoice& before, const PreferencesChoice& after,
                                       uint16_t systemLangId);

inline constexpr int kPreferencesLanguageStatic = 620;
inline constexpr int kPreferencesLanguageList = 621;

// The Preferences dialog: the interface language, how and where notices are
// shown (with a sample where they will appear) and the switches the tray
// menu has too. `chosen` starts as the current choice.
class PreferencesDialogModel final : public SkinDialogModel {
 public:
  // `showSample` shows a sample notice at a place, at once.
  PreferencesDialogModel(DialogEnvironment environment, PreferencesChoice& chosen,
                         std::function<void(OsdPosition)> showSample);
  void Open() override;

 private:
  void AddOwnTexts(Scene& scene) const override;
  void OnFieldClick(layout::Point p) override;
  void OnListChoice(int id, int index) override;

  PreferencesChoice& chosen_;
  const PreferencesTexts& texts_;
  std::function<void(OsdPosition)> showSample_;
};

}  // namespace kovral
