#include "ui/skin_image_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <memory>
#include <utility>

#include "lang/messages.h"
#include "ui/premultiply.h"

namespace kovral {
namespace {

// The decoder's session, counted by live images. The critical section is
// the program's only lock; it guards the count and the start and stop.
class ImageDecoder {
 public:
  static ImageDecoder& Instance() {
    static ImageDecoder decoder;
    return decoder;
  }

  bool Acquire() {
    EnterCriticalSection(&lock_);
    bool ok = true;
    if (live_ == 0) {
      Gdiplus::GdiplusStartupInput input;
      ok = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    if (ok) ++live_;
    LeaveCriticalSection(&lock_);
    return ok;
  }

  void Release() {
    EnterCriticalSection(&lock_);
    if (live_ > 0 && --live_ == 0) {
      Gdiplus::GdiplusShutdown(token_);
      token_ = 0;
    }
    LeaveCriticalSection(&lock_);
  }

  int Live() {
    EnterCriticalSection(&lock_);
    const int live = live_;
    LeaveCriticalSection(&lock_);
    return live;
  }

 private:
  ImageDecoder() { InitializeCriticalSection(&lock_); }
  ~ImageDecoder() { DeleteCriticalSection(&lock_); }

  CRITICAL_SECTION lock_;
  ULONG_PTR token_ = 0;
  int live_ = 0;
};

bool PaletteHasAlpha(Gdiplus::Bitmap& bitmap) {
  const INT size = bitmap.GetPaletteSize();
  if (size <= 0) return false;
  std::string storage(static_cast<size_t>(size), '\0');
  auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(storage.data());
  if (bitmap.GetPalette(palette, size) != Gdiplus::Ok) return false;
  return (palette->Flags & Gdiplus::PaletteFlagsHasAlpha) != 0;
}

}  // namespace

SkinImage::~SkinImage() {
  Free();
  if (holdsDecoder_) ImageDecoder::Instance().Release();
}

SkinImage::SkinImage(SkinImage&& other) noexcept
    : bitmap_(std::exchange(other.bitmap_, nullptr)),
      bits_(std::exchange(other.bits_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      bitsPerPixel_(std::exchange(other.bitsPerPixel_, 0)),
      pitch_(std::exchange(other.pitch_, 0)),
      hasAlpha_(std::exchange(other.hasAlpha_, false)),
      blend_(std::exchange(other.blend_, false)),
      holdsDecoder_(std::exchange(other.holdsDecoder_, false)) {}

SkinImage& SkinImage::operator=(SkinImage&& other) noexcept {
  if (this != &other) {
    Free();
    if (holdsDecoder_) ImageDecoder::Instance().Release();
    bitmap_ = std::exchange(other.bitmap_, nullptr);
    bits_ = std::exchange(other.bits_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    bitsPerPixel_ = std::exchange(other.bitsPerPixel_, 0);
    pitch_ = std::exchange(other.pitch_, 0);
    hasAlpha_ = std::exchange(other.hasAlpha_, false);
    blend_ = std::exchange(other.blend_, false);
    holdsDecoder_ = std::exchange(other.holdsDecoder_, false);
  }
  return *this;
}

void SkinImage::Free() {
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = bitsPerPixel_ = pitch_ = 0;
  hasAlpha_ = false;
  blend_ = false;
}

int SkinImage::LiveCount() { return ImageDecoder::Instance().Live(); }

bool SkinImage::Load(const std::wstring& path) { return Load(path, 0, 0); }

// Drawn at another size, a picture is resampled into premultiplied ARGB:
// filtering straight colour would pull the colour of transparent pixels
// (often black) into the edges of what shows. The edge pixels are mirrored
// outward so the filter does not fade the picture's border.
bool SkinImage::Load(const std::wstring& path, int width, int height) {
  Free();
  if (!holdsDecoder_) {
    if (!ImageDecoder::Instance().Acquire()) return false;
    holdsDecoder_ = true;
  }
  Gdiplus::Bitmap source(path.c_str());
  if (source.GetLastStatus() != Gdiplus::Ok) return false;
  const int sourceWidth = static_cast<int>(source.GetWidth());
  const int sourceHeight = static_cast<int>(source.GetHeight());
  if (sourceWidth <= 0 || sourceHeight <= 0) return false;
  if (width <= 0 || height <= 0) {
    width = sourceWidth;
    height = sourceHeight;
  }
  const Gdiplus::PixelFormat format = source.GetPixelFormat();
  const bool hasAlpha = Gdiplus::IsAlphaPixelFormat(format) ||
                        (Gdiplus::IsIndexedPixelFormat(format) && PaletteHasAlpha(source));
  const bool resized = width != sourceWidth || height != sourceHeight;

  std::unique_ptr<Gdiplus::Bitmap> scaled;
  if (resized) {
    scaled = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
    if (scaled->GetLastStatus() != Gdiplus::Ok) return false;
    Gdiplus::Graphics graphics(scaled.get());
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    Gdiplus::ImageAttributes edges;
    edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    if (graphics.DrawImage(&source, Gdiplus::Rect(0, 0, width, height), 0, 0, sourceWidth, sourceHeight,
                           Gdiplus::UnitPixel, &edges) != Gdiplus::Ok)
      return false;
  }
  Gdiplus::Bitmap& pixels = resized ? *scaled : source;

  // With alpha: 32-bit ARGB, premultiplied (below, or by the resampling).
  // Without: the image's own depth where GDI can hold it directly, 24-bit
  // otherwise (palettes and 16-bit formats are widened; they draw the same).
  const int depth = hasAlpha || resized ? 32 : (Gdiplus::GetPixelFormatSize(format) == 32 ? 32 : 24);
  const Gdiplus::PixelFormat lockFormat =
      resized ? PixelFormat32bppPARGB
              : hasAlpha ? PixelFormat32bppARGB : (depth == 32 ? PixelFormat32bppRGB : PixelFormat24bppRGB);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(depth);
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib == nullptr || bits == nullptr) {
    if (dib != nullptr) DeleteObject(dib);
    return false;
  }
  const int pitch = ((width * depth + 31) / 32) * 4;

  Gdiplus::Rect whole(0, 0, width, height);
  Gdiplus::BitmapData data{};
  if (pixels.LockBits(&whole, Gdiplus::ImageLockModeRead, lockFormat, &data) != Gdiplus::Ok) {
    DeleteObject(dib);
    return false;
  }
  const size_t rowBytes = static_cast<size_t>(width) * (depth / 8);
  for (int row = 0; row < height; ++row) {
    std::memcpy(static_cast<std::uint8_t*>(bits) + static_cast<size_t>(row) * pitch,
                static_cast<const std::uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(row) * data.Stride, rowBytes);
  }
  pixels.UnlockBits(&data);
  GdiFlush();

  bitmap_ = dib;
  bits_ = static_cast<std::uint8_t*>(bits);
  width_ = width;
  height_ = height;
  bitsPerPixel_ = depth;
  pitch_ = pitch;
  hasAlpha_ = hasAlpha;
  if (!resized && bitsPerPixel_ == 32 && hasAlpha_) PremultiplyBgra(bits_, width_, height_, pitch_);
  // A picture with an alpha channel but no pixel that lets anything through
  // (the window's background) is copied: blending it gives the same pixels,
  // at several times the cost on a large window.
  blend_ = hasAlpha_;
  if (blend_) {
    bool opaque = true;
    for (int row = 0; row < height_ && opaque; ++row) {
      const std::uint8_t* p = bits_ + static_cast<size_t>(row) * pitch_;
      for (int x = 0; x < width_; ++x) {
        if (p[x * 4 + 3] != 255) {
          opaque = false;
          break;
        }
      }
    }
    blend_ = !opaque;
  }
  return true;
}

bool SkinImage::Draw(HDC target, int x, int y) const {
  if (target == nullptr || bitmap_ == nullptr) return false;
  MemoryDC source(target);
  if (!source) return false;
  ScopedSelectObject select(source.get(), bitmap_);
  if (blend_) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return AlphaBlend(target, x, y, width_, height_, source.get(), 0, 0, width_, height_, blend) != FALSE;
  }
  return BitBlt(target, x, y, width_, height_, source.get(), 0, 0, SRCCOPY) != FALSE;
}

HBITMAP SkinImage::ReleaseBitmap() {
  bits_ = nullptr;
  return std::exchange(bitmap_, nullptr);
}

int DrawPng(HDC target, const std::wstring& path, int x, int y) {
  if (target == nullptr) return 0;
  SkinImage image;
  if (!image.Load(path)) return 0;
  return image.Draw(target, x, y) ? 1 : 0;
}

int LoadPng(CMemDC& buffer, const std::wstring& path, int x, int y, MessageSink& messages) {
  SkinImage image;
  if (!image.Load(path)) {
    messages.Show(kMsgLoadPngFailed, L"");
    return 0;
  }
  return image.Draw(buffer.dc(), x, y) ? 1 : 0;
}

Canvas::Canvas(SkinImage& image) : width_(image.width()), height_(image.height()) {
  bitmap_.reset(image.ReleaseBitmap());
}

namespace {
RECT ClientRectOf(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return rect;
}
}  // namespace

SurfaceDrawing::SurfaceDrawing(HWND window, HBITMAP surface)
    : windowDc_(window), buffer_(windowDc_.get(), ClientRectOf(window)), hasSurface_(surface != nullptr) {
  buffer_.SelectCanvas(surface);
}

namespace {
// The part within the client area; the whole client area when nothing is left
// (an empty buffer would mean the clip box).
RECT PartOfClient(HWND window, const RECT& part) {
  const RECT client = ClientRectOf(window);
  RECT inside{};
  if (!IntersectRect(&inside, &client, &part)) return client;
  return inside;
}
}  // namespace

SurfaceDrawing::SurfaceDrawing(HWND window, HBITMAP surface, const RECT& part)
    : windowDc_(window), buffer_(windowDc_.get(), PartOfClient(window, part)), hasSurface_(surface != nullptr) {
  buffer_.SelectCanvas(surface);
}

void EraseWithSurface(HWND window, HDC dc, HBITMAP surface) {
  CMemDC buffer(dc, ClientRectOf(window));
  buffer.SelectCanvas(surface);
}

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
  if (token_ != 0) Gdiplus::GdiplusShutdown(token_);
}

}  // namespace kovral
