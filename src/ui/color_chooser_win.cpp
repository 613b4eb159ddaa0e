#include <windows.h>
#include <commdlg.h>

#include "ui/color_chooser.h"

namespace kovral {
namespace {

class SystemColorChooser final : public ColorChooser {
 public:
  std::optional<ui::Rgb> Choose(void* owner, ui::Rgb initial) override {
    CHOOSECOLORW choice{};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = static_cast<HWND>(owner);
    choice.rgbResult = ui::ColorRefOf(initial);
    choice.lpCustColors = custom_;  // kept for the run, as the dialog's custom colours
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&choice)) return std::nullopt;
    return ui::Rgb{GetRValue(choice.rgbResult), GetGValue(choice.rgbResult), GetBValue(choice.rgbResult)};
  }

 private:
  COLORREF custom_[16]{};
};

}  // namespace

std::unique_ptr<ColorChooser> MakeSystemColorChooser() { return std::make_unique<SystemColorChooser>(); }

}  // namespace kovral
