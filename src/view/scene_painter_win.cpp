#include "view/scene_painter_win.h"

#include "lang/messages.h"
#include "view/layout_win.h"
#include "ui/text_win.h"

namespace kovral {
namespace {

void Execute(HDC dc, const SceneItem& item, const SceneResources& r) {
  if (item.kind == SceneItem::Kind::Image) {
    const layout::Point at = ui::DevicePoint(layout::Point{item.rect.left, item.rect.top}, r.dpi);
    if (!DrawCachedPng(dc, r.images, r.skinFolder, item.image, at.x, at.y, r.dpi) && r.imageFailures)
      r.imageFailures->Show(kMsgLoadPngFailed, L"");
    return;
  }
  if (item.kind == SceneItem::Kind::Fill) {
    const RECT rect = layout::ToRECT(ui::DeviceRect(item.rect, r.dpi));
    // The DC brush needs no object to make and free for each fill.
    const COLORREF previous = SetDCBrushColor(dc, ui::ColorRefOf(item.color));
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, previous);
    return;
  }
  const HFONT font = item.font == SceneFont::Title   ? r.titleFont
                     : item.font == SceneFont::Large ? r.largeFont
                                                     : r.normalFont;
  ui::DrawSkinText(dc, item.text, layout::ToRECT(ui::DeviceRect(item.rect, r.dpi)), item.format, item.color, font);
}

}  // namespace

void PaintScene(HDC dc, const Scene& scene, const SceneResources& resources) {
  for (const SceneItem& item : scene.items()) Execute(dc, item, resources);
}

RECT RepaintBounds(std::span<const layout::Rect> dirty, int dpi) {
  RECT bounds{};
  for (const layout::Rect& rect : dirty) {
    const RECT device = layout::ToRECT(ui::DeviceRect(rect, dpi));
    UnionRect(&bounds, &bounds, &device);
  }
  return bounds;
}

void RepaintScene(HDC dc, const Scene& scene, const SceneResources& resources, std::span<const layout::Rect> dirty) {
  // A picture's extent in units; scaled, one unit more, so that the rounding
  // of its device size never leaves a dirty rectangle it reaches undrawn.
  const int slack = ui::UsableDpi(resources.dpi) == ui::kUnitDpi ? 0 : 1;
  const ImageSizeOf sizeOf = [&](const wchar_t* file) -> std::optional<layout::Size> {
    const SkinImage* image = resources.images.Get(resources.skinFolder, file, resources.dpi);
    if (!image) return std::nullopt;
    return layout::Size{ui::MulDivRound(image->width(), ui::kUnitDpi, ui::UsableDpi(resources.dpi)) + slack,
                        ui::MulDivRound(image->height(), ui::kUnitDpi, ui::UsableDpi(resources.dpi)) + slack};
  };
  for (const layout::Rect& rect : dirty) {
    const int saved = SaveDC(dc);
    const RECT clip = layout::ToRECT(ui::DeviceRect(rect, resources.dpi));
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    for (const SceneItem* item : ItemsCovering(scene, rect, sizeOf)) Execute(dc, *item, resources);
    // A picture that cannot be drawn has no extent; its element's place is
    // where the user would have seen it.
    if (resources.imageFailures) {
      for (const SceneItem& item : scene.items()) {
        if (item.kind == SceneItem::Kind::Image && Intersects(item.rect, rect) && !sizeOf(item.image))
          resources.imageFailures->Show(kMsgLoadPngFailed, L"");
      }
    }
    RestoreDC(dc, saved);
  }
}

}  // namespace kovral
