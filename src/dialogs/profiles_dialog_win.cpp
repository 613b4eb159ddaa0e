#include "dialogs/profiles_dialog_win.h"

#include "profiles/foreground_watch.h"

namespace kovral {

CProfilesDialog::CProfilesDialog(DialogEnvironment environment, ProfilesDialogServices services)
    : CSkinDialog(std::make_unique<ProfilesDialogModel>(std::move(environment), std::move(services), [] {
        Win32ForegroundSource windows;
        return windows.OpenWindows();
      })) {}

}  // namespace kovral
