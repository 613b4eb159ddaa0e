#pragma once
// The assignment and delay dialogs as the Qt pages run them.
#include "dialogs/skin_dialog_qt.h"
#include "pages/page_dialogs.h"

namespace kovral {

using CAssignmentDialogs = AssignmentDialogsOn<CSkinDialog, kDialogOk>;

}  // namespace kovral
