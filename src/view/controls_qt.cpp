#include "view/controls_qt.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include "view/main_window_qt.h"

namespace kovral {
namespace {

QColor ToQColor(ui::Rgb c) { return QColor(c.red, c.green, c.blue); }

// A row of a list whose font's stand-in face is taller than the row the
// Windows face would have: the text is drawn over the row's edges rather
// than clipped to it, as Windows draws a face taller than its line.
class RowDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    if (selected) painter->fillRect(option.rect, palette.color(QPalette::Highlight));
    painter->save();
    painter->setFont(option.font);
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const int spill = option.fontMetrics.height();
    painter->drawText(option.rect.adjusted(2, -spill, 0, spill), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
  }
};

// Qt makes the first entry current when a list gets the keyboard, so the
// first Down would highlight the second. In a Windows list nothing is
// highlighted until a key moves: Down or Up then highlights the first.
class FirstKeyHighlightsFirst final : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* list = static_cast<QListWidget*>(watched);
    if ((key != Qt::Key_Down && key != Qt::Key_Up) || list->count() == 0 || !list->selectedItems().isEmpty())
      return false;
    list->setCurrentRow(0);
    return true;
  }
};

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

void SetListRows(QListWidget& list, const std::vector<std::wstring>& items, int lineHeight) {
  const QSignalBlocker quiet(&list);
  list.clear();
  if (dynamic_cast<RowDelegate*>(list.itemDelegate()) == nullptr) {
    list.setItemDelegate(new RowDelegate(&list));
    list.installEventFilter(new FirstKeyHighlightsFirst(&list));
    // A Windows list box clips a long entry; a scroll bar under it would
    // take a row's room and so end the list one entry further on.
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  for (const std::wstring& text : items) {
    auto* row = new QListWidgetItem(QString::fromStdWString(text), &list);
    row->setSizeHint(QSize(0, lineHeight));
  }
  list.setCurrentRow(-1);
}

}  // namespace kovral
