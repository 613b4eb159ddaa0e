#include "ui/skin_files.h"

namespace kovral::skin {

std::span<const wchar_t* const> AllFiles() {
  static constexpr const wchar_t* kFiles[] = {
      kMain,          kBasicPage,       kAdvancedPage,    kButtonNormal,   kButtonOver,
      kCloseNormal,   kCloseOver,       kMinimiseNormal,  kMinimiseOver,   kSkinsNormal,
      kSkinsOver,     kBasicTabNormal,  kBasicTabOver,    kAdvancedTabNormal, kAdvancedTabOver,
      kDropdownNormal, kDropdownOver,   kReportRateDark,  kReportRateLight, kDpiDark,
      kDpiLight,      kSliderDark,      kSliderLight,     kPane,           kPaneTick,
      kComboKeyDialog, kDelayTimeDialog, kFireKeyDialog,  kMacroKeyDialog, kMediaKeyDialog,
      kSingleKeyDialog, kWindowsKeyDialog, kSkinsDialog,
  };
  return kFiles;
}

std::span<const wchar_t* const> OptionalFiles() {
  static constexpr const wchar_t* kFiles[] = {kProfilesDialog, kProfilesButtonNormal, kProfilesButtonOver,
                                                kPreferencesDialog};
  return kFiles;
}

}  // namespace kovral::skin
