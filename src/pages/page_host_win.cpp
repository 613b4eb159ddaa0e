#include "pages/page_host_win.h"

#include <cstdio>

#include "device/device_link.h"
#include "settings/settings_session.h"
#include "ui/skin_image_win.h"
#include "ui/window_dpi_win.h"
#include "ui/window_win.h"
#include "view/layout_win.h"

namespace kovral {

CPageHost::CPageHost(const PageHostServices& services)
    : context_(services),
      dialogs_([this] { return DialogEnvironment{look_.skinFolder, look_.textColor, look_.languageCode}; }),
      host_(*this, services.settings, services.link, services.image, services.pointer) {
  // Until the settings are loaded the pages speak English.
  look_.texts = &MainTextsFor(UiLanguage::English);
}

void CPageHost::SetLook(PageLook look) {
  if (!look.texts) look.texts = look_.texts;
  look_ = std::move(look);
  host_.SetLook(*look_.texts, look_.textColor);
}

void CPageHost::OnContinue(WPARAM wParam, LPARAM lParam) {
  host_.Continue(static_cast<int>(wParam), static_cast<int>(lParam));
}

void CPageHost::HotTrackOpenList() {
  POINT cursor;
  if (!host_.HasPage() || !GetCursorPos(&cursor)) return;
  HWND under = WindowFromPoint(cursor);
  if (!under || GetParent(under) != context_.window || !host_.HotTracks(GetDlgCtrlID(under))) return;
  ScreenToClient(under, &cursor);
  const int index = ui::HotTrackListItem(under, cursor);
  if (index >= 0) host_.HotItem(GetDlgCtrlID(under), index);
}

// The window manager's move loop starts from the click. WM_NCLBUTTONDOWN
// carries screen coordinates; given client ones, a system that takes the
// point as the loop's origin would make the window jump. After a click that
// took a while (Apply, OK, the skins dialog) the button may be up already: a
// move loop started then has no button release to end it and the window
// would follow the pointer until the next click, which it swallows.
void CPageHost::Drag(POINT clientPoint) {
  const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  if ((GetAsyncKeyState(button) & 0x8000) == 0) return;
  POINT screen = clientPoint;
  ClientToScreen(context_.window, &screen);
  PostMessageW(context_.window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
}

SceneResources CPageHost::Resources() {
  return {look_.skinFolder, images_, look_.normalFont, look_.titleFont, nullptr, ui::WindowDpi(context_.window)};
}

void CPageHost::Paint() {
  if (!host_.HasPage() || !look_.texts) return;
  SurfaceDrawing drawing(context_.window, look_.canvas);
  if (!drawing.hasSurface()) return;
  PaintScene(drawing.dc(), host_.BuildScene(false), Resources());
}

void CPageHost::Repaint(std::span<const layout::Rect> rects) {
  if (!host_.HasPage() || !look_.texts || rects.empty()) return;
  SurfaceDrawing drawing(context_.window, look_.canvas, RepaintBounds(rects, ui::WindowDpi(context_.window)));
  if (!drawing.hasSurface()) return;
  RepaintScene(drawing.dc(), host_.BuildScene(true), Resources(), rects);
}

void CPageHost::RequestHover() { ui::RequestHover(context_.window, kHoverTimeMs); }

void CPageHost::ContinueLater(int what, int detail) {
  PostMessageW(context_.window, WM_PAGE_CONTINUE, static_cast<WPARAM>(what), static_cast<LPARAM>(detail));
}

std::optional<ui::Rgb> CPageHost::ChooseColor(ui::Rgb initial) { return context_.colors.Choose(context_.window, initial); }

void CPageHost::ShowMessage(const std::wstring& text, const std::wstring& caption) {
  context_.messages.Show(text, caption);
}

std::optional<int> CPageHost::StartKeyCapture() {
  if (hook_.Install(*this)) return std::nullopt;
  return static_cast<int>(GetLastError());
}

void CPageHost::StopKeyCapture() { hook_.Remove(); }

void CPageHost::OnHookedKey(WPARAM virtualKey, LPARAM keyData) {
  std::wstring name = KeyNameOfHookedKey(keyData);
  if (name.empty()) {
    wchar_t fallback[32];
    std::swprintf(fallback, 32, L"virtual-key code :%x", static_cast<unsigned>(virtualKey));
    name = fallback;
  }
  host_.Key(name, (keyData & (1u << 31)) != 0, (keyData & (1u << 30)) != 0);
}

}  // namespace kovral
