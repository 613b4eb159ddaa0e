#pragma once
// Skin images: a PNG decoded with GDI+ into a 32-bit DIB section
// (premultiplied) when it has alpha, drawn whole with per-pixel blending;
// a PNG without alpha keeps its depth and is copied opaque.
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/message_sink.h"
#include "base/handles_win.h"
#include "ui/memdc_win.h"

namespace kovral {

// The decoder (GDI+) is started by the first image that loads and shut down
// when the last live image is destroyed; both happen under one critical
// section with a count of live images.
class SkinImage {
 public:
  SkinImage() = default;
  explicit SkinImage(const std::wstring& path) { Load(path); }
  ~SkinImage();
  SkinImage(SkinImage&& other) noexcept;
  SkinImage& operator=(SkinImage&& other) noexcept;
  SkinImage(const SkinImage&) = delete;
  SkinImage& operator=(const SkinImage&) = delete;

  // Replaces the image with the decoded file; false when it cannot be
  // decoded (the image is then empty, 0 x 0).
  bool Load(const std::wstring& path);
  // The same, resampled smoothly to width x height (0 x 0: the file's own
  // size). A resized picture is always 32-bit.
  bool Load(const std::wstring& path, int width, int height);

  bool ok() const { return bitmap_ != nullptr; }
  int width() const { return width_; }
  int height() const { return height_; }
  int bitsPerPixel() const { return bitsPerPixel_; }
  int pitch() const { return pitch_; }
  bool hasAlpha() const { return hasAlpha_; }
  HBITMAP bitmap() const { return bitmap_; }
  // Pixel rows, top row first: B, G, R, A at 32 bits (premultiplied).
  const std::uint8_t* bits() const { return bits_; }

  // Draws the whole image at its own size with its top-left at (x, y):
  // per-pixel alpha blending when it has alpha, a plain copy otherwise.
  bool Draw(HDC target, int x, int y) const;

  // Gives the bitmap away (the main window's canvas, a dialog's
  // background); the image is empty afterwards, its size kept for callers.
  HBITMAP ReleaseBitmap();

  // How many image objects are alive (the decoder runs while this is > 0).
  static int LiveCount();

 private:
  void Free();

  HBITMAP bitmap_ = nullptr;
  std::uint8_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  int bitsPerPixel_ = 0;
  int pitch_ = 0;
  bool hasAlpha_ = false;
  bool blend_ = false;  // some pixel is not opaque: drawn with blending
  bool holdsDecoder_ = false;
};

// Loads, draws at (x, y) and frees one skin image. 1 when drawn; 0 when the
// file cannot be loaded or there is no target. Reports nothing.
int DrawPng(HDC target, const std::wstring& path, int x, int y);

// The dialogs' variant: draws into the buffer and, when the file cannot be
// loaded, tells the user "LoadPng---Load image failed." with the
// application's name as caption. Every failed draw tells again.
int LoadPng(CMemDC& buffer, const std::wstring& path, int x, int y, MessageSink& messages);

// The main window's persistent bitmap: the pixels of "/main.png", kept for
// the life of the window; every painter draws into it and the erase handler
// copies it to the window.
class Canvas {
 public:
  Canvas() = default;
  // Takes the image's bitmap over; an image that did not load gives a
  // missing canvas of size 0 x 0.
  explicit Canvas(SkinImage& image);
  bool exists() const { return static_cast<bool>(bitmap_); }
  HBITMAP bitmap() const { return bitmap_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  OwnedBitmap bitmap_;
  int width_ = 0;
  int height_ = 0;
};

// The painters' calling order in one object: a device context of the window
// and a double buffer over its whole client area with the surface bitmap
// selected. Draw into dc() in client coordinates; destruction copies the
// surface to the window and gives the context back. With no surface (a
// missing canvas) the drawing lands in the buffer's own bitmap.
class SurfaceDrawing {
 public:
  SurfaceDrawing(HWND window, HBITMAP surface);
  // Copies only `part` of the client area (device pixels) to the window: a
  // repaint of a few elements, which at a high DPI would otherwise move four
  // times the pixels of the whole window.
  SurfaceDrawing(HWND window, HBITMAP surface, const RECT& part);
  SurfaceDrawing(const SurfaceDrawing&) = delete;
  SurfaceDrawing& operator=(const SurfaceDrawing&) = delete;
  HDC dc() const { return buffer_.dc(); }
  bool hasSurface() const { return hasSurface_; }

 private:
  WindowDC windowDc_;
  CMemDC buffer_;
  bool hasSurface_;
};

// The erase-background step: copies the surface to the client area of the
// window through a double buffer on the given context. Answer 1 afterwards.
void EraseWithSurface(HWND window, HDC dc, HBITMAP surface);

}  // namespace kovral
