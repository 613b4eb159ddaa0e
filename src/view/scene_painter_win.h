#pragma once
// Executes a scene into a device context: the only place that turns a
// page's or dialog's picture into GDI calls. Scenes are in 96-DPI units;
// every rectangle is mapped to the window's device pixels here.
#include <windows.h>

#include <span>
#include <string>

#include "base/message_sink.h"
#include "view/scene.h"
#include "ui/dpi_scale.h"
#include "ui/image_cache_win.h"

namespace kovral {

struct SceneResources {
  const std::wstring& skinFolder;
  ImageCache& images;
  HFONT normalFont = nullptr;
  HFONT titleFont = nullptr;
  // Dialogs tell the user of every picture that cannot be drawn; the main
  // window leaves the place empty.
  MessageSink* imageFailures = nullptr;
  // The DPI of the window drawn into; the fonts are made for it.
  int dpi = ui::kUnitDpi;
  HFONT largeFont = nullptr;  // only where a scene uses SceneFont::Large
};

// The whole scene, in order.
void PaintScene(HDC dc, const Scene& scene, const SceneResources& resources);
// The device pixels a repaint of the rectangles (units) touches: the
// smallest rectangle holding them all.
RECT RepaintBounds(std::span<const layout::Rect> dirty, int dpi);
// Each rectangle (in units) in turn: the items that reach into it, clipped to it, so
// the pixels there end up as a full paint leaves them.
void RepaintScene(HDC dc, const Scene& scene, const SceneResources& resources, std::span<const layout::Rect> dirty);

}  // namespace kovral
