#pragma once
// What a mouse message over the notification-area icon does.
#include <cstdint>

#include "pages/page_state.h"

namespace kovral {

constexpr uint32_t kTrayMenuExitCommand = 1028;
constexpr uint32_t kTrayMenuStartWithWindowsCommand = 1029;
constexpr uint32_t kTrayMenuExportProfileCommand = 1030;
constexpr uint32_t kTrayMenuImportProfileCommand = 1031;
constexpr uint32_t kTrayMenuPreferencesCommand = 1036;  // 1032..1035 are the Profiles submenu's

enum class TrayAction {
  Ignore,
  WarnNotDetected,  // no usable mouse: the "not detected" notice, window stays hidden
  ShowWindow,       // prepare the page as `prepare` says, then show the window
  ShowMenu,         // the menu: "Export profile…", "Import profile…", "Preferences…", "Start with Windows", "Exit"
};

enum class TrayPagePrepare {
  None,
  // After Cancel: repaint the page shown from the restored record. The row
  // texts came back with it, so str.ini is not read again (in a read-only
  // folder it would not hold the first-run texts the rows show).
  Rebuild,
  ShowBasic,        // the basic page was never shown: its first showing reads the sensor
};

struct TrayDecision {
  TrayAction action = TrayAction::Ignore;
  TrayPagePrepare prepare = TrayPagePrepare::None;
};

// What the user did on the icon: the left button released or double-clicked
// (either opens the window), the right one released (the menu), or anything
// else, which does nothing.
enum class TrayClick { Other, Left, Right };

// The click of a mouse message over the icon (the window message number the
// Windows notification area reports).
TrayClick TrayClickOfMessage(uint32_t mouseMessage);

// Clears ReloadPending when the rebuild it asked for is decided.
TrayDecision DecideTrayClick(TrayClick click, bool ready, PageState& state);

}  // namespace kovral
