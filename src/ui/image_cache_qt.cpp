#include "ui/image_cache_qt.h"

#include <QFileInfo>
#include <QString>

#include <vector>

#include "ui/dpi_scale.h"
#include "ui/skin_scale.h"

namespace kovral {

QImage LoadSkinPictureQt(const std::wstring& folder, const wchar_t* file, int dpi) {
  if (!file) return QImage();
  const std::vector<skin::PicturePick> picks =
      skin::PicturePicks(folder, file, ui::UsableDpi(dpi),
                         [](const std::wstring& path) { return QFileInfo::exists(QString::fromStdWString(path)); });
  for (const skin::PicturePick& pick : picks) {
    QImage image(QString::fromStdWString(pick.path));
    if (image.isNull()) continue;
    // Qt reads a ratio from an "@2x" name; the scene maps every edge itself.
    image.setDevicePixelRatio(1.0);
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (!pick.choice.Exact()) {
      const int width = skin::DrawnLength(image.width(), pick.choice);
      const int height = skin::DrawnLength(image.height(), pick.choice);
      if (width != image.width() || height != image.height())
        image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
  }
  return QImage();
}

const QImage* ImageCacheQt::Get(const std::wstring& folder, const wchar_t* file, int dpi) {
  if (!file) return nullptr;
  dpi = ui::UsableDpi(dpi);
  if (folder != folder_ || dpi != dpi_) {
    Clear();
    folder_ = folder;
    dpi_ = dpi;
  }
  auto it = images_.find(file);
  if (it == images_.end())
    it = images_.emplace(file, std::make_unique<QImage>(LoadSkinPictureQt(folder, file, dpi))).first;
  return it->second->isNull() ? nullptr : it->second.get();
}

void ImageCacheQt::Clear() {
  images_.clear();
  folder_.clear();
  dpi_ = 0;
}

}  // namespace kovral
