#pragma once
// Decoded skin images kept by path, so a hover change does not read and
// decode its PNGs (the page background among them) again. The cache belongs
// to one skin folder and one DPI: asking for another folder's image, or for
// one at another DPI (the window moved to another monitor), empties it
// first, so a skin or scale change takes effect at the next draw. Pictures that are drawn
// into (the main window's canvas, a dialog's background) are never taken
// from here.
#include <windows.h>

#include <memory>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ui/dpi_scale.h"
#include "ui/skin_image_win.h"

namespace kovral {

class ImageCache {
 public:
  // The image of `file` in `folder`, decoded once; nullptr when it cannot
  // be loaded (that is remembered too, until the folder changes). The
  // pointer stays valid until the cache is emptied or, with the cache
  // off, until the next call.
  // At a DPI above 96 the picture is the skin's set for that scale
  // (skin_scale.h), resampled to the device size of its 1x picture where
  // the set is not drawn for exactly that DPI.
  const SkinImage* Get(const std::wstring& folder, const wchar_t* file, int dpi = ui::kUnitDpi);
  void Clear();

  // Off: every call decodes anew and nothing is kept (the benchmark's
  // comparison).
  void SetEnabled(bool enabled);
  bool enabled() const { return enabled_; }

 private:
  // Looked up by the file name as the scene holds it, without making a
  // string for every item of every repaint.
  struct NameHash {
    using is_transparent = void;
    size_t operator()(std::wstring_view name) const { return std::hash<std::wstring_view>{}(name); }
  };
  std::wstring folder_;
  int dpi_ = ui::kUnitDpi;
  std::unordered_map<std::wstring, std::unique_ptr<SkinImage>, NameHash, std::equal_to<>> images_;
  std::unique_ptr<SkinImage> scratch_;
  bool enabled_ = true;
};

// Draws one cached image at (x, y), device pixels; 0 when it cannot be loaded.
int DrawCachedPng(HDC target, ImageCache& cache, const std::wstring& folder, const wchar_t* file, int x, int y,
                  int dpi = ui::kUnitDpi);

// Loads the picture `file` of a skin folder for drawing at `dpi` (see
// ImageCache::Get); false when it cannot be decoded.
bool LoadSkinPicture(SkinImage& image, const std::wstring& folder, const wchar_t* file, int dpi);

}  // namespace kovral
