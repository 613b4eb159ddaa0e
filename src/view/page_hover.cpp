#include "view/page_hover.h"

#include <algorithm>

namespace kovral {

std::vector<layout::Rect> HoverTracker::Redraw::Rects() const {
  std::vector<layout::Rect> rects;
  for (const Element* e : normals) rects.push_back(e->rect);
  if (over) rects.push_back(over->rect);
  return rects;
}

void HoverTracker::SetTables(std::vector<std::span<const Element>> tables) {
  tables_ = std::move(tables);
  std::erase_if(lit_, [this](const Element* e) {
    for (const auto& table : tables_)
      if (e >= table.data() && e < table.data() + table.size()) return false;
    return true;
  });
}

const layout::Element* HoverTracker::FirstAt(layout::Point p) const {
  for (const auto& table : tables_)
    for (const Element& e : table)
      if (layout::IsHoverable(e) && e.rect.Contains(p)) return &e;
  return nullptr;
}

bool HoverTracker::IsLit(const Element* element) const {
  return std::find(lit_.begin(), lit_.end(), element) != lit_.end();
}

HoverTracker::Redraw HoverTracker::OnMouseMove(layout::Point p, bool& trackHover) {
  Redraw redraw;
  trackHover = true;
  if (FirstAt(p)) return redraw;
  if (lit_.empty()) {
    trackHover = false;
    return redraw;
  }
  redraw.normals.swap(lit_);
  return redraw;
}

HoverTracker::Redraw HoverTracker::OnMouseHover(layout::Point p) {
  Redraw redraw;
  const Element* element = FirstAt(p);
  if (!element) return redraw;
  if (element->hover != layout::HoverGroup::Alone) {
    for (auto it = lit_.begin(); it != lit_.end();) {
      if (*it != element && (*it)->hover == element->hover) {
        redraw.normals.push_back(*it);
        it = lit_.erase(it);
      } else {
        ++it;
      }
    }
  }
  redraw.over = element;
  if (!IsLit(element)) lit_.push_back(element);
  return redraw;
}

}  // namespace kovral
