#include "view/scene.h"

namespace kovral {

void Scene::AddImage(const wchar_t* file, const layout::Rect& at) {
  if (!file) return;
  SceneItem item;
  item.kind = SceneItem::Kind::Image;
  item.rect = at;
  item.image = file;
  items_.push_back(std::move(item));
}

void Scene::AddText(std::wstring text, const layout::Rect& rect, unsigned format, ui::Rgb color, SceneFont font) {
  if (text.empty()) return;
  SceneItem item;
  item.kind = SceneItem::Kind::Text;
  item.rect = rect;
  item.text = std::move(text);
  item.format = format;
  item.font = font;
  item.color = color;
  items_.push_back(std::move(item));
}

void Scene::AddFill(const layout::Rect& rect, ui::Rgb color) {
  SceneItem item;
  item.kind = SceneItem::Kind::Fill;
  item.rect = rect;
  item.color = color;
  items_.push_back(std::move(item));
}

const wchar_t* Scene::ImageAt(layout::Point p) const {
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    if (it->kind == SceneItem::Kind::Image && it->rect.left == p.x && it->rect.top == p.y) return it->image;
  }
  return nullptr;
}

const SceneItem* Scene::TextIn(const layout::Rect& rect) const {
  for (const SceneItem& item : items_) {
    if (item.kind == SceneItem::Kind::Text && item.rect == rect) return &item;
  }
  return nullptr;
}

bool Intersects(const layout::Rect& a, const layout::Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::vector<const SceneItem*> ItemsCovering(const Scene& scene, const layout::Rect& dirty, const ImageSizeOf& sizeOf) {
  std::vector<const SceneItem*> covering;
  for (const SceneItem& item : scene.items()) {
    layout::Rect extent = item.rect;
    if (item.kind == SceneItem::Kind::Image) {
      const std::optional<layout::Size> size = sizeOf(item.image);
      if (!size) continue;
      extent = {item.rect.left, item.rect.top, item.rect.left + size->width, item.rect.top + size->height};
    }
    if (Intersects(extent, dirty)) covering.push_back(&item);
  }
  return covering;
}

}  // namespace kovral
