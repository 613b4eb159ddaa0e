#pragma once
// The advanced page's rules for the system's pointer settings, apart from
// drawing: the two check boxes, the three sliders and Default. Each answer
// says which rectangles of the page's scene to paint again.
#include <vector>

#include "view/layout.h"
#include "pages/page_pointer.h"
#include "settings/device_config.h"

namespace kovral {

struct AdvancedUpdate {
  bool handled = false;  // a click an element took (otherwise the window drags)
  std::vector<layout::Rect> redraw;
  // The macro panel's buttons (Start and Stop recording, New, Delete,
  // Confirm), carried out by the page; Action::None for none.
  layout::Action macroAction = layout::Action::None;
  bool openMouseEventList = false;
  bool closeMouseEventList = false;
};

class AdvancedPageModel {
 public:
  AdvancedPageModel(DeviceConfig& config, SystemPointerSettings& pointer) : config_(config), pointer_(pointer) {}

  AdvancedUpdate Click(layout::Point p);
  // A choice closed the mouse-event list.
  void MouseEventListClosed() { mouseEventListOpen_ = false; }
  bool mouseEventListOpen() const { return mouseEventListOpen_; }

 private:
  void OnMacroButton(const layout::Element& e, AdvancedUpdate& u);
  void OnMouseEventBox(const layout::Element& e, AdvancedUpdate& u);
  void OnPrecisionBox(const layout::Element& e, AdvancedUpdate& u);
  void OnOneScreenBox(const layout::Element& e, AdvancedUpdate& u);
  void OnPointerDefault(const layout::Element& e, AdvancedUpdate& u);
  void OnPointerCell(const layout::Element& e, AdvancedUpdate& u);

  DeviceConfig& config_;
  SystemPointerSettings& pointer_;
  bool mouseEventListOpen_ = false;
};

// The cells of slider row 1..3 (Mouse Speed, Scrolling Speed, Double-Click Speed).
layout::Rect PointerRowRect(int row);

}  // namespace kovral
