#pragma once
// Where a left click on the main window goes. The common elements (window
// buttons, tabs, OK/Apply/Cancel, web link) are tested in a fixed order and,
// except where a step stops the chain, every test runs, so a click on Apply
// also reaches the page part, matches nothing there and drags the window.
#include <span>
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
  RevertConfig,        // DeviceConfig = committedConfig, pointer fields as the system has them; ReloadPending
  OpenWebLink,
  BasicPagePart,       // the basic page's own routing (ends in Drag when nothing matches)
  AdvancedPagePart,    // the advanced page's own routing (the same)
  Drag,                // move the window with the pointer
};

// `ready`: the mouse is usable; OK and Apply do nothing without it.
std::vector<ClickStep> RouteCommonClick(layout::Point p, int currentPage, bool ready);

// A page's part of a click: whether an element took it (otherwise the window
// drags) and which rectangles of the page's scene must be painted again.
struct PageClickResult {
  bool handled = false;
  std::vector<layout::Rect> redraw;
};

// A page's handlers by the action of the element clicked. The element (its
// index and step) is passed on, so one handler serves every row or cell;
// the handler writes what the page must do into `Result`.
template <class Page, class Result>
struct ClickEntry {
  layout::Action action;
  void (Page::*handle)(const layout::Element& element, Result& result);
};

// Runs the handler of the element hit; false when nothing was hit or the
// page has no handler for it (the spot then drags the window).
template <class Page, class Result>
bool DispatchClick(Page& page, std::span<const ClickEntry<Page, Result>> table, const layout::Element* hit,
                   Result& result) {
  if (hit == nullptr) return false;
  for (const ClickEntry<Page, Result>& entry : table) {
    if (entry.action == hit->action) {
      (page.*entry.handle)(*hit, result);
      return true;
    }
  }
  return false;
}

}  // namespace kovral
