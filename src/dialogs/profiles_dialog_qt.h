#pragma once
// The Profiles dialog of the Qt shell (the model: profiles_view.h); its
// "windows open now" are those of the X display.
#include "dialogs/profiles_view.h"
#include "dialogs/skin_dialog_qt.h"

namespace kovral {

class CProfilesDialog final : public CSkinDialog {
 public:
  CProfilesDialog(DialogEnvironment environment, ProfilesDialogServices services);
};

}  // namespace kovral
