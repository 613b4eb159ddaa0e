#pragma once
// The tray's "Profiles" submenu as entries, and what a chosen entry means:
// "Desktop" and each profile (the one the mouse holds checked; a broken one
// greyed), then the two switches and "Manage profiles…".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lang/main_texts.h"
#include "profiles/profile_follower.h"
#include "profiles/profile_library.h"

namespace kovral {

inline constexpr uint32_t kProfilesMenuDesktopCommand = 1032;
inline constexpr uint32_t kProfilesMenuAutomaticCommand = 1033;
inline constexpr uint32_t kProfilesMenuNoticesCommand = 1034;
inline constexpr uint32_t kProfilesMenuManageCommand = 1035;
// The profiles, in the listing's order; a menu shows at most this many.
inline constexpr uint32_t kProfilesMenuFirstProfileCommand = 1100;
inline constexpr uint32_t kProfilesMenuProfileLimit = 200;

struct ProfilesMenuEntry {
  uint32_t command = 0;
  std::wstring text;
  bool checked = false;
  bool enabled = true;
};

struct ProfilesMenuState {
  const ProfileListing* listing = nullptr;
  std::optional<SwitchTarget> active;  // what the mouse holds, when known
  bool automatic = true;
  bool notices = true;
  bool mousePresent = true;  // choosing a profile needs the mouse
  bool idle = true;          // no dialog of the program is up
};

std::vector<ProfilesMenuEntry> ProfilesMenu(const MainTexts& texts, const ProfilesMenuState& state);

// The switch target of a chosen entry, or nothing for the other commands.
std::optional<SwitchTarget> ProfilesMenuTarget(uint32_t command, const ProfileListing& listing);

}  // namespace kovral
