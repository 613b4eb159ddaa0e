#include "view/osd_window_qt.h"

#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

#include "ui/dpi_scale.h"
#include "ui/font_choice.h"
#include "ui/image_cache_qt.h"
#include "ui/skin_files.h"
#include "view/scene_painter_qt.h"

namespace kovral {
namespace {

// Where every dialog picture of a skin has its title mark (pixels of the 1x picture).
constexpr int kAccentX = 15;
constexpr int kAccentY = 16;
constexpr ui::Rgb kDefaultAccent{0, 200, 255};

}  // namespace

QImage RenderOsdQt(const OsdNotice& notice, const OsdLook& look, int dpi, const std::wstring& languageCode) {
  const wchar_t* face = ui::FontsForLanguageCode(languageCode, ui::WindowsVersion{}).normal.face;
  const QFont large = SkinFontQt(ui::FontChoice{face, -kOsdHeadlineHeight, 700}, dpi);
  const QFont normal = SkinFontQt(ui::FontChoice{face, -kOsdDetailHeight, 400}, dpi);
  // Rounded up, so that a text measured to fit still fits once its
  // rectangle is mapped back to device pixels.
  const OsdPanel panel = LayoutOsd(notice, look, [&](const std::wstring& text, SceneFont font) {
    if (text.empty()) return 0;
    const int device = QFontMetrics(font == SceneFont::Large ? large : normal)
                           .horizontalAdvance(QString::fromStdWString(text));
    return ui::UnitCoordinate(device, dpi) + 1;
  });
  static const std::wstring noFolder;
  ImageCacheQt noPictures;  // the panel draws no skin picture
  SceneResourcesQt resources{noFolder, noPictures, normal, normal, large, dpi};
  return RenderSceneQt(panel.scene, panel.size, resources);
}

ui::Rgb SkinAccentQt(const std::wstring& skinFolder) {
  if (skinFolder.empty()) return kDefaultAccent;
  const QImage image(QString::fromStdWString(skinFolder + skin::kSingleKeyDialog));
  if (image.isNull() || image.width() <= kAccentX || image.height() <= kAccentY) return kDefaultAccent;
  const QColor c = image.pixelColor(kAccentX, kAccentY);
  return {static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue())};
}

// A tool window that bypasses the window manager: no taskbar entry, no focus,
// and clicks go to the window below (input-transparent).
OsdWindowQt::OsdWindowQt()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput | Qt::X11BypassWindowManagerHint) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

void OsdWindowQt::ShowNotice(const OsdNotice& notice, const OsdLook& look, OsdPosition position,
                             const std::wstring& languageCode) {
  QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const qreal ratio = screen->devicePixelRatio();
  const int dpi = static_cast<int>(std::lround(ui::kUnitDpi * ratio));
  picture_ = RenderOsdQt(notice, look, dpi, languageCode);
  picture_.setDevicePixelRatio(ratio);
  // The work area in device pixels, as PlaceOsd takes it, and back.
  const QRect work = screen->availableGeometry();
  const layout::Rect area{static_cast<int>(std::lround(work.left() * ratio)),
                          static_cast<int>(std::lround(work.top() * ratio)),
                          static_cast<int>(std::lround((work.right() + 1) * ratio)),
                          static_cast<int>(std::lround((work.bottom() + 1) * ratio))};
  const layout::Rect at = PlaceOsd(area, {picture_.width(), picture_.height()}, position, dpi);
  setWindowTitle(QString::fromStdWString(notice.text));
  setGeometry(static_cast<int>(std::lround(at.left / ratio)), static_cast<int>(std::lround(at.top / ratio)),
              static_cast<int>(std::lround(picture_.width() / ratio)),
              static_cast<int>(std::lround(picture_.height() / ratio)));
  setWindowOpacity(1.0);
  show();
  raise();  // a game's own window that stays on top may have come since
  update();
  shown_.start();
  timer_.start(OsdNextTickMs(0));
}

void OsdWindowQt::HideNotice() {
  timer_.stop();
  hide();
  picture_ = QImage();
}

void OsdWindowQt::Tick() {
  const qint64 elapsed = shown_.elapsed();
  if (OsdOver(elapsed)) {
    HideNotice();
    return;
  }
  // Without a compositor the opacity does nothing and the panel stays
  // opaque until it goes, as a Win32 layered window without alpha would.
  setWindowOpacity(OsdOpacity(elapsed) / 255.0);
  timer_.start(std::max(1, OsdNextTickMs(elapsed)));
}

void OsdWindowQt::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), picture_);
}

}  // namespace kovral
