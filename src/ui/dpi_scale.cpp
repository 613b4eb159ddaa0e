#include "ui/dpi_scale.h"

#include <climits>
#include <cstdint>

namespace kovral::ui {
namespace {

int Saturate(std::int64_t v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

// The rounding of MulDiv, on 64 bits so that no int argument overflows.
// Rounding the magnitude keeps the result symmetric around zero: a font
// height of -14 maps to exactly minus what 14 maps to.
std::int64_t MulDivRound64(std::int64_t a, std::int64_t b, std::int64_t c) {
  if (c == 0) return 0;
  const std::int64_t n = a * b;
  const bool negative = (n < 0) != (c < 0);
  const std::uint64_t magnitude = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
  const std::uint64_t divisor = c < 0 ? 0 - static_cast<std::uint64_t>(c) : static_cast<std::uint64_t>(c);
  const std::uint64_t q = (magnitude + divisor / 2) / divisor;
  return negative ? -static_cast<std::int64_t>(q) : static_cast<std::int64_t>(q);
}

std::int64_t Device64(std::int64_t units, int dpi) { return MulDivRound64(units, dpi, kUnitDpi); }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

}  // namespace

int MulDivRound(int a, int b, int c) { return Saturate(MulDivRound64(a, b, c)); }

int UsableDpi(int dpi) { return dpi > 0 ? dpi : kUnitDpi; }

int DeviceLength(int units, int dpi) { return Saturate(Device64(units, UsableDpi(dpi))); }

// The device span of unit u is [Device(u), Device(u + 1)); the spans tile
// the line because Device never decreases. A pixel belongs to the unit whose
// span holds it, so unit rectangles and their mapped edges split the device
// pixels exactly as PtInRect splits them at 96 DPI. Below 96 DPI some spans
// are empty and a pixel goes to the last unit that reaches it.
int UnitCoordinate(int device, int dpi) {
  dpi = UsableDpi(dpi);
  // The plain quotient is at most a unit off; step to the exact one.
  std::int64_t u = FloorDiv(std::int64_t{device} * kUnitDpi, dpi);
  while (Device64(u + 1, dpi) <= device) ++u;
  while (Device64(u, dpi) > device) --u;
  return Saturate(u);
}

int DeviceFontHeight(int unitHeight, int dpi) { return DeviceLength(unitHeight, dpi); }

}  // namespace kovral::ui
