#pragma once
// Which faces, heights and weights the windows use, by interface language
// code and Windows version. Fonts are always made with the fixed attributes
// of font_win.h; only these three values vary.
#include <string>

namespace kovral::ui {

struct FontChoice {
  const wchar_t* face;
  int height;  // logical units
  int weight;  // 400 normal, 700 bold
};

struct FontPair {
  FontChoice normal;  // every window's text, and each dialog's font
  FontChoice title;   // the main window's page titles
};

struct WindowsVersion {
  unsigned major = 0;
  unsigned minor = 0;
};

// code is the "Lan" value of str.ini, compared whole and case-sensitively:
// "CHS" and "CHT" pick Chinese faces, anything else English ones.
FontPair FontsForLanguageCode(const std::wstring& code, WindowsVersion version);

// The pitch-and-family byte every font is made with: Swiss family, default pitch.
inline constexpr unsigned char kFontPitchAndFamily = 0x20;

}  // namespace kovral::ui
