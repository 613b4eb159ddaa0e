#pragma once
// The Preferences dialog of the Win32 shell (dialog_classes.h).
#include "dialogs/dialog_classes.h"
#include "dialogs/skin_dialog_win.h"

namespace kovral {

using CPreferencesDialog = PreferencesDialogOn<CSkinDialog>;

}  // namespace kovral
