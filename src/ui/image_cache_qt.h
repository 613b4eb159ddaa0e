#pragma once
// Decoded skin pictures for the Qt shell, kept by file name for one skin
// folder and one DPI, as the Win32 cache keeps them: a hover repaint reads
// no PNG again, and a skin or scale change empties the cache first.
#include <QImage>

#include <memory>
#include <string>
#include <unordered_map>

namespace kovral {

// The picture `file` of a skin folder for drawing at `dpi`: the set drawn
// for that scale, else the nearest larger set reduced, else the largest
// enlarged (skin_scale.h). A scaled file that cannot be decoded gives way to
// the next set, down to the 1x file. Premultiplied; null when none decodes.
QImage LoadSkinPictureQt(const std::wstring& folder, const wchar_t* file, int dpi);

class ImageCacheQt {
 public:
  // nullptr when the picture cannot be loaded (remembered too, until the
  // folder or the DPI changes). Valid until the cache is emptied.
  const QImage* Get(const std::wstring& folder, const wchar_t* file, int dpi);
  void Clear();

 private:
  std::wstring folder_;
  int dpi_ = 0;
  std::unordered_map<std::wstring, std::unique_ptr<QImage>> images_;
};

}  // namespace kovral
