#pragma once
// Layout rectangles as the Win32 calls take them.
#include <windows.h>

#include "view/layout.h"

namespace kovral::layout {

inline RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline Point ToPoint(POINT p) { return Point{p.x, p.y}; }

}  // namespace kovral::layout
