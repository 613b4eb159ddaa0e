#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/message_sink.h"
#include "base/handles_win.h"
#include "ui/memdc_win.h"
#include "ui/skin_image_win.h"
#include "ui/text_win.h"
#include "win/ui_png_writer.h"

namespace kovral {
namespace {

std::wstring TempFile(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + L"kovral-ui-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

// A 32-bit top-down DIB in a memory context, filled with one colour.
struct Surface {
  Surface(int w, int h, COLORREF fill) : width(w), height(h), dc(nullptr) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0));
    bits = static_cast<std::uint8_t*>(p);
    memory = std::make_unique<MemoryDC>(nullptr);
    dc = memory->get();
    select = std::make_unique<ScopedSelectObject>(dc, bitmap.get());
    Fill(fill);
  }
  void Fill(COLORREF c) {
    RECT all{0, 0, width, height};
    OwnedBrush brush(CreateSolidBrush(c));
    FillRect(dc, &all, brush.get());
    GdiFlush();
  }
  // (r, g, b) of a pixel.
  std::vector<int> At(int x, int y) const {
    GdiFlush();
    const std::uint8_t* p = bits + (static_cast<size_t>(y) * width + x) * 4;
    return {p[2], p[1], p[0]};
  }
  int width, height;
  OwnedBitmap bitmap;
  std::uint8_t* bits = nullptr;
  std::unique_ptr<MemoryDC> memory;
  HDC dc;
  std::unique_ptr<ScopedSelectObject> select;
};

void ExpectNear(const std::vector<int>& actual, std::vector<int> expected, int tolerance, const char* what) {
  ASSERT_EQ(actual.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << what << " channel " << i;
}

class SkinImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Transparent red, opaque green, half-transparent blue, and opaque
    // white at alpha 255 to check nothing is scaled.
    rgbaPath = TempFile(L"rgba.png");
    testing::WriteFileBytes(rgbaPath, testing::EncodePng(4, 1, 6, {255, 0, 0, 0,  0, 255, 0, 255,
                                                                   0, 0, 255, 128,  255, 255, 255, 255}));
    rgbPath = TempFile(L"rgb.png");
    testing::WriteFileBytes(rgbPath, testing::EncodePng(2, 2, 2, {10, 20, 30,  40, 50, 60,
                                                                  70, 80, 90,  200, 150, 100}));
  }
  void TearDown() override {
    DeleteFileW(rgbaPath.c_str());
    DeleteFileW(rgbPath.c_str());
  }
  std::wstring rgbaPath;
  std::wstring rgbPath;
};

TEST_F(SkinImageTest, PngWithAlphaLoadsPremultiplied) {
  SkinImage image(rgbaPath);
  ASSERT_TRUE(image.ok());
  EXPECT_EQ(image.width(), 4);
  EXPECT_EQ(image.height(), 1);
  EXPECT_EQ(image.bitsPerPixel(), 32);
  EXPECT_EQ(image.pitch(), 16);
  EXPECT_TRUE(image.hasAlpha());
  const std::uint8_t* p = image.bits();
  // B, G, R, A.
  EXPECT_EQ(std::vector<int>(p, p + 4), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(std::vector<int>(p + 4, p + 8), (std::vector<int>{0, 255, 0, 255}));
  EXPECT_EQ(std::vector<int>(p + 8, p + 12), (std::vector<int>{128, 0, 0, 128}));
  EXPECT_EQ(std::vector<int>(p + 12, p + 16), (std::vector<int>{255, 255, 255, 255}));
}

TEST_F(SkinImageTest, AlphaPixelsBlendOverTheBackground) {
  Surface target(8, 3, RGB(100, 100, 100));
  ASSERT_EQ(DrawPng(target.dc, rgbaPath, 2, 1), 1);
  ExpectNear(target.At(2, 1), {100, 100, 100}, 0, "transparent pixel keeps the background");
  ExpectNear(target.At(3, 1), {0, 255, 0}, 0, "opaque pixel is its colour");
  // 128 + 100 * (255 - 128) / 255 for blue, 100 * 127 / 255 for red and green.
  ExpectNear(target.At(4, 1), {50, 50, 178}, 2, "half-alpha pixel blends");
  ExpectNear(target.At(5, 1), {255, 255, 255}, 0, "opaque white");
  ExpectNear(target.At(6, 1), {100, 100, 100}, 0, "right of the image");
  ExpectNear(target.At(3, 0), {100, 100, 100}, 0, "above the image");
}

// Resampled, a picture stays valid premultiplied data (no channel above its
// alpha), a white shape fades into transparent black without darkening, and
// an opaque picture keeps its border opaque instead of fading it.
TEST(SkinImageScaled, ResampledSmoothlyWithPremultipliedAlphaAndSolidEdges) {
  const std::wstring shapePath = TempFile(L"shape.png");
  std::vector<std::uint8_t> shape;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const bool inside = x >= 1 && x <= 2 && y >= 1 && y <= 2;
      // Outside: transparent black, as an editor often saves it.
      for (std::uint8_t v : inside ? std::vector<std::uint8_t>{255, 255, 255, 255}
                                   : std::vector<std::uint8_t>{0, 0, 0, 0})
        shape.push_back(v);
    }
  }
  testing::WriteFileBytes(shapePath, testing::EncodePng(4, 4, 6, shape));
  SkinImage image;
  ASSERT_TRUE(image.Load(shapePath, 6, 6));
  EXPECT_EQ(image.width(), 6);
  EXPECT_EQ(image.height(), 6);
  EXPECT_EQ(image.bitsPerPixel(), 32);
  EXPECT_TRUE(image.hasAlpha());
  int partial = 0;
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const std::uint8_t* p = image.bits() + y * image.pitch() + x * 4;
      // White at any coverage: every colour channel equals the alpha.
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(p[c], p[3], 2) << x << "," << y << " channel " << c;
      if (p[3] > 0 && p[3] < 255) ++partial;
    }
  }
  EXPECT_GT(partial, 0) << "the shape's edge is not smoothed";
  DeleteFileW(shapePath.c_str());

  const std::wstring solidPath = TempFile(L"solid.png");
  testing::WriteFileBytes(solidPath, testing::EncodePng(4, 4, 6, [] {
    std::vector<std::uint8_t> p;
    for (int i = 0; i < 16; ++i) p.insert(p.end(), {40, 80, 120, 255});
    return p;
  }()));
  SkinImage solid;
  ASSERT_TRUE(solid.Load(solidPath, 6, 6));
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      const std::uint8_t* p = solid.bits() + y * solid.pitch() + x * 4;
      EXPECT_EQ(p[3], 255) << "alpha at " << x << "," << y;
      EXPECT_NEAR(p[2], 40, 1) << "red at " << x << "," << y;
    }
  }
  DeleteFileW(solidPath.c_str());
}

TEST_F(SkinImageTest, PngWithoutAlphaDrawsOpaque) {
  SkinImage image(rgbPath);
  ASSERT_TRUE(image.ok());
  EXPECT_FALSE(image.hasAlpha());
  EXPECT_EQ(image.bitsPerPixel(), 24);
  EXPECT_EQ(image.pitch(), 8);  // 6 bytes padded to 4
  Surface target(4, 4, RGB(1, 2, 3));
  ASSERT_TRUE(image.Draw(target.dc, 1, 1));
  ExpectNear(target.At(1, 1), {10, 20, 30}, 0, "top left");
  ExpectNear(target.At(2, 1), {40, 50, 60}, 0, "top right");
  ExpectNear(target.At(1, 2), {70, 80, 90}, 0, "bottom left");
  ExpectNear(target.At(2, 2), {200, 150, 100}, 0, "bottom right");
  ExpectNear(target.At(0, 0), {1, 2, 3}, 0, "outside");
  ExpectNear(target.At(3, 3), {1, 2, 3}, 0, "outside");
}

TEST_F(SkinImageTest, ImageDrawsWholeEvenAcrossTheTargetEdge) {
  Surface target(3, 1, RGB(9, 9, 9));
  EXPECT_EQ(DrawPng(target.dc, rgbaPath, -1, 0), 1);
  ExpectNear(target.At(0, 0), {0, 255, 0}, 0, "second pixel lands at 0");
  ExpectNear(target.At(2, 0), {255, 255, 255}, 0, "fourth pixel lands at 2");
}

TEST_F(SkinImageTest, FailuresAndTheDecoderCount) {
  Surface target(2, 2, RGB(7, 7, 7));
  const std::wstring missing = TempFile(L"missing.png");
  EXPECT_EQ(DrawPng(target.dc, missing, 0, 0), 0);
  EXPECT_EQ(DrawPng(nullptr, rgbaPath, 0, 0), 0);
  const std::wstring notPng = TempFile(L"text.png");
  testing::WriteFileBytes(notPng, {'h', 'e', 'l', 'l', 'o'});
  EXPECT_EQ(DrawPng(target.dc, notPng, 0, 0), 0);
  DeleteFileW(notPng.c_str());
  ExpectNear(target.At(0, 0), {7, 7, 7}, 0, "nothing drawn");

  EXPECT_EQ(SkinImage::LiveCount(), 0);
  {
    SkinImage a(rgbaPath);
    SkinImage b(rgbPath);
    EXPECT_EQ(SkinImage::LiveCount(), 2);
    SkinImage moved(std::move(a));
    EXPECT_EQ(SkinImage::LiveCount(), 2);
    EXPECT_TRUE(moved.ok());
    EXPECT_FALSE(a.ok());
  }
  EXPECT_EQ(SkinImage::LiveCount(), 0);
  // The decoder restarts for the next image.
  SkinImage again(rgbaPath);
  EXPECT_TRUE(again.ok());
}

TEST_F(SkinImageTest, LoadPngTellsTheUserEachTimeItFails) {
  Surface target(6, 2, RGB(0, 0, 0));
  RecordingMessageSink messages;
  {
    CMemDC buffer(target.dc, RECT{0, 0, 6, 2});
    EXPECT_EQ(LoadPng(buffer, rgbaPath, 0, 0, messages), 1);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(LoadPng(buffer, TempFile(L"nope.png"), 0, 0, messages), 0);
    EXPECT_EQ(LoadPng(buffer, TempFile(L"nope.png"), 0, 0, messages), 0);
  }
  ASSERT_EQ(messages.messages.size(), 2u);
  EXPECT_EQ(messages.messages[0].text, L"LoadPng---Load image failed.");
  EXPECT_EQ(messages.messages[0].caption, L"");  // the application's name
  ExpectNear(target.At(1, 0), {0, 255, 0}, 0, "drawn through the buffer");
}

TEST_F(SkinImageTest, CanvasTakesTheBitmapOver) {
  SkinImage image(rgbaPath);
  Canvas canvas(image);
  EXPECT_TRUE(canvas.exists());
  EXPECT_EQ(canvas.width(), 4);
  EXPECT_EQ(canvas.height(), 1);
  EXPECT_FALSE(image.ok());
  BITMAP info{};
  EXPECT_NE(GetObjectW(canvas.bitmap(), sizeof(info), &info), 0);
  EXPECT_EQ(info.bmWidth, 4);

  SkinImage missing(TempFile(L"absent.png"));
  Canvas none(missing);
  EXPECT_FALSE(none.exists());
  EXPECT_EQ(none.width(), 0);
  EXPECT_EQ(none.height(), 0);
}

TEST(MemDC, CopiesItsRectangleToTheTargetOnlyAtTheEnd) {
  Surface target(10, 10, RGB(0, 0, 255));
  {
    CMemDC buffer(target.dc, RECT{2, 3, 6, 8});
    EXPECT_TRUE(buffer.IsMemory());
    OwnedBrush red(CreateSolidBrush(RGB(255, 0, 0)));
    RECT inTargetCoordinates{2, 3, 6, 8};
    FillRect(buffer.dc(), &inTargetCoordinates, red.get());
    ExpectNear(target.At(2, 3), {0, 0, 255}, 0, "not yet copied");
  }
  ExpectNear(target.At(2, 3), {255, 0, 0}, 0, "top-left of the rectangle");
  ExpectNear(target.At(5, 7), {255, 0, 0}, 0, "bottom-right of the rectangle");
  ExpectNear(target.At(6, 7), {0, 0, 255}, 0, "right of it");
  ExpectNear(target.At(5, 8), {0, 0, 255}, 0, "below it");
  ExpectNear(target.At(1, 3), {0, 0, 255}, 0, "left of it");
}

TEST(MemDC, UndrawnPartsShowTheTargetsBackgroundColour) {
  Surface target(8, 8, RGB(0, 0, 255));
  SetBkColor(target.dc, RGB(12, 34, 56));
  { CMemDC buffer(target.dc, RECT{1, 1, 7, 7}); }
  ExpectNear(target.At(1, 1), {12, 34, 56}, 0, "inside: cleared, not noise");
  ExpectNear(target.At(6, 6), {12, 34, 56}, 0, "inside");
  ExpectNear(target.At(0, 0), {0, 0, 255}, 0, "outside untouched");
}

TEST(MemDC, EmptyRectangleMeansTheClipBox) {
  Surface target(10, 10, RGB(0, 0, 0));
  IntersectClipRect(target.dc, 1, 2, 4, 5);
  CMemDC buffer(target.dc);
  EXPECT_EQ(buffer.Rect().left, 1);
  EXPECT_EQ(buffer.Rect().top, 2);
  EXPECT_EQ(buffer.Rect().right, 4);
  EXPECT_EQ(buffer.Rect().bottom, 5);
}

TEST(MemDC, SelectedCanvasKeepsTheDrawingAndSurvives) {
  Surface target(6, 6, RGB(0, 0, 0));
  Surface canvasOwner(6, 6, RGB(10, 200, 30));
  // Take the canvas bitmap out of its context so it can be selected elsewhere.
  canvasOwner.select.reset();
  HBITMAP canvas = canvasOwner.bitmap.get();
  {
    CMemDC buffer(target.dc, RECT{0, 0, 6, 6});
    buffer.SelectCanvas(canvas);
    OwnedBrush white(CreateSolidBrush(RGB(255, 255, 255)));
    RECT corner{0, 0, 2, 2};
    FillRect(buffer.dc(), &corner, white.get());
  }
  ExpectNear(target.At(0, 0), {255, 255, 255}, 0, "drawn into the canvas and copied");
  ExpectNear(target.At(4, 4), {10, 200, 30}, 0, "the canvas's own pixels copied");
  BITMAP info{};
  ASSERT_NE(GetObjectW(canvas, sizeof(info), &info), 0) << "canvas must not be freed";
  ExpectNear(canvasOwner.At(1, 1), {255, 255, 255}, 0, "the drawing stays in the canvas");
}

// A buffer over part of the client area (a hover's repaint) draws into the
// canvas at client coordinates and copies out only its part.
TEST(MemDC, BufferOverAPartOfTheCanvasCopiesOnlyThatPart) {
  Surface target(8, 8, RGB(0, 0, 0));
  Surface canvasOwner(8, 8, RGB(10, 200, 30));
  canvasOwner.select.reset();
  HBITMAP canvas = canvasOwner.bitmap.get();
  {
    CMemDC buffer(target.dc, RECT{4, 3, 7, 6});
    buffer.SelectCanvas(canvas);
    OwnedBrush white(CreateSolidBrush(RGB(255, 255, 255)));
    RECT square{4, 3, 6, 5};
    FillRect(buffer.dc(), &square, white.get());
  }
  ExpectNear(canvasOwner.At(4, 3), {255, 255, 255}, 0, "drawn at its client point in the canvas");
  ExpectNear(canvasOwner.At(0, 0), {10, 200, 30}, 0, "nothing drawn at the canvas's origin");
  ExpectNear(target.At(4, 3), {255, 255, 255}, 0, "the drawing copied");
  ExpectNear(target.At(6, 5), {10, 200, 30}, 0, "the part's canvas pixels copied");
  ExpectNear(target.At(3, 3), {0, 0, 0}, 0, "left of the part untouched");
  ExpectNear(target.At(4, 6), {0, 0, 0}, 0, "below the part untouched");
}

TEST(Fonts, CreatedWithTheFixedAttributes) {
  OwnedFont font = ui::CreateSkinFont(ui::FontChoice{L"Tahoma", 18, 700});
  ASSERT_TRUE(font);
  LOGFONTW lf{};
  ASSERT_NE(GetObjectW(font.get(), sizeof(lf), &lf), 0);
  EXPECT_EQ(lf.lfHeight, 18);
  EXPECT_EQ(lf.lfWidth, 0);
  EXPECT_EQ(lf.lfEscapement, 0);
  EXPECT_EQ(lf.lfWeight, 700);
  EXPECT_EQ(lf.lfItalic, 0);
  EXPECT_EQ(lf.lfUnderline, 0);
  EXPECT_EQ(lf.lfStrikeOut, 0);
  EXPECT_EQ(lf.lfCharSet, 0);
  EXPECT_EQ(lf.lfPitchAndFamily, 0x20);
  EXPECT_EQ(std::wstring(lf.lfFaceName), L"Tahoma");
}

TEST(Fonts, TextDrawsInItsColourInsideItsRectangle) {
  Surface target(120, 40, RGB(0, 0, 0));
  OwnedFont font = ui::CreateSkinFont(20, 700, L"Arial");
  const RECT box{10, 10, 110, 30};
  ui::DrawSkinText(target.dc, L"MMMM", box, ui::kTextCentre, ui::Rgb{250, 10, 10}, font.get());
  int inside = 0, outside = 0, exact = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) {
      const auto px = target.At(x, y);
      const bool changed = px != std::vector<int>{0, 0, 0};
      const bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
      (in ? inside : outside) += changed;
      exact += px == std::vector<int>{250, 10, 10};
      if (changed) {
        EXPECT_GE(px[0], px[1]) << "drawn in the text colour";
      }
    }
  }
  EXPECT_GT(inside, 20);
  EXPECT_EQ(outside, 0);
  EXPECT_GT(exact, 0);
  EXPECT_EQ(GetBkMode(target.dc), OPAQUE) << "the context's mode is put back";
}

}  // namespace
}  // namespace kovral
