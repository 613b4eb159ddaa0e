#pragma once
// The notification-area icon's menu as data: its items in order, their
// commands, ticks and greying, and the Profiles submenu. A shell shows it and
// returns the command chosen.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lang/main_texts.h"
#include "profiles/profile_menu.h"

namespace kovral {

struct TrayMenuItem {
  uint32_t command = 0;  // 0 for the item that opens `submenu`
  std::wstring text;
  bool checked = false;
  bool enabled = true;
  std::vector<TrayMenuItem> submenu;
  bool operator==(const TrayMenuItem&) const = default;
};
using TrayMenu = std::vector<TrayMenuItem>;

struct TrayMenuState {
  // The Profiles submenu's state; no submenu before profiles are followed.
  std::optional<ProfilesMenuState> profiles;
  bool idle = true;          // no dialog of the program is up
  bool mousePresent = true;  // an import needs the window that applies it
  // The start read the settings and the skin: Export writes the settings,
  // Import edits them, Preferences draws in the skin.
  bool settingsRead = true;
  bool startsWithWindows = false;
  StartupPlace startupPlace = StartupPlace::Windows;  // names the item
};

TrayMenu BuildTrayMenu(const MainTexts& texts, const TrayMenuState& state);

}  // namespace kovral
