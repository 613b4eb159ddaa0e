#pragma once
// How texts are placed and coloured on skinned surfaces. The format values
// are DrawTextW flags, kept here so portable layout tables can name them.
#include <cstdint>

namespace kovral::ui {

// Single line, vertically centred, left-aligned (DT_SINGLELINE | DT_VCENTER).
inline constexpr unsigned kTextLeft = 0x24;
// Single line, vertically centred, centred (DT_SINGLELINE | DT_VCENTER | DT_CENTER).
inline constexpr unsigned kTextCentre = 0x25;
// Single line, vertically centred, right-aligned (DT_SINGLELINE | DT_VCENTER | DT_RIGHT).
inline constexpr unsigned kTextRight = 0x26;
// Single line, at the top, centred (DT_SINGLELINE | DT_CENTER): scale numbers under sliders.
inline constexpr unsigned kTextTopCentre = 0x21;
// Left-aligned, wrapped at words (DT_WORDBREAK); the wrapped lines are centred
// vertically in the rectangle.
inline constexpr unsigned kTextWrapLeft = 0x10;
// Centred, wrapped at words (DT_WORDBREAK | DT_CENTER), lines centred vertically.
inline constexpr unsigned kTextWrapCentre = 0x11;
// kTextWrapLeft that also breaks a word longer than the line (DT_EDITCONTROL):
// Chinese text without spaces, a long profile name.
inline constexpr unsigned kTextWrapLeftAnywhere = 0x2010;
// A single line, vertically centred, left-aligned, that ends with "..." where
// it does not fit (DT_END_ELLIPSIS): a row's button text before its arrow.
inline constexpr unsigned kTextLeftEllipsis = 0x8024;

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// The 0x00BBGGRR value GDI calls a COLORREF.
constexpr std::uint32_t ColorRefOf(Rgb c) {
  return static_cast<std::uint32_t>(c.red) | (static_cast<std::uint32_t>(c.green) << 8) |
         (static_cast<std::uint32_t>(c.blue) << 16);
}

// Page titles of the main window are always white.
inline constexpr Rgb kTitleColor{255, 255, 255};

}  // namespace kovral::ui
