#include "pages/page_hover.h"

#include <algorithm>

#include "pages/page_click.h"

namespace kovral {
namespace {

constexpr int kGroupDialogButtons = 0;  // OK, Apply, Cancel
constexpr int kGroupTabs = 1;

constexpr HoverEntry kCommonHover[] = {
    {static_cast<int>(CommonElement::Ok), kGroupDialogButtons},
    {static_cast<int>(CommonElement::Apply), kGroupDialogButtons},
    {static_cast<int>(CommonElement::Cancel), kGroupDialogButtons},
    {static_cast<int>(CommonElement::Skins), -1},
    {static_cast<int>(CommonElement::Minimise), -1},
    {static_cast<int>(CommonElement::Close), -1},
    {static_cast<int>(CommonElement::BasicTab), kGroupTabs},
    {static_cast<int>(CommonElement::AdvancedTab), kGroupTabs},
};

}  // namespace

std::span<const HoverEntry> CommonHoverTable() { return kCommonHover; }

const HoverEntry* HoverTracker::FirstAt(int x, int y, const HitTest& hit) const {
  for (const auto& table : tables_)
    for (const HoverEntry& e : table)
      if (hit(e.element, x, y)) return &e;
  return nullptr;
}

bool HoverTracker::IsLit(int element) const {
  return std::find(lit_.begin(), lit_.end(), element) != lit_.end();
}

HoverTracker::Redraw HoverTracker::OnMouseMove(int x, int y, const HitTest& hit, bool& trackHover) {
  Redraw redraw;
  trackHover = true;
  if (FirstAt(x, y, hit)) return redraw;
  if (lit_.empty()) {
    trackHover = false;
    return redraw;
  }
  redraw.normals.swap(lit_);
  return redraw;
}

HoverTracker::Redraw HoverTracker::OnMouseHover(int x, int y, const HitTest& hit) {
  Redraw redraw;
  const HoverEntry* entry = FirstAt(x, y, hit);
  if (!entry) return redraw;
  if (entry->group >= 0) {
    for (const auto& table : tables_)
      for (const HoverEntry& e : table)
        if (e.group == entry->group && e.element != entry->element && IsLit(e.element)) {
          redraw.normals.push_back(e.element);
          lit_.erase(std::find(lit_.begin(), lit_.end(), e.element));
        }
  }
  redraw.over = entry->element;
  if (!IsLit(entry->element)) lit_.push_back(entry->element);
  return redraw;
}

}  // namespace kovral
