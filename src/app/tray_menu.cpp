#include "app/tray_menu.h"

#include "app/tray_rules.h"

namespace kovral {

// Export and Import are not offered while a dialog of the program is up (it
// has disabled the window): an import would change the record under it. A
// start stopped before the settings were read has none to export: the
// record is all zero then.
TrayMenu BuildTrayMenu(const MainTexts& texts, const TrayMenuState& state) {
  TrayMenu menu;
  if (state.profiles) {
    TrayMenuItem profiles{0, texts.trayProfiles, false, true, {}};
    for (const ProfilesMenuEntry& entry : ProfilesMenu(texts, *state.profiles))
      profiles.submenu.push_back({entry.command, entry.text, entry.checked, entry.enabled, {}});
    menu.push_back(std::move(profiles));
  }
  const bool ready = state.idle && state.settingsRead;
  menu.push_back({kTrayMenuExportProfileCommand, texts.trayExportProfile, false, ready, {}});
  menu.push_back({kTrayMenuImportProfileCommand, texts.trayImportProfile, false, ready && state.mousePresent, {}});
  menu.push_back({kTrayMenuPreferencesCommand, texts.trayPreferences, false, ready, {}});
  menu.push_back({kTrayMenuStartWithWindowsCommand, StartWithText(texts, state.startupPlace), state.startsWithWindows, true, {}});
  menu.push_back({kTrayMenuExitCommand, texts.trayExit, false, true, {}});
  return menu;
}

}  // namespace kovral
