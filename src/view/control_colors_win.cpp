#include "view/control_colors_win.h"

namespace kovral {

ControlType ControlTypeOf(int type) {
  if (type == CTLCOLOR_STATIC) return ControlType::Static;
  if (type == CTLCOLOR_EDIT) return ControlType::Edit;
  if (type == CTLCOLOR_LISTBOX) return ControlType::ListBox;
  if (type == CTLCOLOR_BTN) return ControlType::Button;
  return ControlType::Other;
}

HBRUSH ControlBrushes::For(ui::Rgb color) {
  OwnedBrush& brush = brushes_[ui::ColorRefOf(color)];
  if (!brush) brush.reset(CreateSolidBrush(ui::ColorRefOf(color)));
  return brush.get();
}

HBRUSH ApplyControlColors(HDC dc, const ControlColors& c, ui::Rgb textColor, HFONT font, ControlBrushes& brushes) {
  if (c.text == ControlColors::Text::TextColor) SetTextColor(dc, ui::ColorRefOf(textColor));
  if (c.text == ControlColors::Text::White) SetTextColor(dc, RGB(255, 255, 255));
  if (c.background == ControlColors::Background::Transparent) SetBkMode(dc, TRANSPARENT);
  if (c.background == ControlColors::Background::Opaque) SetBkColor(dc, ui::ColorRefOf(c.backgroundColor));
  if (c.normalFont && font) SelectObject(dc, font);
  if (c.brush == ControlColors::Brush::Default) return nullptr;
  return brushes.For(c.brushColor);
}

}  // namespace kovral
