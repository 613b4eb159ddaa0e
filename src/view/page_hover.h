#pragma once
// Hover looks of the main window's buttons. A move over a hoverable element
// asks the system for a hover notice (TrackMouseEvent, 10 ms); the notice
// draws the element in its over look and puts its lit siblings (same hover
// group) back; a move over an empty spot puts every lit element back.
#include <optional>
#include <span>
#include <vector>

#include "view/layout.h"

namespace kovral {

// Hover time asked of TrackMouseEvent.
constexpr unsigned kHoverTimeMs = 10;

class HoverTracker {
 public:
  using Element = layout::Element;

  // What to draw: `normals` in their normal look, then `over` in its over look.
  struct Redraw {
    const Element* over = nullptr;
    std::vector<const Element*> normals;
    bool empty() const { return over == nullptr && normals.empty(); }
    // The rectangles to paint again: the normals first, then the over one.
    std::vector<layout::Rect> Rects() const;
  };

  // The tables whose hoverable elements take part now, tested in this order:
  // the common elements, then the shown page's. Lit elements of a table that
  // no longer takes part are forgotten: their page is gone.
  void SetTables(std::vector<std::span<const Element>> tables);

  // WM_MOUSEMOVE. `trackHover` tells whether to ask for a hover notice
  // (always, except over an empty spot with nothing lit).
  Redraw OnMouseMove(layout::Point p, bool& trackHover);
  // WM_MOUSEHOVER.
  Redraw OnMouseHover(layout::Point p);

  // Painting a whole page draws every element normal but keeps these flags,
  // so an element can stay flagged until the next un-hover.
  bool IsLit(const Element* element) const;

 private:
  const Element* FirstAt(layout::Point p) const;

  std::vector<std::span<const Element>> tables_;
  std::vector<const Element*> lit_;  // in the order they were lit
};

}  // namespace kovral
