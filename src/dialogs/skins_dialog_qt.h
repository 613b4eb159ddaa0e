#pragma once
// The skin chooser of the Qt shell (the model: skins_choice.h). The caller
// reads the result fields after OK and stores them.
#include <string>
#include <vector>

#include "dialogs/skin_dialog_qt.h"
#include "dialogs/skins_choice.h"
#include "ui/color_chooser.h"

namespace kovral {

class CSkinsDialog final : public SkinsResult, public CSkinDialog {
 public:
  // `environment` carries the current skin folder and the text colour; the
  // skins listed are those of the folders holding "Skins" (SkinsHomesFor),
  // in that order.
  CSkinsDialog(DialogEnvironment environment, std::wstring currentSkinName, ColorChooser& colors,
               const std::vector<std::wstring>& skinsHomes);
};

}  // namespace kovral
