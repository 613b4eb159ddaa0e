#include "view/main_window_qt.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <QElapsedTimer>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ui/dpi_scale.h"
#include "view/scene_painter_qt.h"

namespace kovral {

MainWindowQt::MainWindowQt() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  timePaint_ = std::getenv("KOVRAL_PAINT_TIME") != nullptr;
}

void MainWindowQt::SetBackground(std::wstring folder) {
  backgroundFolder_ = std::move(folder);
  backgroundImages_.Clear();
  update();
}

void MainWindowQt::SetUnitSize(layout::Size size) {
  unitSize_ = size;
  FitSize();
}

void MainWindowQt::SetScene(Scene scene) {
  scene_ = std::move(scene);
  update();
}

void MainWindowQt::SetSkin(std::wstring folder, ui::FontPair fonts) {
  skinFolder_ = std::move(folder);
  fonts_ = fonts;
  images_.Clear();
  update();
}

int MainWindowQt::Dpi() const { return static_cast<int>(std::lround(ui::kUnitDpi * devicePixelRatioF())); }

layout::Point MainWindowQt::UnitPointOf(const QPointF& local) const {
  const qreal ratio = devicePixelRatioF();
  const layout::Point device{static_cast<int>(std::floor(local.x() * ratio)),
                             static_cast<int>(std::floor(local.y() * ratio))};
  return ui::UnitPoint(device, Dpi());
}

// Device pixels back to the widget's logical ones; at a whole ratio exact.
QRect MainWindowQt::WidgetRect(const layout::Rect& units) const {
  const layout::Rect device = ui::DeviceRect(units, Dpi());
  const qreal ratio = devicePixelRatioF();
  const int left = static_cast<int>(std::lround(device.left / ratio));
  const int top = static_cast<int>(std::lround(device.top / ratio));
  const int right = static_cast<int>(std::lround(device.right / ratio));
  const int bottom = static_cast<int>(std::lround(device.bottom / ratio));
  return QRect(left, top, right - left, bottom - top);
}

void MainWindowQt::FitSize() {
  const QRect r = WidgetRect(layout::Rect{0, 0, unitSize_.width, unitSize_.height});
  setFixedSize(r.size());
}

void MainWindowQt::Present() {
  show();
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  raise();
  activateWindow();
}

// The scene is drawn into a picture of the window's device pixels and
// handed to Qt at the screen's ratio: every edge comes from the one mapping,
// never from Qt's own scaling of logical coordinates.
void MainWindowQt::paintEvent(QPaintEvent*) {
  const int dpi = Dpi();
  const ui::FontPair& f = fonts_;
  SceneResourcesQt resources{skinFolder_, images_};
  if (f.normal.face) resources.normalFont = SkinFontQt(f.normal, dpi);
  if (f.title.face) resources.titleFont = SkinFontQt(f.title, dpi);
  resources.largeFont = resources.titleFont;
  resources.dpi = dpi;
  QElapsedTimer took;
  took.start();
  Scene whole;
  if (!backgroundFolder_.empty()) {
    // Named from its own folder, which may differ from the pages' skin.
    SceneResourcesQt background{backgroundFolder_, backgroundImages_};
    background.dpi = dpi;
    const QImage* main = backgroundImages_.Get(backgroundFolder_, skin::kMain, dpi);
    QImage picture(ui::DeviceSize(unitSize_, dpi).width, ui::DeviceSize(unitSize_, dpi).height,
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::black);
    {
      QPainter canvas(&picture);
      if (main) canvas.drawImage(QPoint(0, 0), *main);
      PaintSceneQt(canvas, scene_, resources);
    }
    PresentPicture(std::move(picture), took.nsecsElapsed());
    return;
  }
  QImage picture = RenderSceneQt(scene_, unitSize_, resources);
  PresentPicture(std::move(picture), took.nsecsElapsed());
}

void MainWindowQt::PresentPicture(QImage picture, qint64 renderNs) {
  picture.setDevicePixelRatio(devicePixelRatioF());
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), picture);
  if (timePaint_)
    std::fprintf(stderr, "kovral: full paint at ratio %.2f: %.2f ms\n", devicePixelRatioF(), renderNs / 1e6);
}

void MainWindowQt::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && handlers_.context) return handlers_.context();
  if (event->button() != Qt::LeftButton) return;
  const bool taken = handlers_.press && handlers_.press(UnitPointOf(event->position()));
  if (taken) return;
  // A Wayland compositor places its windows itself and ignores a move: the
  // drag is the compositor's own, asked for at the press.
  if (QGuiApplication::platformName() == QLatin1String("wayland") && windowHandle() &&
      windowHandle()->startSystemMove())
    return;
  dragging_ = true;
  dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

// The window follows the pointer only while the button that took it is held.
void MainWindowQt::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) {
    if (event->buttons() & Qt::LeftButton) {
      move(event->globalPosition().toPoint() - dragOffset_);
      return;
    }
    dragging_ = false;
  }
  if (handlers_.move) handlers_.move(UnitPointOf(event->position()));
}

void MainWindowQt::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const bool wasDragging = dragging_;
  dragging_ = false;
  if (!wasDragging && handlers_.release) handlers_.release(UnitPointOf(event->position()));
}

void MainWindowQt::leaveEvent(QEvent*) {
  if (handlers_.leave) handlers_.leave();
}

// Another screen, another ratio: the size and the pictures follow.
void MainWindowQt::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ScreenChangeInternal) {
    images_.Clear();
    backgroundImages_.Clear();
    FitSize();
    update();
  }
  QWidget::changeEvent(event);
}

}  // namespace kovral
