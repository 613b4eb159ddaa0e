#pragma once
// Carries out a control-colour answer on the control's device context.
#include <windows.h>

#include <cstdint>
#include <unordered_map>

#include "view/control_colors.h"
#include "base/handles_win.h"

namespace kovral {

// The brushes a window has answered control-colour requests with, one per
// colour, kept for the window's life. A control may erase or paint with the
// brush it was given well after the answer (a list box draws its entries
// later, between other controls' requests), so no brush may go while the
// window lives. The colours are few: the fixed ones and the stage colours
// the user picks.
class ControlBrushes {
 public:
  HBRUSH For(ui::Rgb color);
  std::size_t size() const { return brushes_.size(); }

 private:
  std::unordered_map<std::uint32_t, OwnedBrush> brushes_;
};

// Sets text colour, background and font as `colors` says and returns the
// brush to answer with (one of `brushes`), or null for the default answer.
HBRUSH ApplyControlColors(HDC dc, const ControlColors& colors, ui::Rgb textColor, HFONT font,
                          ControlBrushes& brushes);

ControlType ControlTypeOf(int ctlColorType);

}  // namespace kovral
