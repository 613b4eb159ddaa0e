#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "view/control_colors_win.h"
#include "view/osd_window_win.h"
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

// Above 96 DPI the cache takes the set drawn for the scale, reduces the
// nearest larger set, enlarges the 1x file when there is nothing else, and
// forgets the pictures of the old scale when the DPI changes.
TEST(ImageCache, PicksAndSizesThePictureSetForTheDpi) {
  const std::wstring folder = TempFolder(L"-sets");
  testing::WriteFileBytes(folder + L"/a.png", testing::EncodePng(10, 4, 2, Solid(10, 4, {1, 1, 1})));
  testing::WriteFileBytes(folder + L"/a@2x.png", testing::EncodePng(20, 8, 2, Solid(20, 8, {2, 2, 2})));
  testing::WriteFileBytes(folder + L"/b.png", testing::EncodePng(10, 4, 2, Solid(10, 4, {3, 3, 3})));
  ImageCache cache;
  const SkinImage* twice = cache.Get(folder, L"/a.png", 192);
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(twice->width(), 20);
  EXPECT_EQ(twice->height(), 8);
  EXPECT_EQ(cache.Get(folder, L"/a.png", 192), twice) << "decoded again at the same scale";
  // 125 %: the 2x file reduced to 12.5 x 5, rounded as every length is.
  const SkinImage* reduced = cache.Get(folder, L"/a.png", 120);
  ASSERT_NE(reduced, nullptr);
  EXPECT_EQ(reduced->width(), 13);
  EXPECT_EQ(reduced->height(), 5);
  // Only a 1x file: enlarged to the device size.
  const SkinImage* enlarged = cache.Get(folder, L"/b.png", 144);
  ASSERT_NE(enlarged, nullptr);
  EXPECT_EQ(enlarged->width(), 15);
  EXPECT_EQ(enlarged->height(), 6);
  // Back at 96 DPI: the 1x file as it is.
  const SkinImage* unit = cache.Get(folder, L"/a.png", 96);
  ASSERT_NE(unit, nullptr);
  EXPECT_EQ(unit->width(), 10);
  EXPECT_EQ(unit->height(), 4);
}

// A scaled file that exists but cannot be decoded (empty, cut short) gives
// way to the next set, as a missing one does, instead of leaving the
// picture (the window's, a dialog's face) at 0 x 0.
TEST(ImageCache, AnUnreadableScaledFileFallsBackToTheNextSet) {
  const std::wstring folder = TempFolder(L"-broken");
  testing::WriteFileBytes(folder + L"/m.png", testing::EncodePng(10, 4, 2, Solid(10, 4, {1, 1, 1})));
  testing::WriteFileBytes(folder + L"/m@2x.png", {});
  testing::WriteFileBytes(folder + L"/m@1.5x.png", testing::EncodePng(15, 6, 2, Solid(15, 6, {2, 2, 2})));
  SkinImage image;
  ASSERT_TRUE(LoadSkinPicture(image, folder, L"/m.png", 192));
  EXPECT_EQ(image.width(), 20) << "the 1.5x file, enlarged to the 2x size";
  EXPECT_EQ(image.height(), 8);
  const std::vector<std::uint8_t> png = testing::EncodePng(15, 6, 2, Solid(15, 6, {2, 2, 2}));
  testing::WriteFileBytes(folder + L"/m@1.5x.png", std::vector<std::uint8_t>(png.begin(), png.begin() + 20));
  ASSERT_TRUE(LoadSkinPicture(image, folder, L"/m.png", 192));
  EXPECT_EQ(image.width(), 20) << "the 1x file, enlarged";
  ImageCache cache;
  const SkinImage* cached = cache.Get(folder, L"/m.png", 144);
  ASSERT_NE(cached, nullptr);
  EXPECT_EQ(cached->width(), 15);
}

// At 150 % every picture lands at its mapped position and covers its
// mapped size; a repaint of a dirty rectangle given in units leaves what the
// full paint leaves, also where the rounding of a picture's edge falls.
TEST(ScenePainter, MapsPicturesAndRepaintsAtAScale) {
  const std::wstring folder = TempFolder(L"-scaled");
  testing::WriteFileBytes(folder + L"/bg.png", testing::EncodePng(40, 20, 2, Solid(40, 20, {200, 0, 0})));
  testing::WriteFileBytes(folder + L"/dot.png", testing::EncodePng(3, 3, 2, Solid(3, 3, {0, 0, 255})));
  Scene scene;
  scene.AddImage(L"/bg.png", {0, 0, 40, 20});
  scene.AddImage(L"/dot.png", {10, 5, 13, 8});
  ImageCache cache;
  SceneResources resources{folder, cache, nullptr, nullptr};
  resources.dpi = 144;

  Surface full(60, 30);
  PaintScene(full.memory.get(), scene, resources);
  // Units 10..13 are device pixels 15 to 20 (19.5 rounded up), 5..8 are 8
  // (7.5) to 12; the 3-unit picture is drawn 5 (4.5) pixels wide.
  EXPECT_EQ(full.At(15, 8), 0xFFu) << "the picture's top-left pixel";
  EXPECT_EQ(full.At(19, 12), 0xFFu) << "the picture's bottom-right pixel";
  EXPECT_EQ(full.At(14, 8), 0xC80000u) << "left of the picture";
  EXPECT_EQ(full.At(20, 11), 0xC80000u) << "right of the picture";
  EXPECT_EQ(full.At(15, 13), 0xC80000u) << "below the picture";
  EXPECT_EQ(full.At(59, 29), 0xC80000u) << "the background reaches the scaled corner";

  Surface part(60, 30);
  RECT all{0, 0, 60, 30};
  OwnedBrush green(CreateSolidBrush(RGB(0, 255, 0)));
  FillRect(part.memory.get(), &all, green.get());
  const layout::Rect dirty[] = {{12, 7, 20, 12}};  // device 18..30 x 11..18, across the picture's edge
  RepaintScene(part.memory.get(), scene, resources, dirty);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 60; ++x) {
      const bool inside = x >= 18 && x < 30 && y >= 11 && y < 18;
      if (inside) EXPECT_EQ(part.At(x, y), full.At(x, y)) << x << "," << y;
      else EXPECT_EQ(part.At(x, y), 0x00FF00u) << x << "," << y;
    }
  }
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

// A list box paints with the brush it was answered with long after the
// answer, while other controls ask for theirs: every brush handed out stays
// alive and keeps its colour, and one colour has one brush.
TEST(ControlBrushes, ABrushHandedOutOutlivesTheNextRequests) {
  const uint8_t stages[12] = {200, 10, 20, 0, 0, 255, 0, 0, 0, 0, 0, 0};
  ControlBrushes brushes;
  MemoryDC dc(nullptr);
  const HBRUSH list = ApplyControlColors(dc.get(), ColorsForControl(ControlType::ListBox, 41, stages), {}, nullptr,
                                         brushes);
  const HBRUSH swatch = ApplyControlColors(dc.get(), ColorsForControl(ControlType::Static, 71, stages), {}, nullptr,
                                           brushes);
  EXPECT_EQ(ApplyControlColors(dc.get(), ColorsForControl(ControlType::Edit, 150, stages), {}, nullptr, brushes), list)
      << "black twice: one brush";
  LOGBRUSH look{};
  ASSERT_EQ(GetObjectType(list), static_cast<DWORD>(OBJ_BRUSH)) << "the list's brush was deleted";
  ASSERT_EQ(GetObjectW(swatch, sizeof(look), &look), static_cast<int>(sizeof(look)));
  EXPECT_EQ(look.lbColor, RGB(200, 10, 20));
  EXPECT_EQ(brushes.size(), 2u);
}

// The panel as UpdateLayeredWindow gets it: opaque everywhere (GDI's text
// leaves alpha 0, which would punch holes through the panel), the accent
// border, the stage's swatch and the text in their colours, at each scale.
TEST(OsdPainter, PanelOpaqueInItsColoursAtEachScale) {
  OsdNotice notice = SampleOsdNotice(UiLanguage::English);
  notice.swatch = ui::Rgb{0x10, 0x80, 0xF0};
  const OsdLook look = MakeOsdLook({255, 142, 0}, {255, 255, 255});
  for (int dpi : {96, 192}) {
    const OsdPicture picture = RenderOsd(notice, look, dpi, L"");
    ASSERT_TRUE(picture.bitmap) << dpi;
    EXPECT_EQ(picture.height, ui::DeviceLength(90, dpi));
    EXPECT_GE(picture.width, ui::DeviceLength(200, dpi));
    const auto pixel = [&](int x, int y) {
      const std::uint8_t* p = picture.bits + 4 * (static_cast<size_t>(y) * picture.width + x);
      return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    };
    int ink = 0;
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) {
        ASSERT_EQ(pixel(x, y) >> 24, 0xFFu) << x << "," << y << " at " << dpi;
        if (pixel(x, y) == 0xFFFFFFFFu) ++ink;
      }
    const auto at = [&](int unitX, int unitY) { return pixel(ui::DeviceLength(unitX, dpi), ui::DeviceLength(unitY, dpi)); };
    EXPECT_EQ(at(0, 0), 0xFFFF8E00u);
    EXPECT_EQ(at(1, 45), 0xFFFF8E00u);
    EXPECT_EQ(at(4, 4), 0xFF282828u);
    EXPECT_EQ(at(30, 34), 0xFF1080F0u);  // the swatch's middle
    // Both lines' ink, and more of it at the larger scale.
    EXPECT_GT(ink, 100 * dpi / 96) << dpi;
  }
}

}  // namespace
}  // namespace kovral
