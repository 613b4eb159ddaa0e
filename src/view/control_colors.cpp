#include "view/control_colors.h"

namespace kovral {
namespace {

constexpr ui::Rgb kBlack{0, 0, 0};
constexpr ui::Rgb kStaticGreen{100, 150, 100};
constexpr ui::Rgb kMacroListBrush{4, 5, 6};

}  // namespace

ControlColors ColorsForControl(ControlType type, int id, const uint8_t (&dpiColor)[12]) {
  using C = ControlColors;
  C c;
  switch (type) {
    case ControlType::Static:
      if (id >= 71 && id <= 74) {  // DPI stage swatches
        const int s = id - 71;
        c.background = C::Background::Transparent;
        c.brush = C::Brush::Solid;
        c.brushColor = {dpiColor[3 * s], dpiColor[3 * s + 1], dpiColor[3 * s + 2]};
      } else if (id == 80 || id == 81 || id == 82 || id == 119 || id == 120) {
        // Lighting values, the mouse-event choice; 120 says why the desktop has
        // no such pointer setting, readable in any text colour.
        c.text = id == 120 ? C::Text::White : C::Text::TextColor;
        c.background = C::Background::Opaque;
        c.backgroundColor = kBlack;
        c.normalFont = true;
        c.brush = C::Brush::Solid;
        c.brushColor = kBlack;
      } else {
        c.text = C::Text::TextColor;
        c.background = C::Background::Opaque;
        c.backgroundColor = kStaticGreen;
        c.normalFont = true;
        c.brush = C::Brush::Solid;
        c.brushColor = kStaticGreen;
      }
      break;
    case ControlType::Edit:
      c.text = C::Text::TextColor;
      c.background = C::Background::Transparent;
      c.brush = C::Brush::Solid;
      c.brushColor = kBlack;
      break;
    case ControlType::ListBox:
      // A list box paints each entry over its own background colour (an
      // opaque text output), whatever the background mode: a transparent
      // mode alone leaves the entries white, and white text on them unread.
      if (id == 151 || id == 152) {  // macro list, key-press sequence
        c.text = C::Text::TextColor;
        c.background = C::Background::Opaque;
        c.backgroundColor = kMacroListBrush;
        c.brush = C::Brush::Solid;
        c.brushColor = kMacroListBrush;
      } else {
        c.text = C::Text::White;
        c.background = C::Background::Opaque;
        c.backgroundColor = kBlack;
        c.normalFont = true;
        c.brush = C::Brush::Solid;
        c.brushColor = kBlack;
      }
      break;
    case ControlType::Button:
      c.background = C::Background::Transparent;
      break;
    case ControlType::Other:
      break;
  }
  return c;
}

}  // namespace kovral
