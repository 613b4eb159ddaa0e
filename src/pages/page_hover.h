#pragma once
// Hover looks of the main window's buttons. A move over a hoverable element
// asks the system for a hover notice (TrackMouseEvent, 10 ms); the notice
// draws the element in its over look and puts its lit siblings back; a move
// over an empty spot puts every lit element back. Elements are ids of the
// caller's choosing, listed in tables in test order; ids and group numbers
// are unique across all tables (the common ones use CommonElement values and
// groups 0 and 1, a page's own elements start at kPageElementBase).
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace kovral {

// Hover time asked of TrackMouseEvent.
constexpr unsigned kHoverTimeMs = 10;
constexpr int kPageElementBase = 100;

struct HoverEntry {
  int element;  // the caller's id
  int group;    // siblings share a group; -1: no siblings
};

// The common elements' ids (CommonElement values) with their groups:
// OK/Apply/Cancel, then Skins, Minimise, Close alone, then the two tabs.
std::span<const HoverEntry> CommonHoverTable();

class HoverTracker {
 public:
  using HitTest = std::function<bool(int element, int x, int y)>;

  // What to draw: `over` in its over look (after `normals`), `normals` in
  // their normal look.
  struct Redraw {
    std::optional<int> over;
    std::vector<int> normals;
    bool empty() const { return !over && normals.empty(); }
  };

  // `tables`: the elements hoverable now (common ones, then the page's).
  void SetTables(std::vector<std::span<const HoverEntry>> tables) { tables_ = std::move(tables); }

  // WM_MOUSEMOVE. Returns what to draw; `trackHover` tells whether to ask
  // for a hover notice (always, except over an empty spot with nothing lit).
  Redraw OnMouseMove(int x, int y, const HitTest& hit, bool& trackHover);
  // WM_MOUSEHOVER.
  Redraw OnMouseHover(int x, int y, const HitTest& hit);

  // Painting a whole page draws every element normal but keeps these flags,
  // so an element can stay flagged until the next un-hover.
  bool IsLit(int element) const;

 private:
  const HoverEntry* FirstAt(int x, int y, const HitTest& hit) const;

  std::vector<std::span<const HoverEntry>> tables_;
  std::vector<int> lit_;  // in the order they were lit
};

}  // namespace kovral
