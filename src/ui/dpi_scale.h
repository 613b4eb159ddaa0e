#pragma once
// The program's geometry (layout tables, font heights, picture sizes) is in
// 96-DPI pixels, "units". This is the one place that turns units into the
// device pixels of a window at its DPI, and device pixels back into units.
//
// Rectangles are mapped edge by edge, never as origin plus size, so elements
// that touch at 96 DPI touch at every DPI. A rectangle's device width can
// therefore differ by one from DeviceLength(width): that is intended.

namespace kovral::ui {

inline constexpr int kUnitDpi = 96;

// a * b / c rounded to the nearest integer, halves away from zero (MulDiv's
// rounding), without intermediate overflow; a result beyond int saturates.
// c must not be 0 (0 is returned).
int MulDivRound(int a, int b, int c);

// The DPI to compute with: a DPI that is not above zero (an API that failed)
// counts as 96.
int UsableDpi(int dpi);

// A coordinate or a length in units, in device pixels.
int DeviceLength(int units, int dpi);

// The unit holding device pixel `device`: the largest u with
// DeviceLength(u) <= device. A pixel inside a mapped rectangle comes back
// inside the unit rectangle, and a pixel on a mapped edge belongs to the
// same side of the edge as at 96 DPI.
int UnitCoordinate(int device, int dpi);

// A font's height for CreateFont: negative heights (character height) stay
// negative, positive ones (cell height) positive.
int DeviceFontHeight(int unitHeight, int dpi);

template <class P>
concept PointLike = requires(P p) { p.x; p.y; };
template <class S>
concept SizeLike = requires(S s) { s.width; s.height; };
template <class R>
concept RectLike = requires(R r) { r.left; r.top; r.right; r.bottom; };

template <PointLike P>
P DevicePoint(P p, int dpi) {
  p.x = DeviceLength(static_cast<int>(p.x), dpi);
  p.y = DeviceLength(static_cast<int>(p.y), dpi);
  return p;
}

template <SizeLike S>
S DeviceSize(S s, int dpi) {
  s.width = DeviceLength(static_cast<int>(s.width), dpi);
  s.height = DeviceLength(static_cast<int>(s.height), dpi);
  return s;
}

template <RectLike R>
R DeviceRect(R r, int dpi) {
  r.left = DeviceLength(static_cast<int>(r.left), dpi);
  r.top = DeviceLength(static_cast<int>(r.top), dpi);
  r.right = DeviceLength(static_cast<int>(r.right), dpi);
  r.bottom = DeviceLength(static_cast<int>(r.bottom), dpi);
  return r;
}

// For hit-testing: the unit point a device point (a click, the cursor) is on.
template <PointLike P>
P UnitPoint(P p, int dpi) {
  p.x = UnitCoordinate(static_cast<int>(p.x), dpi);
  p.y = UnitCoordinate(static_cast<int>(p.y), dpi);
  return p;
}

}  // namespace kovral::ui
