#pragma once
// The standard controls a skinned window of the Qt shell holds (the
// drop-down lists, the macro lists and edits, the DPI stage swatches, the
// value texts, buttons and check boxes), coloured as the Win32 shell
// colours them (view/control_colors.h) and placed by unit rectangles.
#include <QFont>
#include <QListWidget>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/text_style.h"
#include "view/control_colors.h"
#include "view/layout.h"

namespace kovral {

class MainWindowQt;

struct ControlLook {
  const uint8_t (&dpiColor)[12];  // the record's stage colours
  ui::Rgb textColor;              // the user's text colour
  QFont normalFont;               // the normal font in logical pixels (SkinFontQt at 96 DPI): Qt scales children
};

// A control of `type` (Other: a check box) with the control id the page
// names, placed at `units` in the window, showing `text` (a static's, an
// edit's, a button's label). The window owns it.
QWidget* MakeSkinnedControl(MainWindowQt& window, ControlType type, int id, const layout::Rect& units,
                            const std::wstring& text, const ControlLook& look);
// Colours a control anew (the stage colours or the text colour changed).
void ColorSkinnedControl(QWidget& control, ControlType type, int id, const ControlLook& look);
// Gives a control the colours of an answer (a page's or a dialog's), with
// `textColor` the user's text colour and `normalFont` the window's font.
void ApplyControlColorsQt(QWidget& control, const ControlColors& colors, ui::Rgb textColor, const QFont& normalFont);

// Replaces a list's entries by `items` in rows as high as a Windows list
// box makes them, the font's line of `lineHeight` units: the style's padding
// would show fewer entries than the list has room for, and a click would
// land on another entry than on Windows. No entry is current afterwards, so
// the first Down key highlights the first entry, as in a Windows list.
void SetListRows(QListWidget& list, const std::vector<std::wstring>& items, int lineHeight);

}  // namespace kovral
