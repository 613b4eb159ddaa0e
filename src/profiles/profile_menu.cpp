#include "profiles/profile_menu.h"

#include <algorithm>

namespace kovral {

std::vector<ProfilesMenuEntry> ProfilesMenu(const MainTexts& texts, const ProfilesMenuState& state) {
  std::vector<ProfilesMenuEntry> menu;
  const bool canChoose = state.mousePresent && state.idle;
  menu.push_back({kProfilesMenuDesktopCommand, texts.trayDesktop, state.active && state.active->desktop, canChoose});
  if (state.listing) {
    const size_t count = std::min<size_t>(state.listing->profiles.size(), kProfilesMenuProfileLimit);
    for (size_t i = 0; i < count; ++i) {
      const ProfileEntry& entry = state.listing->profiles[i];
      const bool active = state.active && !state.active->desktop && SameFileName(state.active->profile, entry.name);
      // A menu takes '&' for a mnemonic; a name shows as it is written.
      std::wstring text;
      for (wchar_t c : entry.name) {
        if (c == L'&') text += L'&';
        text += c;
      }
      menu.push_back({kProfilesMenuFirstProfileCommand + static_cast<uint32_t>(i), text, active,
                      canChoose && entry.Good()});
    }
  }
  menu.push_back({kProfilesMenuAutomaticCommand, texts.traySwitchAutomatically, state.automatic, true});
  menu.push_back({kProfilesMenuNoticesCommand, texts.trayShowSwitchNotices, state.notices, true});
  menu.push_back({kProfilesMenuManageCommand, texts.trayManageProfiles, false, state.idle});
  return menu;
}

std::optional<SwitchTarget> ProfilesMenuTarget(uint32_t command, const ProfileListing& listing) {
  if (command == kProfilesMenuDesktopCommand) return SwitchTarget::Desktop();
  if (command < kProfilesMenuFirstProfileCommand) return std::nullopt;
  const size_t index = command - kProfilesMenuFirstProfileCommand;
  if (index >= kProfilesMenuProfileLimit || index >= listing.profiles.size()) return std::nullopt;
  if (!listing.profiles[index].Good()) return std::nullopt;
  return SwitchTarget::Profile(listing.profiles[index].name);
}

}  // namespace kovral
