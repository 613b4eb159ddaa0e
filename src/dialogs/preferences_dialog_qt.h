#pragma once
// The Preferences dialog of the Qt shell (the model: preferences_view.h).
// The caller reads `chosen` after OK and carries it out.
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
