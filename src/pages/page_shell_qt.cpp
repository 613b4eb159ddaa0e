// The pages' controls in the Qt shell: the widgets PageHost's pages ask for,
// and their signals turned back into the pages' events.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpressionValidator>

#include "pages/page_host_qt.h"
#include "settings/settings_session.h"
#include "ui/font_choice.h"
#include "view/controls_qt.h"
#include "view/scene_painter_qt.h"

namespace kovral {
namespace {

// Hands a widget's events to a function first; true swallows the event.
class EventHook final : public QObject {
 public:
  EventHook(QObject* target, std::function<bool(QEvent*)> hook) : QObject(target), hook_(std::move(hook)) {
    target->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override { return hook_(event); }

 private:
  std::function<bool(QEvent*)> hook_;
};

}  // namespace

ControlLook PageHostQt::ControlLookNow() const {
  const ui::FontPair fonts = ui::FontsForLanguageCode(look_.languageCode, ui::WindowsVersion{6, 2});
  return ControlLook{services_.settings.config.dpiColor, look_.textColor,
                     fonts.normal.face ? SkinFontQt(fonts.normal, 96) : QFont()};
}

int PageHostQt::LineHeight() const {
  return ui::FontsForLanguageCode(look_.languageCode, ui::WindowsVersion{6, 2}).normal.height;
}

QWidget* PageHostQt::ControlWidget(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second.widget.data();
}

bool PageHostQt::IsPageList(const QWidget* widget) const {
  for (const auto& [id, control] : controls_) {
    if (control.kind != ControlKind::List || !control.widget) continue;
    if (widget == control.widget || control.widget->isAncestorOf(widget)) return true;
  }
  return false;
}

bool PageHostQt::ListOpen() const {
  for (const auto& [id, control] : controls_)
    if (control.kind == ControlKind::List && control.widget && control.widget->isVisible()) return true;
  return false;
}

QWidget* PageHostQt::MakeControl(ControlType type, int id, const layout::Rect& rect, ControlKind kind,
                                 const std::wstring& text) {
  if (QWidget* old = ControlWidget(id)) old->deleteLater();
  QWidget* control = MakeSkinnedControl(services_.window, type, id, rect, text, ControlLookNow());
  controls_[id] = Control{control, kind, rect};
  return control;
}

void PageHostQt::ListEvent(int id, ui::ListEvent event) {
  auto* list = qobject_cast<QListWidget*>(ControlWidget(id));
  if (!list) return;
  const int selection = list->currentRow();
  ++notifying_;
  host_.ListEvent(id, event, selection);
  --notifying_;
}

// A press on an entry chooses it even when it is the highlighted one (the
// highlight follows the pointer); moves of the highlight by the keys only
// follow. Enter and Esc are the list's own.
void PageHostQt::Connect(int id, QWidget* control, ControlKind kind) {
  if (kind == ControlKind::List) {
    auto* list = static_cast<QListWidget*>(control);
    list->setMouseTracking(true);
    QObject::connect(list, &QListWidget::itemPressed, list, [this, id] { ListEvent(id, ui::ListEvent::PointerSelected); });
    QObject::connect(list, &QListWidget::itemDoubleClicked, list,
                     [this, id] { ListEvent(id, ui::ListEvent::DoubleClicked); });
    QObject::connect(list, &QListWidget::currentRowChanged, list, [this, id] {
      if (syncing_ || QApplication::mouseButtons() != Qt::NoButton) return;
      ListEvent(id, ui::ListEvent::KeySelected);
    });
    QObject::connect(list, &QListWidget::itemEntered, list, [this, id, list](QListWidgetItem* item) {
      if (!host_.HotTracks(id)) return;
      const int row = list->row(item);
      syncing_ = true;
      list->setCurrentRow(row);
      syncing_ = false;
      host_.HotItem(id, row);
    });
    new EventHook(list, [this, id](QEvent* event) {
      if (event->type() != QEvent::KeyPress) return false;
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        ListEvent(id, ui::ListEvent::EnterPressed);
        return true;
      }
      if (key == Qt::Key_Escape) {
        ListEvent(id, ui::ListEvent::EscapePressed);
        return true;
      }
      return false;
    });
  } else if (kind == ControlKind::Edit) {
    auto* edit = static_cast<QLineEdit*>(control);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this, id] {
      if (!syncing_) host_.EditChanged(id);
    });
    new EventHook(edit, [this, id](QEvent* event) {
      if (event->type() == QEvent::FocusOut) host_.EditLeft(id);
      return false;
    });
  }
}

bool PageHostQt::OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items, bool focus) {
  auto* list = qobject_cast<QListWidget*>(MakeControl(ControlType::ListBox, id, rect, ControlKind::List, L""));
  if (!list) return false;
  // A one-pixel line, as WS_BORDER draws: a sunken box takes two and a row's room.
  list->setFrameStyle(QFrame::Box | QFrame::Plain);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  syncing_ = true;
  SetListRows(*list, items, LineHeight());
  syncing_ = false;
  Connect(id, list, ControlKind::List);
  list->raise();
  if (focus) list->setFocus();
  return true;
}

// A list still inside its own signal is hidden now and deleted once the
// signal is over.
void PageHostQt::CloseList(int id) {
  const auto it = controls_.find(id);
  if (it == controls_.end()) return;
  QWidget* list = it->second.widget;
  controls_.erase(it);
  if (!list) return;
  // Keys must keep reaching the window (Enter and Escape hide it).
  if (list->hasFocus()) services_.window.setFocus();
  // Closed, it reports nothing more, though it lives until its signal is over.
  list->disconnect();
  list->hide();
  list->deleteLater();
}

std::optional<layout::Rect> PageHostQt::ListEntryRect(int id, int entry) {
  auto* list = qobject_cast<QListWidget*>(ControlWidget(id));
  if (!list || !list->isVisible() || entry < 0 || entry >= list->count()) return std::nullopt;
  const QRect item = list->visualItemRect(list->item(entry));
  const QPoint topLeft = list->viewport()->mapTo(&services_.window, item.topLeft());
  const QPoint bottomRight = list->viewport()->mapTo(&services_.window, item.bottomRight() + QPoint(1, 1));
  const layout::Point a = services_.window.UnitPointOf(topLeft);
  const layout::Point b = services_.window.UnitPointOf(bottomRight);
  return layout::Rect{a.x, a.y, b.x, b.y};
}

void PageHostQt::MakeList(int id, const layout::Rect& rect, bool keys) {
  QWidget* list = MakeControl(ControlType::ListBox, id, rect, ControlKind::List, L"");
  static_cast<QListWidget*>(list)->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  Connect(id, list, ControlKind::List);
  if (!keys) list->setFocusPolicy(Qt::ClickFocus);
}

void PageHostQt::SetListItems(int id, const std::vector<std::wstring>& items, int selected) {
  auto* list = qobject_cast<QListWidget*>(ControlWidget(id));
  if (!list) return;
  syncing_ = true;
  SetListRows(*list, items, LineHeight());
  list->setCurrentRow(selected);
  syncing_ = false;
}

void PageHostQt::SetListSelection(int id, int selected) {
  auto* list = qobject_cast<QListWidget*>(ControlWidget(id));
  if (!list) return;
  syncing_ = true;
  list->setCurrentRow(selected);
  syncing_ = false;
}

// Texts let clicks through to the window's elements under them.
void PageHostQt::MakeText(int id, const layout::Rect& rect, const std::wstring& text) {
  const ControlKind kind = text.empty() ? ControlKind::Swatch : ControlKind::Text;
  auto* label = static_cast<QLabel*>(MakeControl(ControlType::Static, id, rect, kind, text));
  label->setAlignment(Qt::AlignCenter);
  label->setWordWrap(true);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PageHostQt::MakeEdit(int id, const layout::Rect& rect, int limit, bool digits) {
  auto* edit = static_cast<QLineEdit*>(MakeControl(ControlType::Edit, id, rect, ControlKind::Edit, L""));
  edit->setAlignment(Qt::AlignCenter);
  edit->setMaxLength(limit);
  if (digits) edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  Connect(id, edit, ControlKind::Edit);
}

void PageHostQt::SetText(int id, const std::wstring& text) {
  QWidget* control = ControlWidget(id);
  syncing_ = true;
  if (auto* label = qobject_cast<QLabel*>(control)) label->setText(QString::fromStdWString(text));
  if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->setText(QString::fromStdWString(text));
  syncing_ = false;
}

std::wstring PageHostQt::Text(int id) {
  QWidget* control = ControlWidget(id);
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text().toStdWString();
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text().toStdWString();
  return {};
}

// The swatches' colours are the record's, read again here.
void PageHostQt::RefreshSwatch(int id) {
  const auto it = controls_.find(id);
  if (it == controls_.end() || !it->second.widget) return;
  const ControlKind kind = it->second.kind;
  const ControlType type = kind == ControlKind::Edit   ? ControlType::Edit
                           : kind == ControlKind::List ? ControlType::ListBox
                                                       : ControlType::Static;
  ColorSkinnedControl(*it->second.widget, type, id, ControlLookNow());
  it->second.widget->update();
}

void PageHostQt::Focus(int id) {
  QWidget* target = id == 0 ? &services_.window : ControlWidget(id);
  if (target) target->setFocus();
}

void PageHostQt::SetTitle(const std::wstring& text) {
  if (!titleChanged_) ownTitle_ = services_.window.windowTitle().toStdWString();
  titleChanged_ = !text.empty();
  services_.window.setWindowTitle(QString::fromStdWString(titleChanged_ ? text : ownTitle_));
}

void PageHostQt::DestroyControls() {
  capturing_ = false;
  for (auto& [id, control] : controls_) {
    if (!control.widget) continue;
    control.widget->hide();
    control.widget->deleteLater();
  }
  controls_.clear();
  syncing_ = false;
}

}  // namespace kovral
