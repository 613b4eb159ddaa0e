#pragma once
// The Win32 dialogs of the functions that need details (dialog_classes.h).
#include "dialogs/dialog_classes.h"
#include "dialogs/skin_dialog_win.h"

namespace kovral {

using CMediaDialog = MediaDialogOn<CSkinDialog>;
using CWindowsDialog = WindowsDialogOn<CSkinDialog>;
using CFireKeyDialog = FireKeyDialogOn<CSkinDialog>;
using CSingleDialog = SingleKeyDialogOn<CSkinDialog>;
using CComboDialog = ComboKeyDialogOn<CSkinDialog>;
using CDelayTimeDialog = DelayTimeDialogOn<CSkinDialog>;
using CMacroDialog = MacroKeyDialogOn<CSkinDialog>;

}  // namespace kovral
