#pragma once
// Carries out a control-colour answer on the control's device context.
#include <windows.h>

#include "view/control_colors.h"
#include "base/handles_win.h"

namespace kovral {

// Sets text colour, background and font as `colors` says and returns the
// brush to answer with (kept in `brush` until the next request), or null for
// the default answer.
HBRUSH ApplyControlColors(HDC dc, const ControlColors& colors, ui::Rgb textColor, HFONT font, OwnedBrush& brush);

ControlType ControlTypeOf(int ctlColorType);

}  // namespace kovral
