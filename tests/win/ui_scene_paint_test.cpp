#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "view/scene_painter_win.h"
#include "ui/image_cache_win.h"
#include "win/ui_png_writer.h"

namespace kovral {
namespace {

std::wstring TempFolder(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  const std::wstring folder = std::wstring(dir) + L"kovral-scene-" + std::to_wstring(GetCurrentProcessId()) + name;
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::vector<std::uint8_t> Solid(int w, int h, std::vector<std::uint8_t> pixel) {
  std::vector<std::uint8_t> p;
  for (int i = 0; i < w * h; ++i) p.insert(p.end(), pixel.begin(), pixel.end());
  return p;
}

// A 32-bit surface in a memory context.
struct Surface {
  Surface(int w, int h) : width(w), height(h), memory(nullptr) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0));
    bits = static_cast<std::uint32_t*>(p);
    select = std::make_unique<ScopedSelectObject>(memory.get(), bitmap.get());
  }
  std::uint32_t At(int x, int y) const {
    GdiFlush();
    return bits[y * width + x] & 0xFFFFFF;
  }
  int width, height;
  OwnedBitmap bitmap;
  std::uint32_t* bits = nullptr;
  MemoryDC memory;
  std::unique_ptr<ScopedSelectObject> select;
};

TEST(ImageCache, OneDecodePerFileUntilTheFolderChanges) {
  const std::wstring a = TempFolder(L"-a");
  const std::wstring b = TempFolder(L"-b");
  testing::WriteFileBytes(a + L"/x.png", testing::EncodePng(3, 2, 2, Solid(3, 2, {1, 2, 3})));
  testing::WriteFileBytes(b + L"/x.png", testing::EncodePng(5, 4, 2, Solid(5, 4, {1, 2, 3})));
  ImageCache cache;
  const SkinImage* first = cache.Get(a, L"/x.png");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(cache.Get(a, L"/x.png"), first);
  EXPECT_EQ(cache.Get(a, L"/missing.png"), nullptr);
  // Another skin: its own picture, not the first one's.
  const SkinImage* other = cache.Get(b, L"/x.png");
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->width(), 5);
  // Back to the first folder: decoded again from its file.
  EXPECT_EQ(cache.Get(a, L"/x.png")->width(), 3);
}

// A repainted rectangle ends up exactly as a full paint leaves it, also where
// a picture larger than its element reaches into it; outside it nothing
// changes.
TEST(ScenePainter, ARepaintedRectangleMatchesTheFullPaint) {
  const std::wstring folder = TempFolder(L"-paint");
  testing::WriteFileBytes(folder + L"/bg.png", testing::EncodePng(40, 20, 2, Solid(40, 20, {200, 0, 0})));
  testing::WriteFileBytes(folder + L"/half.png", testing::EncodePng(12, 12, 6, Solid(12, 12, {0, 0, 255, 128})));
  Scene scene;
  scene.AddImage(L"/bg.png", {0, 0, 40, 20});
  scene.AddImage(L"/half.png", {2, 2, 4, 4});  // the element is 2 x 2, its picture 12 x 12
  scene.AddText(L"W", {20, 0, 40, 20}, ui::kTextCentre, ui::Rgb{255, 255, 255});
  ImageCache cache;
  const SceneResources resources{folder, cache, nullptr, nullptr};

  Surface full(40, 20);
  PaintScene(full.memory.get(), scene, resources);
  Surface part(40, 20);
  RECT all{0, 0, 40, 20};
  OwnedBrush green(CreateSolidBrush(RGB(0, 255, 0)));
  FillRect(part.memory.get(), &all, green.get());
  const layout::Rect dirty[] = {{8, 8, 30, 16}};
  RepaintScene(part.memory.get(), scene, resources, dirty);

  int textPixels = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= 8 && x < 30 && y >= 8 && y < 16;
      if (inside) {
        EXPECT_EQ(part.At(x, y), full.At(x, y)) << x << "," << y;
        if (x >= 20 && full.At(x, y) == 0xFFFFFF) ++textPixels;
      } else {
        EXPECT_EQ(part.At(x, y), 0x00FF00u) << x << "," << y;
      }
    }
  }
  // The blend reached the rectangle (red under half blue), and so did the text.
  EXPECT_NE(full.At(9, 9), full.At(35, 18));
  EXPECT_GT(textPixels, 0);
}

}  // namespace
}  // namespace kovral
