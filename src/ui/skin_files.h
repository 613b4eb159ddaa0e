#pragma once
// The file names every skin folder supplies. Each begins with "/" and is
// appended to the skin folder as it stands (see skin_path.h).
#include <span>

namespace kovral::skin {

inline constexpr const wchar_t* kMain = L"/main.png";
inline constexpr const wchar_t* kBasicPage = L"/BasicSet2.png";
inline constexpr const wchar_t* kAdvancedPage = L"/AdvancedSet2.png";

inline constexpr const wchar_t* kButtonNormal = L"/button-normal.png";
inline constexpr const wchar_t* kButtonOver = L"/button-over.png";
inline constexpr const wchar_t* kCloseNormal = L"/button-close-normal.png";
inline constexpr const wchar_t* kCloseOver = L"/button-close-over.png";
inline constexpr const wchar_t* kMinimiseNormal = L"/button-min-normal.png";
inline constexpr const wchar_t* kMinimiseOver = L"/button-min-over.png";
inline constexpr const wchar_t* kSkinsNormal = L"/button-Skins-normal.png";
inline constexpr const wchar_t* kSkinsOver = L"/button-Skins-over.png";
inline constexpr const wchar_t* kBasicTabNormal = L"/button-PrePage-normal.png";
inline constexpr const wchar_t* kBasicTabOver = L"/button-PrePage-over.png";
inline constexpr const wchar_t* kAdvancedTabNormal = L"/button-NextPage-normal.png";
inline constexpr const wchar_t* kAdvancedTabOver = L"/button-NextPage-over.png";
inline constexpr const wchar_t* kDropdownNormal = L"/DropdownBox-normal.png";
inline constexpr const wchar_t* kDropdownOver = L"/DropdownBox-over.png";
inline constexpr const wchar_t* kReportRateDark = L"/slider-RP-dark.png";
inline constexpr const wchar_t* kReportRateLight = L"/slider-RP-light.png";
inline constexpr const wchar_t* kDpiDark = L"/slider-DPI-dark.png";
inline constexpr const wchar_t* kDpiLight = L"/slider-DPI-light.png";
inline constexpr const wchar_t* kSliderDark = L"/slider-dark.png";
inline constexpr const wchar_t* kSliderLight = L"/slider-light.png";
inline constexpr const wchar_t* kPane = L"/Pane.png";
inline constexpr const wchar_t* kPaneTick = L"/PaneMakingTick.png";

inline constexpr const wchar_t* kComboKeyDialog = L"/combo-key.png";
inline constexpr const wchar_t* kDelayTimeDialog = L"/delay-time.png";
inline constexpr const wchar_t* kFireKeyDialog = L"/fire-key.png";
inline constexpr const wchar_t* kMacroKeyDialog = L"/macro-key.png";
inline constexpr const wchar_t* kMediaKeyDialog = L"/media-key.png";
inline constexpr const wchar_t* kSingleKeyDialog = L"/single-key.png";
inline constexpr const wchar_t* kWindowsKeyDialog = L"/windows-key.png";
inline constexpr const wchar_t* kSkinsDialog = L"/skins.png";

// The Profiles dialog's face and its buttons, which are wider than OK.
inline constexpr const wchar_t* kProfilesDialog = L"/profiles.png";
inline constexpr const wchar_t* kProfilesButtonNormal = L"/profiles-button-normal.png";
inline constexpr const wchar_t* kProfilesButtonOver = L"/profiles-button-over.png";
// The Preferences dialog's face; its sample button takes the Profiles dialog's button pictures.
inline constexpr const wchar_t* kPreferencesDialog = L"/preferences.png";

// Every file above but the optional ones, once: what a complete skin folder
// holds.
std::span<const wchar_t* const> AllFiles();
// The pictures of dialogs that came after the first skins were made: the
// bundled skins carry them, a skin made before them is still complete, and
// the dialog then draws with the Default skin's pictures.
std::span<const wchar_t* const> OptionalFiles();

}  // namespace kovral::skin
