#include "pages/page_host_win.h"

#include "device/device_link.h"
#include "pages/advanced_page_win.h"
#include "pages/basic_page_win.h"
#include "settings/settings_session.h"
#include "ui/skin_image_win.h"
#include "ui/window_dpi_win.h"
#include "ui/window_win.h"

namespace kovral {

CPageHost::CPageHost(const PageHostServices& services) : context_(services) {
  // Until the settings are loaded the pages speak English.
  look_.texts = &MainTextsFor(UiLanguage::English);
  hover_.SetTables({layout::CommonElements()});
}

void CPageHost::SetLook(PageLook look) {
  if (!look.texts) look.texts = look_.texts;
  look_ = std::move(look);
}

std::unique_ptr<CPage> CPageHost::Make(int page) {
  const PageContext context{context_.window,
                            context_.settings,
                            *look_.texts,
                            context_.link,
                            context_.image,
                            state_,
                            context_.pointer,
                            context_.messages,
                            context_.colors,
                            look_.normalFont,
                            DialogEnvironment{look_.skinFolder, look_.textColor, look_.languageCode},
                            [this](std::span<const layout::Rect> rects) { Repaint(rects); }};
  if (page == kBasicPage) return std::make_unique<CBasicPage>(context);
  if (page == kAdvancedPage) return std::make_unique<CAdvancedPage>(context);
  return nullptr;
}

// Leaving a page destroys it with its controls, open lists and a running
// macro recording; the new page takes part in the hover looks from now on.
void CPageHost::Show(int page) {
  if (!EnterPage(state_, page)) return;
  page_.reset();
  page_ = Make(page);
  if (!page_) return;
  hover_.SetTables({layout::CommonElements(), page_->Elements()});
  page_->Prepare();
  Paint();
  page_->CreateChildren();
}

void CPageHost::Rebuild() {
  const std::optional<PageRebuild> rebuild = BeginRebuild(state_);
  if (!rebuild) return;
  page_.reset();
  hover_.SetTables({layout::CommonElements()});
  Show(rebuild->show);
}

bool CPageHost::OnPageClick(POINT pt) {
  if (!page_) return false;
  const PageClickResult result = page_->OnClick({pt.x, pt.y});
  if (result.handled) Repaint(result.redraw);
  return result.handled;
}

void CPageHost::OnMouseMove(POINT pt) {
  bool track = false;
  const HoverTracker::Redraw redraw = hover_.OnMouseMove({pt.x, pt.y}, track);
  if (!redraw.empty()) Repaint(redraw.Rects());
  if (track) ui::RequestHover(context_.window, kHoverTimeMs);
}

void CPageHost::OnMouseHover(POINT pt) {
  const HoverTracker::Redraw redraw = hover_.OnMouseHover({pt.x, pt.y});
  if (!redraw.empty()) Repaint(redraw.Rects());
}

bool CPageHost::OnCommand(int controlId, int code) { return page_ && page_->OnCommand(controlId, code); }

void CPageHost::OnContinue(WPARAM wParam, LPARAM lParam) {
  if (page_) page_->OnContinue(wParam, lParam);
}

void CPageHost::HotTrackOpenList() {
  POINT cursor;
  if (!page_ || !GetCursorPos(&cursor)) return;
  HWND under = WindowFromPoint(cursor);
  if (!under || GetParent(under) != context_.window || !page_->HotTracks(GetDlgCtrlID(under))) return;
  ScreenToClient(under, &cursor);
  const int index = ui::HotTrackListItem(under, cursor);
  if (index >= 0) page_->OnHotItem(GetDlgCtrlID(under), index);
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

PageView CPageHost::View() const {
  return {context_.settings.config, context_.settings.ui, *look_.texts, context_.image.activeSensorType,
          look_.textColor};
}

SceneResources CPageHost::Resources() {
  return {look_.skinFolder, images_, look_.normalFont, look_.titleFont, nullptr, ui::WindowDpi(context_.window)};
}

// A full paint draws every element in its normal look; the lit flags stay
// until the next un-hover puts them back.
void CPageHost::Paint() {
  if (!page_ || !look_.texts) return;
  SurfaceDrawing drawing(context_.window, look_.canvas);
  if (!drawing.hasSurface()) return;
  PaintScene(drawing.dc(), page_->BuildScene(View(), {}), Resources());
}

void CPageHost::Repaint(std::span<const layout::Rect> rects) {
  if (!page_ || !look_.texts || rects.empty()) return;
  SurfaceDrawing drawing(context_.window, look_.canvas, RepaintBounds(rects, ui::WindowDpi(context_.window)));
  if (!drawing.hasSurface()) return;
  const LitTest lit = [this](const layout::Element& e) { return hover_.IsLit(&e); };
  RepaintScene(drawing.dc(), page_->BuildScene(View(), lit), Resources(), rects);
}

}  // namespace kovral
