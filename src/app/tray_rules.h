#pragma once
// What a mouse message over the notification-area icon does.
#include <cstdint>

#include "pages/page_state.h"

namespace kovral {

constexpr uint32_t kTrayMenuExitCommand = 1028;

enum class TrayAction {
  Ignore,
  WarnNotDetected,  // no usable mouse: the "not detected" notice, window stays hidden
  ShowWindow,       // prepare the page as `prepare` says, then show the window
  ShowMenu,         // the one-item "Exit" menu
};

enum class TrayPagePrepare {
  None,
  RebuildBasic,     // after Cancel: re-read the interface settings, repaint the basic page
  RebuildAdvanced,  // after Cancel: repaint the advanced page
  ShowBasic,        // the basic page was never shown: its first showing reads the sensor
};

struct TrayDecision {
  TrayAction action = TrayAction::Ignore;
  TrayPagePrepare prepare = TrayPagePrepare::None;
};

// `mouseMessage` is the lParam of WM_TRAY_NOTIFY. Clears ReloadPending when
// the rebuild it asked for is decided.
TrayDecision DecideTrayMessage(uint32_t mouseMessage, bool ready, PageState& state);

}  // namespace kovral
