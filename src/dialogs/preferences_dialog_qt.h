#pragma once
// The Preferences dialog: the interface language, how and where notices
// are shown (with a sample where they will appear), and the switches the
// tray menu has too. The caller reads `chosen` after OK and carries it out
// (preferences_view.h decides what changed).
#include <functional>

#include "dialogs/preferences_view.h"
#include "dialogs/skin_dialog_qt.h"

namespace kovral {

struct PreferencesResult {
  PreferencesChoice chosen;
};

class CPreferencesDialog final : public PreferencesResult, public CSkinDialog {
 public:
  // `showSample` shows a sample notice at a place, at once.
  CPreferencesDialog(DialogEnvironment environment, PreferencesChoice current,
                     std::function<void(OsdPosition)> showSample);
};

}  // namespace kovral
