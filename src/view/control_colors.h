#pragma once
// How the main window colours the few standard controls its pages create
// (WM_CTLCOLOR*): the DPI stage swatches, the lighting and mouse-event value
// texts, the macro lists and edits, the drop-down lists.
#include <cstdint>

#include "ui/text_style.h"

namespace kovral {

enum class ControlType { Static, Edit, ListBox, Button, Other };

struct ControlColors {
  enum class Text { Unchanged, TextColor, White };
  enum class Background { Unchanged, Transparent, Opaque };
  enum class Brush { Default, Solid };

  Text text = Text::Unchanged;
  Background background = Background::Unchanged;
  ui::Rgb backgroundColor;  // with Background::Opaque
  bool normalFont = false;  // select the window's normal font
  Brush brush = Brush::Default;
  ui::Rgb brushColor;       // with Brush::Solid
};

// `dpiColor`: the record's twelve stage colour bytes (red, green, blue per stage).
ControlColors ColorsForControl(ControlType type, int id, const uint8_t (&dpiColor)[12]);

}  // namespace kovral
