#pragma once
// The program's names of its dialogs, over the skinned dialog `CSkinDialog`
// that each shell defines (skin_dialog_win.h, skin_dialog_qt.h): a file
// includes its shell's header and this one.
#include "dialogs/dialog_classes.h"

namespace kovral {

class CSkinDialog;

using CMediaDialog = MediaDialogOn<CSkinDialog>;
using CWindowsDialog = WindowsDialogOn<CSkinDialog>;
using CFireKeyDialog = FireKeyDialogOn<CSkinDialog>;
using CSingleDialog = SingleKeyDialogOn<CSkinDialog>;
using CComboDialog = ComboKeyDialogOn<CSkinDialog>;
using CDelayTimeDialog = DelayTimeDialogOn<CSkinDialog>;
using CMacroDialog = MacroKeyDialogOn<CSkinDialog>;
using CPreferencesDialog = PreferencesDialogOn<CSkinDialog>;
using CProfilesDialog = ProfilesDialogOn<CSkinDialog>;

}  // namespace kovral
