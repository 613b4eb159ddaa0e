#pragma once
// Fonts and one-line texts on skinned surfaces.
#include <windows.h>

#include <string_view>

#include "ui/font_choice.h"
#include "base/handles_win.h"
#include "ui/dpi_scale.h"
#include "ui/text_style.h"

namespace kovral::ui {

// A font with the given height (logical units), weight and face, and the
// fixed rest: width, escapement and orientation 0, not italic, underlined
// or struck out, character set 0, default precisions and quality, Swiss
// family at default pitch.
OwnedFont CreateSkinFont(int height, int weight, const wchar_t* face);
// The font at a window's DPI: the choice's height is in 96-DPI pixels.
inline OwnedFont CreateSkinFont(const FontChoice& choice, int dpi = kUnitDpi) {
  return CreateSkinFont(DeviceFontHeight(choice.height, dpi), choice.weight, choice.face);
}

// The version GetVersion reports (6.2 on Windows 8 and later for a program
// without a compatibility manifest).
WindowsVersion CurrentWindowsVersion();

// Draws text on one line in the rectangle with one of the formats of
// text_style.h, transparent background, in the colour, with the font when
// one is given (else the context's). The context's colour, background mode
// and font are put back afterwards.
void DrawSkinText(HDC dc, std::wstring_view text, const RECT& rect, unsigned format, Rgb color,
                  HFONT font = nullptr);

}  // namespace kovral::ui
