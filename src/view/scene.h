#pragma once
// What a window shows, as data: the ordered images and texts a full paint
// draws. The Win32 painter only executes a scene; a partial repaint executes
// the items that reach into the changed rectangles, clipped to them, so a
// repainted spot is always identical to the same spot of a full paint.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "view/layout.h"
#include "ui/text_style.h"

namespace kovral {

// Large: the on-screen display's main line; a window that shows none needs
// no such font.
enum class SceneFont : unsigned char { Normal, Title, Large };

struct SceneItem {
  enum class Kind : unsigned char { Image, Text, Fill };
  Kind kind = Kind::Image;
  // Image: drawn whole at its own size with its top-left corner at
  // (rect.left, rect.top); the rest of rect is the element it belongs to.
  // Text: laid out in rect and clipped to it.
  // Fill: rect filled with color.
  layout::Rect rect;
  const wchar_t* image = nullptr;  // a skin file name ("/...")
  std::wstring text;
  unsigned format = ui::kTextCentre;
  SceneFont font = SceneFont::Normal;
  ui::Rgb color;
};

class Scene {
 public:
  void AddImage(const wchar_t* file, const layout::Rect& at);
  // Empty texts draw nothing and are left out.
  void AddText(std::wstring text, const layout::Rect& rect, unsigned format, ui::Rgb color,
               SceneFont font = SceneFont::Normal);
  void AddFill(const layout::Rect& rect, ui::Rgb color);

  const std::vector<SceneItem>& items() const { return items_; }

  // The image drawn last with its top-left corner at p (what shows there);
  // nullptr when none.
  const wchar_t* ImageAt(layout::Point p) const;
  // The text drawn in exactly this rectangle; nullptr when none.
  const SceneItem* TextIn(const layout::Rect& rect) const;

 private:
  std::vector<SceneItem> items_;
};

// Which hoverable elements show their over look; an empty function lights none.
using LitTest = std::function<bool(const layout::Element&)>;

// The pixel size of a skin file, or nothing when it cannot be drawn.
using ImageSizeOf = std::function<std::optional<layout::Size>(const wchar_t* file)>;

// The items a repaint of `dirty` executes, in scene order: every drawable
// image whose own extent meets it (an image may be larger than its
// element), every text whose rectangle meets it.
std::vector<const SceneItem*> ItemsCovering(const Scene& scene, const layout::Rect& dirty, const ImageSizeOf& sizeOf);

bool Intersects(const layout::Rect& a, const layout::Rect& b);

}  // namespace kovral
