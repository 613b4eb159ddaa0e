#include "view/controls_qt.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>

#include "view/main_window_qt.h"

namespace kovral {
namespace {

QColor ToQColor(ui::Rgb c) { return QColor(c.red, c.green, c.blue); }

}  // namespace

// The roles a widget paints with stand for the Win32 text colour, text
// background and control brush: the brush fills the control (Window, Base),
// the text background sits behind each entry or label.
void ApplyControlColorsQt(QWidget& control, const ControlColors& c, ui::Rgb textColor, const QFont& normalFont) {
  QPalette palette = control.palette();
  if (c.text != ControlColors::Text::Unchanged) {
    const QColor text = c.text == ControlColors::Text::White ? QColor(Qt::white) : ToQColor(textColor);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
      palette.setColor(role, text);
  }
  bool fill = false;
  if (c.brush == ControlColors::Brush::Solid) {
    palette.setColor(QPalette::Window, ToQColor(c.brushColor));
    palette.setColor(QPalette::Base, ToQColor(c.brushColor));
    fill = true;
  }
  if (c.background == ControlColors::Background::Opaque) {
    palette.setColor(QPalette::Base, ToQColor(c.backgroundColor));
    palette.setColor(QPalette::AlternateBase, ToQColor(c.backgroundColor));
  }
  control.setPalette(palette);
  control.setAutoFillBackground(fill);
  if (c.normalFont) control.setFont(normalFont);
}

void ColorSkinnedControl(QWidget& control, ControlType type, int id, const ControlLook& look) {
  ApplyControlColorsQt(control, ColorsForControl(type, id, look.dpiColor), look.textColor, look.normalFont);
}

QWidget* MakeSkinnedControl(MainWindowQt& window, ControlType type, int id, const layout::Rect& units,
                            const std::wstring& text, const ControlLook& look) {
  const QString label = QString::fromStdWString(text);
  QWidget* control = nullptr;
  switch (type) {
    case ControlType::ListBox: {
      auto* list = new QListWidget(&window);
      list->setFrameShape(QFrame::NoFrame);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      control = list;
      break;
    }
    case ControlType::Static: {
      auto* staticText = new QLabel(label, &window);
      staticText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      control = staticText;
      break;
    }
    case ControlType::Edit: {
      auto* edit = new QLineEdit(label, &window);
      edit->setFrame(false);
      control = edit;
      break;
    }
    case ControlType::Button:
      control = new QPushButton(label, &window);
      break;
    case ControlType::Other:
      control = new QCheckBox(label, &window);
      break;
  }
  control->setObjectName(QStringLiteral("control%1").arg(id));
  control->setFont(look.normalFont);
  ColorSkinnedControl(*control, type, id, look);
  control->setGeometry(window.WidgetRect(units));
  control->show();
  return control;
}

}  // namespace kovral
