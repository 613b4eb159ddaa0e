#pragma once
// The Profiles dialog: the profiles of the library with their programs and
// which one the mouse holds; the current settings saved under a typed name,
// a program added (from the file dialog or the windows open now) or removed,
// a profile renamed or deleted. Each action changes the folder at once and
// tells the program, which reads the library again; OK and Cancel close.
#include "dialogs/profiles_view.h"
#include "dialogs/skin_dialog_qt.h"

namespace kovral {

class CProfilesDialog final : public CSkinDialog {
 public:
  CProfilesDialog(DialogEnvironment environment, ProfilesDialogServices services);
};

}  // namespace kovral
