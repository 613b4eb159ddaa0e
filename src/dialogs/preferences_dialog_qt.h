#pragma once
// The Preferences dialog of the Qt shell (dialog_classes.h).
#include "dialogs/dialog_classes.h"
#include "dialogs/skin_dialog_qt.h"

namespace kovral {

using CPreferencesDialog = PreferencesDialogOn<CSkinDialog>;

}  // namespace kovral
