#pragma once
// Font faces and sizes by interface language. The Chinese faces carry the
// glyphs of their script; English uses Arial and, for page titles, Tahoma.
#include "lang/language.h"

namespace kovral {

struct FontChoice {
  int height;  // logical units
  int weight;  // 400 normal, 700 bold
  const wchar_t* face;
};

// The normal font of the main window and of every dialog. windows62 tells
// whether the system reports version 6.2, where Simplified Chinese uses
// "黑体" instead of "宋体".
FontChoice NormalFontFor(UiLanguage language, bool windows62);
// The bold title font of the main window's pages.
FontChoice TitleFontFor(UiLanguage language, bool windows62);

}  // namespace kovral
