#include "pages/advanced_page.h"

#include <array>

#include "pages/page_click.h"

namespace kovral {

using layout::Action;
using layout::Element;

layout::Rect PointerRowRect(int row) {
  const layout::Rect first = layout::PointerCellRect(row, 1);
  const layout::Rect last = layout::PointerCellRect(row, layout::kPointerCells);
  return {first.left, first.top, last.right, last.bottom};
}

AdvancedUpdate AdvancedPageModel::Click(layout::Point p) {
  using Entry = ClickEntry<AdvancedPageModel, AdvancedUpdate>;
  static constexpr std::array<Entry, 10> kClicks = {{
      {Action::PrecisionBox, &AdvancedPageModel::OnPrecisionBox},
      {Action::OneScreenBox, &AdvancedPageModel::OnOneScreenBox},
      {Action::PointerDefault, &AdvancedPageModel::OnPointerDefault},
      {Action::StartRecording, &AdvancedPageModel::OnMacroButton},
      {Action::StopRecording, &AdvancedPageModel::OnMacroButton},
      {Action::MacroNew, &AdvancedPageModel::OnMacroButton},
      {Action::MacroDelete, &AdvancedPageModel::OnMacroButton},
      {Action::MacroConfirm, &AdvancedPageModel::OnMacroButton},
      {Action::MouseEventBox, &AdvancedPageModel::OnMouseEventBox},
      {Action::PointerCell, &AdvancedPageModel::OnPointerCell},
  }};
  AdvancedUpdate u;
  // A click outside the open mouse-event list and its box closes the list.
  if (mouseEventListOpen_ && !layout::kMouseEventBox.Contains(p) && !layout::kMouseEventList.Contains(p)) {
    mouseEventListOpen_ = false;
    u.closeMouseEventList = true;
  }
  u.handled = DispatchClick<AdvancedPageModel, AdvancedUpdate>(
      *this, kClicks, layout::HitTest(layout::AdvancedElements(), p), u);
  return u;
}

void AdvancedPageModel::OnMacroButton(const Element& e, AdvancedUpdate& u) { u.macroAction = e.action; }

void AdvancedPageModel::OnMouseEventBox(const Element&, AdvancedUpdate& u) {
  mouseEventListOpen_ = !mouseEventListOpen_;
  (mouseEventListOpen_ ? u.openMouseEventList : u.closeMouseEventList) = true;
}

// The boxes and sliders change only the record; the system follows at OK
// or Apply, and only for what changed.
void AdvancedPageModel::OnPrecisionBox(const Element& e, AdvancedUpdate& u) {
  config_.enhancePrecision = config_.enhancePrecision == 1 ? 0 : 1;
  u.redraw.push_back(e.rect);
}

void AdvancedPageModel::OnOneScreenBox(const Element& e, AdvancedUpdate& u) {
  config_.scrollOneScreen = config_.scrollOneScreen == 1 ? 0 : 1;
  u.redraw.push_back(e.rect);
}

// Setting a scroll step leaves "Scroll One Screen" as it is.
void AdvancedPageModel::OnPointerCell(const Element& e, AdvancedUpdate& u) {
  uint8_t* steps[layout::kPointerRows] = {&config_.pointerSpeed, &config_.scrollLines, &config_.doubleClickSpeed};
  *steps[e.index - 1] = static_cast<uint8_t>(e.step);
  u.redraw.push_back(PointerRowRect(e.index));
}

// Default sets the system at once, then shows the record's default steps.
void AdvancedPageModel::OnPointerDefault(const Element&, AdvancedUpdate& u) {
  pointer_.RestoreDefaults(config_);
  u.redraw.push_back(layout::kPrecisionBox);
  u.redraw.push_back(layout::kOneScreenBox);
  for (int row = 1; row <= layout::kPointerRows; ++row) u.redraw.push_back(PointerRowRect(row));
}

}  // namespace kovral
