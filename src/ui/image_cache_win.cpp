#include "ui/image_cache_win.h"

#include <vector>

#include "ui/skin_path.h"
#include "ui/skin_scale.h"

namespace kovral {
namespace {

bool LoadPick(SkinImage& image, const skin::PicturePick& pick) {
  if (pick.choice.Exact()) return image.Load(pick.path);
  // The size comes from the file; only then is the drawn size known.
  if (!image.Load(pick.path)) return false;
  const int width = skin::DrawnLength(image.width(), pick.choice);
  const int height = skin::DrawnLength(image.height(), pick.choice);
  if (width == image.width() && height == image.height()) return true;
  return image.Load(pick.path, width, height);
}

}  // namespace

// A scaled file that cannot be decoded counts as missing: the next set is
// tried, down to the 1x file, whose failure is the caller's to report.
bool LoadSkinPicture(SkinImage& image, const std::wstring& folder, const wchar_t* file, int dpi) {
  const std::vector<skin::PicturePick> picks = skin::PicturePicks(folder, file, dpi, [](const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  });
  for (const skin::PicturePick& pick : picks) {
    if (LoadPick(image, pick)) return true;
  }
  return false;
}

const SkinImage* ImageCache::Get(const std::wstring& folder, const wchar_t* file, int dpi) {
  if (!file) return nullptr;
  dpi = ui::UsableDpi(dpi);
  if (!enabled_) {
    scratch_ = std::make_unique<SkinImage>();
    return LoadSkinPicture(*scratch_, folder, file, dpi) ? scratch_.get() : nullptr;
  }
  if (folder != folder_ || dpi != dpi_) {
    Clear();
    folder_ = folder;
    dpi_ = dpi;
  }
  auto it = images_.find(std::wstring_view(file));
  if (it == images_.end()) {
    auto image = std::make_unique<SkinImage>();
    LoadSkinPicture(*image, folder, file, dpi);
    it = images_.emplace(file, std::move(image)).first;
  }
  return it->second->ok() ? it->second.get() : nullptr;
}

void ImageCache::Clear() {
  images_.clear();
  scratch_.reset();
  folder_.clear();
}

void ImageCache::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Clear();
}

int DrawCachedPng(HDC target, ImageCache& cache, const std::wstring& folder, const wchar_t* file, int x, int y,
                  int dpi) {
  if (target == nullptr) return 0;
  const SkinImage* image = cache.Get(folder, file, dpi);
  return image && image->Draw(target, x, y) ? 1 : 0;
}

}  // namespace kovral
