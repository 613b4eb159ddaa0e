#pragma once
// The skin chooser: one of the folders under "Skins" and a colour for the
// interface texts. The caller reads the result fields after OK and stores them.
#include <string>
#include <vector>

#include "dialogs/skin_dialog_win.h"
#include "dialogs/skins_choice.h"
#include "ui/color_chooser.h"

namespace kovral {

class CSkinsDialog final : public CSkinDialog {
 public:
  // `environment` carries the current skin folder and text colour.
  CSkinsDialog(DialogEnvironment environment, std::wstring currentSkinName, ColorChooser& colors);

  std::wstring chosenSkinName;
  std::wstring chosenSkinFolder;
  ui::Rgb chosenColor;

 protected:
  void CreateControls() override;
  void AddOwnTexts(Scene& scene) const override;
  bool OnFieldClick(layout::Point p) override;
  bool OnControlCommand(int id, int code) override;
  void OnWheel(int delta) override;
  ControlColors ColorsFor(int controlId, ControlType type) const override;

 private:
  std::vector<FolderEntry> ListSkinsRoot() const;
  void ChooseListed();

  std::wstring skinsRoot_;
  ColorChooser& colors_;
  HWND nameText_ = nullptr;
  HWND swatch_ = nullptr;
};

}  // namespace kovral
