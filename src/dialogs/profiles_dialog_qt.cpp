#include "dialogs/profiles_dialog_qt.h"

#include "profiles/foreground_watch_qt.h"

namespace kovral {

CProfilesDialog::CProfilesDialog(DialogEnvironment environment, ProfilesDialogServices services)
    : CSkinDialog(std::make_unique<ProfilesDialogModel>(std::move(environment), std::move(services), [] {
        X11ForegroundSource windows;
        return windows.OpenWindows();
      })) {}

}  // namespace kovral
