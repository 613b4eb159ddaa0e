#include "view/scene_painter_qt.h"

#include <QFontMetrics>
#include <QString>
#include <QStringList>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "lang/messages.h"
#include "ui/dpi_scale.h"
#include "ui/text_fit.h"
#include "ui/text_style.h"

namespace kovral {
namespace {

QRect ToQRect(const layout::Rect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

QColor ToQColor(ui::Rgb c) { return QColor(c.red, c.green, c.blue); }

// Wrapped text breaks between words, and inside one only when it is wider
// than the box alone (as DT_WORDBREAK | DT_EDITCONTROL); Unicode's rules
// break Chinese between any two characters. The lines sit centred in the
// box as the Win32 painter centres them. The box was measured for the
// Windows face's line pitch, its cell; the stand-in face here may space its
// lines wider (Nimbus Sans for Arial: 18 px lines at 13 px), so lines that
// need more height than the box has come closer, down to the box's share for
// each but never under a line's ink, and only beyond that spill evenly above
// and below rather than lose their last words.
void DrawWrapped(QPainter& painter, const QRect& box, QString text, const QFont& font, Qt::Alignment horizontal) {
  text.replace(QLatin1Char('\n'), QChar::LineSeparator);
  QTextLayout layout(text, font, painter.device());
  QTextOption option(horizontal);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  std::vector<QTextLine> lines;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(box.width());
    lines.push_back(line);
  }
  layout.endLayout();
  if (lines.empty()) return;
  const QFontMetricsF metrics(font, painter.device());
  const qreal natural = lines.front().height();
  // A line's ink: a capital and a descender, or an ideograph (an em).
  const qreal ink = std::max(metrics.capHeight() + metrics.descent(), static_cast<qreal>(font.pixelSize()));
  const auto count = static_cast<qreal>(lines.size());
  const qreal pitch = std::clamp(box.height() / count, std::min(ink, natural), natural);
  const qreal top = box.top() + (box.height() - pitch * count) / 2;
  for (size_t i = 0; i < lines.size(); ++i)
    lines[i].setPosition(QPointF(0, top + pitch * static_cast<qreal>(i) - (natural - pitch) / 2));
  layout.draw(&painter, QPointF(box.left(), 0));
}

// Single lines a little too wide are narrowed (StretchToFit), and beyond
// that clipped.
void DrawText(QPainter& painter, const SceneItem& item, const QFont& font, int dpi) {
  const QRect box = ToQRect(ui::DeviceRect(item.rect, dpi));
  const unsigned f = item.format;
  int flags = (f & ui::kTextFlagRight) ? Qt::AlignRight : (f & ui::kTextFlagCentre) ? Qt::AlignHCenter : Qt::AlignLeft;
  QString text = QString::fromStdWString(item.text);
  painter.save();
  painter.setFont(font);
  painter.setPen(ToQColor(item.color));
  if (f & ui::kTextFlagWordBreak) {
    DrawWrapped(painter, box, text, font, static_cast<Qt::Alignment>(flags));
    painter.restore();
    return;
  }
  flags |= Qt::TextSingleLine | ((f & ui::kTextFlagVCentre) ? Qt::AlignVCenter : Qt::AlignTop);
  if (f & ui::kTextFlagEndEllipsis) {
    text = QFontMetrics(font).elidedText(text, Qt::ElideRight, box.width());
  } else if (const int stretch = ui::StretchToFit(QFontMetrics(font).horizontalAdvance(text), box.width());
             stretch < 100) {
    QFont narrower(font);
    narrower.setStretch(stretch);
    painter.setFont(narrower);
  }
  painter.setClipRect(box, Qt::IntersectClip);
  painter.drawText(box, flags, text);
  painter.restore();
}

void Execute(QPainter& painter, const SceneItem& item, const SceneResourcesQt& r) {
  switch (item.kind) {
    case SceneItem::Kind::Image: {
      const QImage* image = r.images.Get(r.skinFolder, item.image, r.dpi);
      if (!image) {
        if (r.imageFailures) r.imageFailures->Show(kMsgLoadPngFailed, L"");
        return;
      }
      const layout::Point at = ui::DevicePoint(layout::Point{item.rect.left, item.rect.top}, r.dpi);
      painter.drawImage(QPoint(at.x, at.y), *image);
      return;
    }
    case SceneItem::Kind::Fill:
      painter.fillRect(ToQRect(ui::DeviceRect(item.rect, r.dpi)), ToQColor(item.color));
      return;
    case SceneItem::Kind::Text: {
      const QFont& font = item.font == SceneFont::Title   ? r.titleFont
                          : item.font == SceneFont::Large ? r.largeFont
                                                          : r.normalFont;
      DrawText(painter, item, font, r.dpi);
      return;
    }
  }
}

}  // namespace

// A positive height is a cell height of the Windows face the choice names
// (its ascent and descent); the face drawn here stands in for it with other
// metrics, so the character size comes from the named face's own ratio of
// cell to em, not from the stand-in's.
double CellPerEm(const wchar_t* face) {
  const std::wstring name = face ? face : L"";
  if (name == L"Arial") return 2288.0 / 2048.0;   // Arial's win ascent and descent
  if (name == L"Tahoma") return 2472.0 / 2048.0;  // Tahoma's
  if (name == L"黑体" || name == L"宋体") return 1.0;  // the Chinese faces' cell is their em
  return 1.15;
}

QFont SkinFontQt(const ui::FontChoice& choice, int dpi) {
  QFont font(QString::fromWCharArray(choice.face));
  font.setWeight(static_cast<QFont::Weight>(choice.weight));
  font.setStyleStrategy(QFont::PreferAntialias);
  const int device = std::abs(ui::DeviceFontHeight(choice.height, dpi));
  const double em = choice.height > 0 ? device / CellPerEm(choice.face) : device;
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(em))));
  return font;
}

void InstallFontSubstitutesQt() {
  const QStringList chinese{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                            QStringLiteral("Droid Sans Fallback")};
  QFont::insertSubstitutions(QString::fromWCharArray(L"黑体"), chinese);
  QFont::insertSubstitutions(QString::fromWCharArray(L"宋体"), chinese);
  QFont::insertSubstitutions(QStringLiteral("Arial"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
                              QStringLiteral("DejaVu Sans")});
  QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
}

void PaintSceneQt(QPainter& painter, const Scene& scene, const SceneResourcesQt& resources) {
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (const SceneItem& item : scene.items()) Execute(painter, item, resources);
}

QImage RenderSceneQt(const Scene& scene, layout::Size size, const SceneResourcesQt& resources) {
  const layout::Size device = ui::DeviceSize(size, resources.dpi);
  QImage picture(std::max(1, device.width), std::max(1, device.height), QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::black);
  QPainter painter(&picture);
  PaintSceneQt(painter, scene, resources);
  return picture;
}

}  // namespace kovral
