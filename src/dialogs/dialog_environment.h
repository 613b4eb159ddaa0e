#pragma once
// What a dialog takes from the program when it opens: the skin, the text
// colour and the interface language.
#include <string>

#include "ui/text_style.h"

namespace kovral {

struct DialogEnvironment {
  std::wstring skinFolder;
  ui::Rgb textColor;
  std::wstring languageCode;  // "Lan" of str.ini, as read at start
};

}  // namespace kovral
