#include "view/osd_window_win.h"

#include <algorithm>

#include "ui/dpi_scale.h"
#include "ui/font_choice.h"
#include "ui/skin_files.h"
#include "ui/skin_image_win.h"
#include "ui/text_win.h"
#include "ui/window_dpi_win.h"
#include "view/scene_painter_win.h"

namespace kovral {
namespace {

constexpr wchar_t kOsdClass[] = L"KovralOnScreenDisplay";
constexpr UINT_PTR kOsdTimer = 1;
// Where every dialog picture of a skin has its title mark (units of the 1x picture).
constexpr int kAccentX = 15;
constexpr int kAccentY = 16;
constexpr ui::Rgb kDefaultAccent{0, 200, 255};

// The text's width in units, rounded up so that a text measured to fit
// still fits once its rectangle is mapped back to device pixels.
int UnitWidth(HDC dc, HFONT font, const std::wstring& text, int dpi) {
  if (text.empty()) return 0;
  const ScopedSelectObject select(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  return ui::UnitCoordinate(extent.cx, dpi) + 1;
}

}  // namespace

OsdPicture RenderOsd(const OsdNotice& notice, const OsdLook& look, int dpi, const std::wstring& languageCode) {
  OsdPicture picture;
  const wchar_t* face = ui::FontsForLanguageCode(languageCode, ui::CurrentWindowsVersion()).normal.face;
  const OwnedFont large = ui::CreateSkinFont(ui::FontChoice{face, -kOsdHeadlineHeight, FW_BOLD}, dpi);
  const OwnedFont normal = ui::CreateSkinFont(ui::FontChoice{face, -kOsdDetailHeight, FW_NORMAL}, dpi);
  const MemoryDC dc(nullptr);
  if (!dc || !large || !normal) return picture;
  const OsdPanel panel = LayoutOsd(notice, look, [&](const std::wstring& text, SceneFont font) {
    return UnitWidth(dc.get(), font == SceneFont::Large ? large.get() : normal.get(), text, dpi);
  });

  const layout::Size size = ui::DeviceSize(panel.size, dpi);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.width;
  info.bmiHeader.biHeight = -size.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  OwnedBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return picture;
  {
    const ScopedSelectObject select(dc.get(), bitmap.get());
    static ImageCache noPictures;  // the panel draws no skin picture
    static const std::wstring noFolder;
    SceneResources resources{noFolder, noPictures};
    resources.normalFont = normal.get();
    resources.titleFont = normal.get();
    resources.largeFont = large.get();
    resources.dpi = dpi;
    PaintScene(dc.get(), panel.scene, resources);
    GdiFlush();
  }
  // GDI leaves the alpha byte of what it draws at 0; the panel is opaque
  // everywhere, so every pixel becomes fully covered (premultiplied as is).
  auto* pixel = static_cast<std::uint8_t*>(bits);
  const size_t count = static_cast<size_t>(size.width) * static_cast<size_t>(size.height);
  for (size_t i = 0; i < count; ++i) pixel[4 * i + 3] = 0xFF;
  picture.bitmap = std::move(bitmap);
  picture.width = size.width;
  picture.height = size.height;
  picture.bits = static_cast<const std::uint8_t*>(bits);
  return picture;
}

ui::Rgb SkinAccent(const std::wstring& skinFolder) {
  if (skinFolder.empty()) return kDefaultAccent;
  const SkinImage image(skinFolder + skin::kSingleKeyDialog);
  if (!image.ok() || !image.bits() || image.width() <= kAccentX || image.height() <= kAccentY) return kDefaultAccent;
  const int bytes = image.bitsPerPixel() / 8;
  if (bytes < 3) return kDefaultAccent;
  const std::uint8_t* p = image.bits() + static_cast<size_t>(kAccentY) * image.pitch() + kAccentX * bytes;
  return {p[2], p[1], p[0]};
}

OsdWindow::~OsdWindow() { Hide(); }

std::span<const ui::MessageEntry<OsdWindow>> OsdWindow::Messages() {
  using M = ui::MessageMap<OsdWindow>;
  static constexpr ui::MessageEntry<OsdWindow> kTable[] = {
      M::Message<&OsdWindow::OnTimer>(WM_TIMER),
      M::Message<&OsdWindow::OnMouseActivate>(WM_MOUSEACTIVATE),
      M::Message<&OsdWindow::OnNcHitTest>(WM_NCHITTEST),
  };
  return kTable;
}

ui::MsgResult OsdWindow::Route(UINT message, WPARAM wParam, LPARAM lParam) {
  return ui::Dispatch(*this, Messages(), message, wParam, lParam);
}

// The game's monitor: where the player looks. Its own scale, not the
// program's window's, makes the panel crisp there.
bool OsdWindow::Show(const OsdNotice& notice, const OsdLook& look, OsdPosition position,
                     const std::wstring& languageCode) {
  HWND front = GetForegroundWindow();
  HMONITOR monitor = front ? MonitorFromWindow(front, MONITOR_DEFAULTTOPRIMARY)
                           : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) {
    info.rcWork = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const int dpi = ui::MonitorDpi(monitor);
  OsdPicture picture = RenderOsd(notice, look, dpi, languageCode);
  if (!picture.bitmap) return false;
  const layout::Rect at = PlaceOsd({info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom},
                                   {picture.width, picture.height}, position, dpi);

  if (!hwnd_) {
    if (!RegisterWindowClass(kOsdClass)) return false;
    if (!Create(kOsdClass, notice.text.c_str(), WS_POPUP, kOsdExStyle, at.left, at.top, picture.width,
                picture.height))
      return false;
  } else {
    SetWindowTextW(hwnd_, notice.text.c_str());
  }
  picture_ = std::move(picture);
  const POINT origin{at.left, at.top};
  if (!Present(255, &origin)) {
    Hide();
    return false;
  }
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  // A game's own topmost window may have come since: the panel goes above it.
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  shownAt_ = GetTickCount64();
  SetTimer(hwnd_, kOsdTimer, static_cast<UINT>(OsdNextTickMs(0)), nullptr);
  return true;
}

bool OsdWindow::Present(std::uint8_t opacity, const POINT* at) {
  const MemoryDC dc(nullptr);
  if (!dc) return false;
  const ScopedSelectObject select(dc.get(), picture_.bitmap.get());
  SIZE size{picture_.width, picture_.height};
  POINT source{0, 0};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
  return UpdateLayeredWindow(hwnd_, nullptr, const_cast<POINT*>(at), &size, dc.get(), &source, 0, &blend,
                             ULW_ALPHA) != FALSE;
}

LRESULT OsdWindow::OnTimer(WPARAM timer, LPARAM) {
  if (timer != kOsdTimer) return 0;
  const auto elapsed = static_cast<int64_t>(GetTickCount64() - shownAt_);
  if (OsdOver(elapsed)) {
    Hide();
    return 0;
  }
  Present(OsdOpacity(elapsed), nullptr);
  SetTimer(hwnd_, kOsdTimer, static_cast<UINT>(std::max(1, OsdNextTickMs(elapsed))), nullptr);
  return 0;
}

void OsdWindow::Hide() {
  if (hwnd_) KillTimer(hwnd_, kOsdTimer);
  Destroy();
  picture_ = OsdPicture{};
}

}  // namespace kovral
