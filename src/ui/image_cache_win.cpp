#include "ui/image_cache_win.h"

#include "ui/skin_path.h"

namespace kovral {

const SkinImage* ImageCache::Get(const std::wstring& folder, const wchar_t* file) {
  if (!file) return nullptr;
  if (!enabled_) {
    scratch_ = std::make_unique<SkinImage>(SkinImagePath(folder, file));
    return scratch_->ok() ? scratch_.get() : nullptr;
  }
  if (folder != folder_) {
    Clear();
    folder_ = folder;
  }
  auto it = images_.find(std::wstring_view(file));
  if (it == images_.end())
    it = images_.emplace(file, std::make_unique<SkinImage>(SkinImagePath(folder, file))).first;
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

int DrawCachedPng(HDC target, ImageCache& cache, const std::wstring& folder, const wchar_t* file, int x, int y) {
  if (target == nullptr) return 0;
  const SkinImage* image = cache.Get(folder, file);
  return image && image->Draw(target, x, y) ? 1 : 0;
}

}  // namespace kovral
