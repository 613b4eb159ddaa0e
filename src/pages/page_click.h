#pragma once
// Where a left click on the main window goes. The common elements (window
// buttons, tabs, OK/Apply/Cancel, web link) are tested in a fixed order and,
// except where a step stops the chain, every test runs, so a click on Apply
// also reaches the page part, matches nothing there and drags the window.
#include <vector>

#include "pages/layout.h"

namespace kovral {

// What the window does, in order.
enum class ClickStep {
  SendConfig,          // Apply the record to the mouse and save it
  CommitConfig,        // committedConfig = DeviceConfig
  ApplyPointerSettings,
  HideWindow,
  RunSkinChoice,
  ExitProgram,         // shutdown cleanup, exit code 0
  ShowBasicPage,
  ShowAdvancedPage,
  RevertConfig,        // DeviceConfig = committedConfig, ReloadPending
  OpenWebLink,
  BasicPagePart,       // the basic page's own routing (ends in Drag when nothing matches)
  AdvancedPagePart,    // the advanced page's own routing (the same)
  Drag,                // move the window with the pointer
};

// `ready`: the mouse is usable; OK and Apply do nothing without it.
std::vector<ClickStep> RouteCommonClick(layout::Point p, int currentPage, bool ready);

}  // namespace kovral
