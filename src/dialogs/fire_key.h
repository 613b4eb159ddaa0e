#pragma once
// The fire-key dialog's number boxes: what a typed text becomes.
#include <string>

#include "lang/text_format.h"

namespace kovral {

struct CheckedNumber {
  int value = 0;
  bool corrected = false;  // the box must show `text` instead of what was typed
  std::wstring text;
};

// 5..255; anything else (text that is no number reads as 0) becomes 5.
CheckedNumber CheckFireSpeed(const std::wstring& typed);
// 0..255, an empty box being 0 (fire until the button is released);
// anything else becomes 1.
CheckedNumber CheckFireTimes(const std::wstring& typed);

}  // namespace kovral
