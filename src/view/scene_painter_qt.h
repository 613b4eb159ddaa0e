#pragma once
// Executes a scene with QPainter: the Qt shell's only way of turning a
// page's, dialog's or notice's picture into pixels. The painter draws in
// device pixels; every unit rectangle goes through the one mapping of
// ui/dpi_scale.h at the DPI given (96 times the device pixel ratio).
#include <QFont>
#include <QImage>
#include <QPainter>

#include <string>

#include "base/message_sink.h"
#include "ui/font_choice.h"
#include "ui/image_cache_qt.h"
#include "view/scene.h"

namespace kovral {

struct SceneResourcesQt {
  const std::wstring& skinFolder;
  ImageCacheQt& images;
  QFont normalFont;
  QFont titleFont;
  QFont largeFont;  // only where a scene uses SceneFont::Large
  int dpi = 96;
  // Dialogs tell the user of a picture that cannot be drawn; the main
  // window leaves its place empty.
  MessageSink* imageFailures = nullptr;
};

// A font of the portable choice at a DPI, in device pixels: a positive
// height is the cell (ascent and descent), a negative one the characters'.
QFont SkinFontQt(const ui::FontChoice& choice, int dpi);
// Names the Windows faces of the font choice (Arial, Tahoma, 黑体, 宋体)
// by the fonts a Linux desktop has for them. Once, before any font is made.
void InstallFontSubstitutesQt();

void PaintSceneQt(QPainter& painter, const Scene& scene, const SceneResourcesQt& resources);

// The whole scene into a picture of `size` units at the DPI.
QImage RenderSceneQt(const Scene& scene, layout::Size size, const SceneResourcesQt& resources);

}  // namespace kovral
