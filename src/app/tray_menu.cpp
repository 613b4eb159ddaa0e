#include "app/tray_menu.h"

#include "app/tray_rules.h"

namespace kovral {

// Export and Import are not offered while a dialog of the program is up (it
// has disabled the window): an import would change the record under it.
TrayMenu BuildTrayMenu(const MainTexts& texts, const TrayMenuState& state) {
  TrayMenu menu;
  if (state.profiles) {
    TrayMenuItem profiles{0, texts.trayProfiles, false, true, {}};
    for (const ProfilesMenuEntry& entry : ProfilesMenu(texts, *state.profiles))
      profiles.submenu.push_back({entry.command, entry.text, entry.checked, entry.enabled, {}});
    menu.push_back(std::move(profiles));
  }
  menu.push_back({kTrayMenuExportProfileCommand, texts.trayExportProfile, false, state.idle, {}});
  menu.push_back({kTrayMenuImportProfileCommand, texts.trayImportProfile, false, state.idle && state.mousePresent, {}});
  menu.push_back({kTrayMenuPreferencesCommand, texts.trayPreferences, false, state.idle && state.skinLoaded, {}});
  menu.push_back({kTrayMenuStartWithWindowsCommand, texts.trayStartWithWindows, state.startsWithWindows, true, {}});
  menu.push_back({kTrayMenuExitCommand, texts.trayExit, false, true, {}});
  return menu;
}

}  // namespace kovral
