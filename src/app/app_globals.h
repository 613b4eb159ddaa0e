#pragma once
// Process-wide state that every window reads: the skin, its text colour and
// the interface language. The main dialog sets it at start and when the skin
// choice changes; dialogs read it when they open.
#include <string>

#include "ui/text_style.h"

namespace kovral {

struct AppGlobals {
  std::wstring SkinFolder;    // folder of the current skin's images
  std::wstring skinName;      // its name under the "Skins" folder
  ui::Rgb TextColor;          // every text but the page titles
  std::wstring languageCode;  // "Lan" of str.ini as read at start
};

AppGlobals& Globals();

}  // namespace kovral
