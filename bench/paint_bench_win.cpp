// Times the main window's painting in-process, as the program paints: a full
// paint of each page (scene built from the factory record, executed into the
// canvas, copied to the window) and one key-row hover (the row's over look
// and its lit sibling back to normal), each with the decoded-image cache on
// and off; then the same with the cache on at 100 % to 200 % display scale;
// then the on-screen display's panel (a DPI stage notice: fonts, measuring,
// the scene into its bitmap) at each scale.
// Run under Wine on a display: paint_bench.exe SKIN_FOLDER [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

#include "lang/main_texts.h"
#include "view/layout.h"
#include "pages/page_scene.h"
#include "view/osd.h"
#include "view/osd_window_win.h"
#include "view/scene_painter_win.h"
#include "settings/defaults.h"
#include "settings/settings_session.h"
#include "ui/font_choice.h"
#include "ui/dpi_scale.h"
#include "ui/image_cache_win.h"
#include "ui/skin_files.h"
#include "ui/skin_image_win.h"
#include "ui/skin_path.h"
#include "ui/text_win.h"

namespace {

using namespace kovral;

double Millis(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class F>
double PerRun(int runs, F&& f) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  f();  // the first run warms the cache (when on) and the font mapper
  QueryPerformanceCounter(&start);
  for (int i = 0; i < runs; ++i) f();
  QueryPerformanceCounter(&end);
  return Millis(start, end, frequency) / runs;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fwprintf(stderr, L"usage: paint_bench.exe SKIN_FOLDER [RUNS]\n");
    return 2;
  }
  const std::wstring folder = argv[1];
  const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 50;

  const MainTexts& texts = MainTextsFor(UiLanguage::English);
  const DeviceConfig config = FactoryConfig();
  UiSettings ui;
  SetFirstRunButtonTexts(ui, texts);  // the factory rows, as a new installation shows them
  const PageView view{config, ui, texts, 0, ui::Rgb{255, 255, 255}};
  const ui::FontPair fonts = ui::FontsForLanguageCode(L"", ui::CurrentWindowsVersion());
  const layout::Element* row1 = layout::FindElement(layout::BasicElements(), layout::Action::KeyRow, 1);
  const layout::Element* row2 = layout::FindElement(layout::BasicElements(), layout::Action::KeyRow, 2);
  const LitTest lit = [&](const layout::Element& e) { return &e == row2; };
  const layout::Rect hoverRects[] = {row1->rect, row2->rect};

  struct Figures {
    double basic, advanced, hover;
  };
  // One scale: the window, its picture and fonts at the DPI, as the program
  // makes them there.
  const auto measure = [&](int dpi, bool cache, Figures& figures) {
    const layout::Size size = ui::DeviceSize(layout::kMainWindowSize, dpi);
    HWND window = CreateWindowExW(0, L"STATIC", L"paint bench", WS_POPUP | WS_VISIBLE, 0, 0, size.width, size.height,
                                  nullptr, nullptr, nullptr, nullptr);
    if (!window) {
      std::fwprintf(stderr, L"paint_bench: no window (is there a display?)\n");
      return false;
    }
    SkinImage main;
    if (!LoadSkinPicture(main, folder, skin::kMain, dpi)) {
      std::fwprintf(stderr, L"paint_bench: %ls has no main.png\n", folder.c_str());
      DestroyWindow(window);
      return false;
    }
    Canvas canvas(main);
    OwnedFont normal = ui::CreateSkinFont(fonts.normal, dpi);
    OwnedFont title = ui::CreateSkinFont(fonts.title, dpi);
    ImageCache images;
    images.SetEnabled(cache);
    SceneResources resources{folder, images, normal.get(), title.get()};
    resources.dpi = dpi;
    auto full = [&](int page) {
      return [&, page] {
        SurfaceDrawing drawing(window, canvas.bitmap());
        PaintScene(drawing.dc(), BuildPageScene(page, view), resources);
      };
    };
    auto hover = [&] {
      SurfaceDrawing drawing(window, canvas.bitmap(), RepaintBounds(hoverRects, dpi));
      RepaintScene(drawing.dc(), BuildBasicScene(view, lit), resources, hoverRects);
    };
    figures = {PerRun(runs, full(1)), PerRun(runs, full(2)), PerRun(runs, hover)};
    DestroyWindow(window);
    return true;
  };

  Figures with{}, without{};
  if (!measure(ui::kUnitDpi, true, with) || !measure(ui::kUnitDpi, false, without)) return 1;

  std::wprintf(L"paint bench, %d runs each, skin %ls\n", runs, folder.c_str());
  std::wprintf(L"%-22ls %12ls %12ls %14ls %16ls\n", L"", L"cache on ms", L"cache off ms", L"off / on", L"on / goal");
  const auto row = [](const wchar_t* name, double on, double off, double goal) {
    std::wprintf(L"%-22ls %12.3f %12.3f %14.1f %16.3f\n", name, on, off, off / on, on / goal);
  };
  row(L"full paint, basic", with.basic, without.basic, 16.0);
  row(L"full paint, advanced", with.advanced, without.advanced, 16.0);
  row(L"key-row hover", with.hover, without.hover, 0.5);

  std::wprintf(L"\nat each display scale, cache on (goals: full paint 16 ms, hover 2 ms at 200 %%)\n");
  std::wprintf(L"%-8ls %16ls %16ls %12ls\n", L"scale", L"basic ms", L"advanced ms", L"hover ms");
  for (int dpi : {96, 120, 144, 168, 192}) {
    Figures f{};
    if (!measure(dpi, true, f)) return 1;
    std::wprintf(L"%5d %% %16.3f %16.3f %12.3f\n", dpi * 100 / 96, f.basic, f.advanced, f.hover);
  }

  std::wprintf(L"\non-screen display panel, the whole render (goal: 2 ms at 200 %%)\n");
  std::wprintf(L"%-8ls %12ls %16ls\n", L"scale", L"render ms", L"size px");
  const OsdNotice notice = SampleOsdNotice(UiLanguage::English);
  const OsdLook look = MakeOsdLook(SkinAccent(folder), {255, 255, 255});
  for (int dpi : {96, 120, 144, 168, 192}) {
    OsdPicture picture;
    const double ms = PerRun(runs, [&] { picture = RenderOsd(notice, look, dpi, L""); });
    if (!picture.bitmap) {
      std::fwprintf(stderr, L"paint_bench: the panel could not be drawn at %d DPI\n", dpi);
      return 1;
    }
    std::wprintf(L"%5d %% %12.3f %9d x %d\n", dpi * 100 / 96, ms, picture.width, picture.height);
  }
  return 0;
}
