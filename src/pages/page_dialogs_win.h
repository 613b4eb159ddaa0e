#pragma once
// The assignment and delay dialogs as the Win32 pages run them.
#include "dialogs/skin_dialog_win.h"
#include "pages/page_dialogs.h"

namespace kovral {

using CAssignmentDialogs = AssignmentDialogsOn<CSkinDialog, IDOK>;

}  // namespace kovral
