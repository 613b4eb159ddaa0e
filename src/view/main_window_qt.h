#pragma once
// The skinned top-level window of the Qt shell: frameless, it paints the
// scene it is given at its screen's scale and reports the pointer in units.
// What a press or a hover means is decided by the portable code behind the
// handlers; the window only drags itself where a press was not taken.
#include <QWidget>

#include <functional>
#include <string>

#include "ui/font_choice.h"
#include "ui/image_cache_qt.h"
#include "view/layout.h"
#include "view/scene.h"

namespace kovral {

class MainWindowQt final : public QWidget {
 public:
  struct Handlers {
    // A left press; true when an element took it (no drag then).
    std::function<bool(layout::Point)> press;
    std::function<void(layout::Point)> release;
    // Every move over the window, button held or not: the hover.
    std::function<void(layout::Point)> move;
    // The pointer left the window: nothing is hovered.
    std::function<void()> leave;
    // A right press.
    std::function<void()> context;
  };

  MainWindowQt();

  // The window's size in units; the widget takes its device size at the
  // current scale.
  void SetUnitSize(layout::Size size);
  void SetScene(Scene scene);
  void SetSkin(std::wstring folder, ui::FontPair fonts);
  // The window's own picture (its "/main.png"), drawn under the scene: the
  // window keeps the one of the skin it started with while the pages take
  // a newly chosen skin's.
  void SetBackground(std::wstring folder);
  void SetHandlers(Handlers handlers) { handlers_ = std::move(handlers); }

  // 96 times the device pixel ratio of the screen the window is on.
  int Dpi() const;
  // The unit point of a point in the widget's own (logical) coordinates.
  layout::Point UnitPointOf(const QPointF& local) const;
  // A unit rectangle in the widget's coordinates: children are placed by it.
  QRect WidgetRect(const layout::Rect& units) const;

  // Shows the window in front, from the tray or a second start.
  void Present();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent*) override;
  void changeEvent(QEvent* event) override;

 private:
  void FitSize();
  void PresentPicture(QImage picture, qint64 renderNs);

  layout::Size unitSize_{};
  Scene scene_;
  std::wstring skinFolder_;
  std::wstring backgroundFolder_;
  ImageCacheQt backgroundImages_;
  bool timePaint_ = false;  // KOVRAL_PAINT_TIME: each full paint's time on stderr
  ui::FontPair fonts_{};
  ImageCacheQt images_;
  Handlers handlers_;
  bool dragging_ = false;
  QPoint dragOffset_;
};

}  // namespace kovral
