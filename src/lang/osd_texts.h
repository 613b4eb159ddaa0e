#pragma once
// The on-screen display's own words in the three interface languages. Its
// main lines are short on purpose ("DPI 1600", "1000 Hz"): they are read at a
// glance in the middle of a game, so numbers and units stay as they are in
// every language.
#include "lang/language.h"

namespace kovral {

struct OsdTexts {
  const wchar_t* stageOf;    // the stage's number, then the number of stages ("%d" twice)
  const wchar_t* macroKey;   // the macro's number ("%d")
  const wchar_t* separator;  // between the main line and the second one in the window's text
};

const OsdTexts& OsdTextsFor(UiLanguage language);

}  // namespace kovral
