#include "dialogs/skin_dialog_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

#include "assign/key_names.h"
#include "settings/app_paths.h"
#include "ui/dpi_scale.h"
#include "ui/font_choice.h"
#include "view/controls_qt.h"
#include "view/message_box_qt.h"
#include "view/page_hover.h"
#include "view/scene_painter_qt.h"

namespace kovral {
namespace {

// The dialogs running, innermost first through their outer_ links.
CSkinDialog* innermostDialog = nullptr;
QPointer<QWidget> defaultOwner;

// The Windows version the main window picks its fonts for, so the dialogs
// and the window show the same faces.
constexpr ui::WindowsVersion kFontVersion{6, 2};

// How the Win32 shell's colour messages name each kind of control: check
// boxes ask as statics do, the pop-up list as a list.
ControlType ControlTypeOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static:
    case ControlKind::CheckBox: return ControlType::Static;
    case ControlKind::Edit: return ControlType::Edit;
    case ControlKind::Button: return ControlType::Button;
    case ControlKind::List: return ControlType::ListBox;
  }
  return ControlType::Other;
}

bool IsDialogKey(const QEvent& event) {
  return event.type() == QEvent::KeyPress || event.type() == QEvent::KeyRelease;
}

}  // namespace

// Qt on X11 reports the X key code, the Linux input code plus 8. A key the
// tables do not name keeps Qt's name of it, as Windows gives the system's.
std::wstring KeyNameOfKeyEvent(const QKeyEvent& event) {
  const quint32 code = event.nativeScanCode();
  if (code >= 8) {
    if (const wchar_t* name = KeyNameOfEvdevCode(code - 8)) return name;
  }
  std::wstring name = QKeySequence(event.key()).toString(QKeySequence::NativeText).toStdWString();
  if (name.empty()) name = event.text().toStdWString();
  return name.substr(0, 31);
}

CSkinDialog::Messages::Messages(QWidget& owner)
    : owner_(owner), appName_(QString::fromStdWString(ApplicationName(ModulePath()))) {}

QString CSkinDialog::Messages::Caption(const std::wstring& caption) const {
  return caption.empty() ? appName_ : QString::fromStdWString(caption);
}

void CSkinDialog::Messages::Show(const std::wstring& text, const std::wstring& caption) {
  RunMessageBoxQt(&owner_, Caption(caption).toStdWString(), text, false);
}

bool CSkinDialog::Messages::Ask(const std::wstring& question, const std::wstring& caption) {
  return RunMessageBoxQt(&owner_, Caption(caption).toStdWString(), question, true);
}

CSkinDialog::CSkinDialog(std::unique_ptr<SkinDialogModel> model)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint), model_(std::move(model)), messages_(*this) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setModal(true);
  installEventFilter(this);
  hover_.setSingleShot(true);
  hover_.setInterval(static_cast<int>(kHoverTimeMs));
  connect(&hover_, &QTimer::timeout, this, [this] { model_->OnMouseHover(UnitPointOf(hoverAt_)); });
  model_->Attach(*this);
}

// The list and the controls are children and go with the dialog.
CSkinDialog::~CSkinDialog() { hover_.stop(); }

void CSkinDialog::SetDefaultOwner(QWidget* owner) { defaultOwner = owner; }

// The dialog is listed while it runs, from before its face is loaded, since
// a message box of its opening runs a loop in which the device may go.
int CSkinDialog::RunModal(QWidget* owner) {
  if (owner == nullptr) owner = defaultOwner.data();
  outer_ = innermostDialog;
  innermostDialog = this;
  const std::unique_ptr<CSkinDialog, void (*)(CSkinDialog*)> listed(this, [](CSkinDialog* ran) {
    innermostDialog = ran->outer_;
    ran->outer_ = nullptr;
  });
  ending_ = false;
  result_ = kDialogCancel;
  setParent(owner, windowFlags());
  if (!LoadFace()) {
    model_->OnFaceMissing();
    return result_;
  }
  faceLoaded_ = true;
  Centre(owner);
  model_->Open();
  Render();
  if (!ending_) exec();
  hover_.stop();
  return result_;
}

// Qt gives an unshown window the ratio of the screen it will open on. The
// dialog takes the size of its face, as drawn for that ratio.
bool CSkinDialog::LoadFace() {
  const QImage* face =
      images_.Get(model_->environment().skinFolder, layout::DialogFaceOf(model_->kind()).background, Dpi());
  if (face == nullptr) return false;
  surface_ = QImage(face->size(), QImage::Format_ARGB32_Premultiplied);
  const qreal ratio = devicePixelRatioF();
  setFixedSize(static_cast<int>(std::lround(face->width() / ratio)),
               static_cast<int>(std::lround(face->height() / ratio)));
  return true;
}

// Over the window it belongs to; over the screen while that window is hidden
// (a dialog from the tray).
void CSkinDialog::Centre(const QWidget* owner) {
  QRect area;
  if (owner != nullptr && owner->isVisible()) {
    area = owner->frameGeometry();
  } else if (const QScreen* shown = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen()) {
    area = shown->availableGeometry();
  }
  move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void CSkinDialog::CancelDeviceDialogs() {
  CSkinDialog* outermost = nullptr;
  for (CSkinDialog* d = innermostDialog; d != nullptr; d = d->outer_)
    if (DialogEndsWithTheDevice(d->model_->kind())) outermost = d;
  if (outermost == nullptr) return;
  for (CSkinDialog* d = innermostDialog; d != nullptr; d = d->outer_) {
    d->CancelWithOwnedWindows();
    if (d == outermost) break;
  }
}

// The boxes and choosers over the dialog run loops of their own, which end
// before the dialog's can: each is closed as its Esc would close it.
void CSkinDialog::CancelWithOwnedWindows() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* over = qobject_cast<QDialog*>(top);
    if (over != nullptr && over != this && over->isVisible() && over->parentWidget() == this) over->reject();
  }
  capturing_ = false;
  End(false);
}

bool CSkinDialog::AnyRunningOver(const QWidget* owner) {
  for (CSkinDialog* d = innermostDialog; d != nullptr; d = d->outer_)
    if (!d->ending_ && d->parentWidget() == owner) return true;
  return false;
}

int CSkinDialog::Dpi() const { return static_cast<int>(std::lround(ui::kUnitDpi * devicePixelRatioF())); }

layout::Point CSkinDialog::UnitPointOf(const QPointF& local) const {
  const qreal ratio = devicePixelRatioF();
  return ui::UnitPoint(layout::Point{static_cast<int>(std::floor(local.x() * ratio)),
                                     static_cast<int>(std::floor(local.y() * ratio))},
                       Dpi());
}

// Edge by edge in device pixels, then back to Qt's logical ones.
QRect CSkinDialog::WidgetRect(const layout::Rect& units) const {
  const layout::Rect device = ui::DeviceRect(units, Dpi());
  const QRectF logical = QRectF(QPointF(device.left, device.top), QPointF(device.right, device.bottom));
  const qreal ratio = devicePixelRatioF();
  return QRectF(logical.topLeft() / ratio, logical.bottomRight() / ratio).toRect();
}

QFont CSkinDialog::DeviceFont() const {
  return SkinFontQt(ui::FontsForLanguageCode(model_->environment().languageCode, kFontVersion).normal, Dpi());
}

// Qt scales the children's text by the ratio itself.
QFont CSkinDialog::WidgetFont() const {
  return SkinFontQt(ui::FontsForLanguageCode(model_->environment().languageCode, kFontVersion).normal,
                    ui::kUnitDpi);
}

QWidget* CSkinDialog::ControlOf(int id) const {
  if (list_ && id == listId_) return list_;
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second.widget;
}

QListWidget* CSkinDialog::openList() const { return list_; }

void CSkinDialog::StyleControl(QWidget& control, int id, ControlKind kind) {
  control.setFont(WidgetFont());
  ApplyControlColorsQt(control, model_->ColorsFor(id, ControlTypeOf(kind)), model_->environment().textColor,
                       WidgetFont());
  control.installEventFilter(this);
}

void CSkinDialog::CreateControl(const ControlRequest& request) {
  const QString text = QString::fromStdWString(request.text);
  const Qt::Alignment across = request.centred ? Qt::AlignHCenter : Qt::AlignLeft;
  QWidget* made = nullptr;
  switch (request.kind) {
    case ControlKind::Static: {
      auto* label = new QLabel(text, this);
      label->setAlignment(across | Qt::AlignVCenter);
      made = label;
      break;
    }
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(text, this);
      edit->setAlignment(across | Qt::AlignVCenter);
      edit->setFrame(request.framed);
      if (request.limit > 0) edit->setMaxLength(request.limit);
      if (request.digitsOnly)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
      connect(edit, &QLineEdit::textChanged, this,
              [this, id = request.id] { model_->OnControlEvent(id, ControlEvent::Changed); });
      made = edit;
      break;
    }
    case ControlKind::Button:
    case ControlKind::CheckBox: {
      QAbstractButton* button = request.kind == ControlKind::Button ? static_cast<QAbstractButton*>(new QPushButton(text, this))
                                                                 : new QCheckBox(text, this);
      connect(button, &QAbstractButton::clicked, this,
              [this, id = request.id] { model_->OnControlEvent(id, ControlEvent::Clicked); });
      made = button;
      break;
    }
    case ControlKind::List: {
      auto* list = new QListWidget(this);
      list->setFrameShape(QFrame::NoFrame);
      WatchList(*list, request.id, false);
      made = list;
      break;
    }
  }
  made->setFocusPolicy(request.tabStop || request.kind == ControlKind::Edit || request.kind == ControlKind::List
                           ? Qt::StrongFocus
                           : Qt::ClickFocus);
  if (request.kind == ControlKind::Static) made->setFocusPolicy(Qt::NoFocus);
  made->setObjectName(QStringLiteral("control%1").arg(request.id));
  StyleControl(*made, request.id, request.kind);
  made->setGeometry(WidgetRect(request.rect));
  made->show();
  controls_[request.id] = {made, request.kind, request.rect};
}

void CSkinDialog::SetText(int id, const std::wstring& text) {
  QWidget* control = ControlOf(id);
  const QString shown = QString::fromStdWString(text);
  if (auto* label = qobject_cast<QLabel*>(control)) label->setText(shown);
  if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->setText(shown);
  if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setText(shown);
}

std::wstring CSkinDialog::Text(int id) const {
  QWidget* control = ControlOf(id);
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text().toStdWString();
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text().toStdWString();
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text().toStdWString();
  return {};
}

void CSkinDialog::Enable(int id, bool enable) {
  if (QWidget* control = ControlOf(id)) control->setEnabled(enable);
}

void CSkinDialog::Show(int id, bool show) {
  if (QWidget* control = ControlOf(id)) control->setVisible(show);
}

void CSkinDialog::Focus(int id) {
  if (QWidget* control = ControlOf(id)) control->setFocus(Qt::OtherFocusReason);
}

bool CSkinDialog::HasFocus(int id) const {
  QWidget* control = ControlOf(id);
  return control != nullptr && control->hasFocus();
}

// The model's colours for the control may have changed.
void CSkinDialog::RedrawControl(int id) {
  const auto found = controls_.find(id);
  if (found == controls_.end()) return;
  StyleControl(*found->second.widget, id, found->second.kind);
  found->second.widget->update();
}

// A row wider than the list (a broken profile's reason) makes it scroll across.
void CSkinDialog::SetListItems(int id, const std::vector<std::wstring>& items) {
  auto* list = qobject_cast<QListWidget*>(ControlOf(id));
  if (!list) return;
  const QSignalBlocker quiet(list);
  list->clear();
  AddRows(*list, items);
}

void CSkinDialog::AddRows(QListWidget& list, const std::vector<std::wstring>& items) const {
  SetListRows(list, items, LineHeight());
}

void CSkinDialog::SelectListItem(int id, int index) {
  auto* list = qobject_cast<QListWidget*>(ControlOf(id));
  if (!list) return;
  const QSignalBlocker quiet(list);
  list->setCurrentRow(index);
  if (index < 0) list->clearSelection();
}

int CSkinDialog::ListSelection(int id) const {
  auto* list = qobject_cast<QListWidget*>(ControlOf(id));
  if (!list || list->selectedItems().isEmpty()) return -1;
  return list->currentRow();
}

void CSkinDialog::ScrollList(int id, int lines) {
  auto* list = qobject_cast<QListWidget*>(ControlOf(id));
  if (!list) return;
  QScrollBar* bar = list->verticalScrollBar();
  bar->setValue(bar->value() + lines * bar->singleStep());
}

// The events of a list in the model's terms: a press on an entry chooses
// it, keys move the highlight, Enter and Esc are the list's own. The pop-up
// list lights the entry under the pointer without choosing it.
void CSkinDialog::WatchList(QListWidget& list, int id, bool popUp) {
  list.setSelectionMode(QAbstractItemView::SingleSelection);
  list.setHorizontalScrollBarPolicy(popUp ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  list.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  connect(&list, &QListWidget::itemPressed, this, [this, id](QListWidgetItem* item) {
    if (item != nullptr) model_->OnListEvent(id, ui::ListEvent::PointerSelected);
  });
  connect(&list, &QListWidget::itemDoubleClicked, this,
          [this, id] { model_->OnListEvent(id, ui::ListEvent::DoubleClicked); });
  list.setProperty("kovralListId", id);
  if (popUp) {
    list.setMouseTracking(true);
    list.viewport()->setMouseTracking(true);
    list.viewport()->installEventFilter(this);
  }
}

bool CSkinDialog::OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items) {
  CloseList();
  auto* list = new QListWidget(this);
  // A one-pixel line, as WS_BORDER draws: a sunken box takes two and a row's room.
  list->setFrameStyle(QFrame::Box | QFrame::Plain);
  StyleControl(*list, id, ControlKind::List);
  WatchList(*list, id, true);
  AddRows(*list, items);
  list->setGeometry(WidgetRect(rect));
  list->setProperty("kovralUnits", QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
  list->show();
  list->raise();
  // The wheel and the keys go to the open list.
  list->setFocus(Qt::PopupFocusReason);
  list_ = list;
  listId_ = id;
  return true;
}

// A list that closes from its own signal goes after the signal is done.
void CSkinDialog::CloseList() {
  if (!list_) return;
  if (list_->hasFocus()) setFocus(Qt::OtherFocusReason);
  list_->hide();
  list_->deleteLater();
  list_ = nullptr;
  listId_ = 0;
}

void CSkinDialog::Repaint(const std::vector<layout::Rect>& rects) {
  if (!faceLoaded_ || rects.empty()) return;
  Render();
  for (const layout::Rect& r : rects) update(WidgetRect(r).adjusted(-1, -1, 1, 1));
}

// The scene starts with the face itself, so each picture is drawn whole.
void CSkinDialog::Render() {
  if (!faceLoaded_) return;
  const QFont font = DeviceFont();
  const SceneResourcesQt resources{model_->environment().skinFolder, images_, font, font, font, Dpi(), &messages_};
  surface_.fill(Qt::black);
  QPainter painter(&surface_);
  PaintSceneQt(painter, model_->BuildScene(), resources);
}

void CSkinDialog::End(bool ok) {
  ending_ = true;
  result_ = ok ? kDialogOk : kDialogCancel;
  hover_.stop();
  if (isVisible()) done(result_);
}

void CSkinDialog::Tell(const std::wstring& text, const std::wstring& caption) { messages_.Show(text, caption); }

bool CSkinDialog::Ask(const std::wstring& question, const std::wstring& caption) {
  return messages_.Ask(question, caption);
}

// Linux has no global hook a program may set: the keys come from the
// dialog's own events while it has the keyboard.
std::optional<int> CSkinDialog::StartKeyCapture() {
  capturing_ = true;
  return std::nullopt;
}

int CSkinDialog::TextWidth(std::wstring_view text) {
  return QFontMetrics(DeviceFont()).horizontalAdvance(QString::fromWCharArray(text.data(), text.size()));
}

int CSkinDialog::LineHeight() const {
  return ui::FontsForLanguageCode(model_->environment().languageCode, kFontVersion).normal.height;
}

void CSkinDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QImage shown = surface_;
  shown.setDevicePixelRatio(devicePixelRatioF());
  painter.drawImage(QPoint(0, 0), shown);
}

void CSkinDialog::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) model_->OnClick(UnitPointOf(event->position()));
}

void CSkinDialog::mouseMoveEvent(QMouseEvent* event) {
  hoverAt_ = event->position();
  if (model_->OnMouseMove(UnitPointOf(hoverAt_))) hover_.start();
}

// Enter is OK when no button has the keyboard, as in any Windows dialog;
// Qt's dialog would take it only for a default button.
void CSkinDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CSkinDialog::wheelEvent(QWheelEvent* event) {
  if (const int delta = event->angleDelta().y()) model_->OnWheel(delta);
}

// Enter and Esc reach the model as OK and Cancel; the model ends the dialog.
void CSkinDialog::accept() { model_->OnOk(); }
void CSkinDialog::reject() { model_->OnCancel(); }

// Another screen, another ratio: the face, the controls and the list follow.
void CSkinDialog::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ScreenChangeInternal && faceLoaded_) {
    images_.Clear();
    if (LoadFace()) {
      Place();
      Render();
      update();
    }
  }
  QDialog::changeEvent(event);
}

void CSkinDialog::Place() {
  for (auto& [id, control] : controls_) control.widget->setGeometry(WidgetRect(control.rect));
  if (list_) {
    const QRect u = list_->property("kovralUnits").toRect();
    list_->setGeometry(WidgetRect({u.left(), u.top(), u.left() + u.width(), u.top() + u.height()}));
  }
}

// While capturing, every key of the dialog goes to the model first, with
// a key held down as Windows repeats it: presses marked as down before, and
// no release until it is let go. Then the model may keep a key from the
// dialog keys; keys typed with Alt are the system's.
bool CSkinDialog::OnKey(QKeyEvent& event) {
  const bool released = event.type() == QEvent::KeyRelease;
  if (released && event.isAutoRepeat()) return false;
  const DialogKey key{KeyNameOfKeyEvent(event), released, released || event.isAutoRepeat()};
  if (capturing_) model_->OnCapturedKey(key);
  if (ending_) return true;
  if ((event.modifiers() & Qt::AltModifier) || event.key() == Qt::Key_Alt) return false;
  return model_->SwallowsKey(key);
}

bool CSkinDialog::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr) return false;
  if (list_ && watched == list_->viewport() && event->type() == QEvent::MouseMove) {
    const QModelIndex under = list_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (under.isValid() && under.row() != list_->currentRow()) {
      const QSignalBlocker quiet(list_.data());
      list_->setCurrentRow(under.row());
    }
    return false;
  }
  // An edit left: the model may check what was typed in it.
  if (event->type() == QEvent::FocusOut && qobject_cast<QLineEdit*>(widget) != nullptr) {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [widget](const auto& entry) { return entry.second.widget == widget; });
    if (found != controls_.end() && !ending_) model_->OnControlEvent(found->first, ControlEvent::FocusLost);
    return false;
  }
  if (!IsDialogKey(*event) || (widget != this && !isAncestorOf(widget))) return false;
  auto& key = static_cast<QKeyEvent&>(*event);
  if (OnKey(key)) return true;
  auto* list = qobject_cast<QListWidget*>(widget);
  if (list == nullptr || event->type() != QEvent::KeyPress) return false;
  const int id = list->property("kovralListId").toInt();
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      model_->OnListEvent(id, ui::ListEvent::EnterPressed);
      return true;
    case Qt::Key_Escape:
      model_->OnListEvent(id, ui::ListEvent::EscapePressed);
      return true;
    default:
      break;
  }
  // The list moves its highlight; a move is the list's key selection.
  const int before = list->currentRow();
  static_cast<QObject*>(list)->event(event);
  if (list->currentRow() != before) model_->OnListEvent(id, ui::ListEvent::KeySelected);
  return true;
}

}  // namespace kovral
