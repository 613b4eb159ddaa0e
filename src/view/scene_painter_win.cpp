#include "view/scene_painter_win.h"

#include "lang/messages.h"
#include "view/layout_win.h"
#include "ui/text_win.h"

namespace kovral {
namespace {

void Execute(HDC dc, const SceneItem& item, const SceneResources& r) {
  if (item.kind == SceneItem::Kind::Image) {
    if (!DrawCachedPng(dc, r.images, r.skinFolder, item.image, item.rect.left, item.rect.top) && r.imageFailures)
      r.imageFailures->Show(kMsgLoadPngFailed, L"");
    return;
  }
  const HFONT font = item.font == SceneFont::Title ? r.titleFont : r.normalFont;
  ui::DrawSkinText(dc, item.text, layout::ToRECT(item.rect), item.format, item.color, font);
}

}  // namespace

void PaintScene(HDC dc, const Scene& scene, const SceneResources& resources) {
  for (const SceneItem& item : scene.items()) Execute(dc, item, resources);
}

void RepaintScene(HDC dc, const Scene& scene, const SceneResources& resources, std::span<const layout::Rect> dirty) {
  const ImageSizeOf sizeOf = [&](const wchar_t* file) -> std::optional<layout::Size> {
    const SkinImage* image = resources.images.Get(resources.skinFolder, file);
    if (!image) return std::nullopt;
    return layout::Size{image->width(), image->height()};
  };
  for (const layout::Rect& rect : dirty) {
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
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
