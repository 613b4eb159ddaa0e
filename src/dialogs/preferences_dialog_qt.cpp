#include "dialogs/preferences_dialog_qt.h"

namespace kovral {

CPreferencesDialog::CPreferencesDialog(DialogEnvironment environment, PreferencesChoice current,
                                       std::function<void(OsdPosition)> showSample)
    : PreferencesResult{current},
      CSkinDialog(std::make_unique<PreferencesDialogModel>(std::move(environment), chosen, std::move(showSample))) {}

}  // namespace kovral
