#pragma once
// How texts are placed and coloured on skinned surfaces. The format values
// are DrawTextW flags, kept here so portable layout tables can name them.
#include <cstdint>

namespace kovral::ui {

// The DrawTextW flags the formats are made of; a painter of another window
// system reads a format through them.
inline constexpr unsigned kTextFlagCentre = 0x1;           // DT_CENTER
inline constexpr unsigned kTextFlagRight = 0x2;            // DT_RIGHT
inline constexpr unsigned kTextFlagVCentre = 0x4;          // DT_VCENTER
inline constexpr unsigned kTextFlagWordBreak = 0x10;       // DT_WORDBREAK
inline constexpr unsigned kTextFlagSingleLine = 0x20;      // DT_SINGLELINE
inline constexpr unsigned kTextFlagBreakAnywhere = 0x2000; // DT_EDITCONTROL
inline constexpr unsigned kTextFlagEndEllipsis = 0x8000;   // DT_END_ELLIPSIS

// Single line, vertically centred, left-aligned.
inline constexpr unsigned kTextLeft = kTextFlagSingleLine | kTextFlagVCentre;
// Single line, vertically centred, centred.
inline constexpr unsigned kTextCentre = kTextLeft | kTextFlagCentre;
// Single line, vertically centred, right-aligned.
inline constexpr unsigned kTextRight = kTextLeft | kTextFlagRight;
// Single line, at the top, centred: scale numbers under sliders.
inline constexpr unsigned kTextTopCentre = kTextFlagSingleLine | kTextFlagCentre;
// Left-aligned, wrapped at words; the wrapped lines are centred vertically in
// the rectangle.
inline constexpr unsigned kTextWrapLeft = kTextFlagWordBreak;
// Centred, wrapped at words, lines centred vertically.
inline constexpr unsigned kTextWrapCentre = kTextFlagWordBreak | kTextFlagCentre;
// kTextWrapLeft that also breaks a word longer than the line: Chinese text
// without spaces, a long profile name.
inline constexpr unsigned kTextWrapLeftAnywhere = kTextWrapLeft | kTextFlagBreakAnywhere;
// A single line, vertically centred, left-aligned, that ends with "..." where
// it does not fit: a row's button text before its arrow.
inline constexpr unsigned kTextLeftEllipsis = kTextLeft | kTextFlagEndEllipsis;
static_assert(kTextLeft == 0x24 && kTextCentre == 0x25 && kTextRight == 0x26 && kTextTopCentre == 0x21 &&
              kTextWrapCentre == 0x11 && kTextWrapLeftAnywhere == 0x2010 && kTextLeftEllipsis == 0x8024);

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
