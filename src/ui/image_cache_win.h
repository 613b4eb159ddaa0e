#pragma once
// Decoded skin images kept by path, so a hover change does not read and
// decode its PNGs (the page background among them) again. The cache belongs
// to one skin folder: asking for another folder's image empties it first,
// so a skin change takes effect at the next draw. Pictures that are drawn
// into (the main window's canvas, a dialog's background) are never taken
// from here.
#include <windows.h>

#include <memory>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ui/skin_image_win.h"

namespace kovral {

class ImageCache {
 public:
  // The image of `file` in `folder`, decoded once; nullptr when it cannot
  // be loaded (that is remembered too, until the folder changes). The
  // pointer stays valid until the cache is emptied or, with the cache
  // off, until the next call.
  const SkinImage* Get(const std::wstring& folder, const wchar_t* file);
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
  std::unordered_map<std::wstring, std::unique_ptr<SkinImage>, NameHash, std::equal_to<>> images_;
  std::unique_ptr<SkinImage> scratch_;
  bool enabled_ = true;
};

// Draws one cached image at (x, y); 0 when it cannot be loaded.
int DrawCachedPng(HDC target, ImageCache& cache, const std::wstring& folder, const wchar_t* file, int x, int y);

}  // namespace kovral
