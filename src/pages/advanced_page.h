#pragma once
// The advanced page's rules for the system's pointer settings, apart from
// drawing: the two check boxes, the three sliders and Default. Each answer
// says which rectangles of the page's scene to paint again.
#include <vector>

#include "pages/layout.h"
#include "pages/page_pointer.h"
#include "settings/device_config.h"

namespace kovral {

struct AdvancedUpdate {
  bool handled = false;  // a click an element took (otherwise the window drags)
  std::vector<layout::Rect> redraw;
};

class AdvancedPageModel {
 public:
  AdvancedPageModel(DeviceConfig& config, SystemPointerSettings& pointer) : config_(config), pointer_(pointer) {}

  AdvancedUpdate Click(layout::Point p);

 private:
  void OnPrecisionBox(const layout::Element& e, AdvancedUpdate& u);
  void OnOneScreenBox(const layout::Element& e, AdvancedUpdate& u);
  void OnPointerDefault(const layout::Element& e, AdvancedUpdate& u);
  void OnPointerCell(const layout::Element& e, AdvancedUpdate& u);

  DeviceConfig& config_;
  SystemPointerSettings& pointer_;
};

// The cells of slider row 1..3 (Mouse Speed, Scrolling Speed, Double-Click Speed).
layout::Rect PointerRowRect(int row);

}  // namespace kovral
