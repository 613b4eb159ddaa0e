#include "dialogs/skin_dialog_win.h"

#include "view/control_colors_win.h"
#include "view/layout_win.h"
#include "settings/app_paths.h"
#include "ui/font_choice.h"
#include "ui/skin_path.h"
#include "ui/text_win.h"
#include "ui/window_dpi_win.h"

namespace kovral {
namespace {

DialogKind TextKindOf(layout::DialogKind kind) { return static_cast<DialogKind>(static_cast<int>(kind)); }

}  // namespace

CSkinDialog::CSkinDialog(layout::DialogKind kind, DialogEnvironment environment)
    : kind_(kind),
      environment_(std::move(environment)),
      language_(LanguageFromCode(environment_.languageCode)),
      frameTexts_(DialogFrameTextsFor(language_)),
      messages_(ApplicationName(ModulePath())) {
  hover_.SetTables({layout::DialogFrameElements()});
}

ui::DialogTemplate CSkinDialog::Template() const {
  ui::DialogTemplate t;
  t.style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN | DS_SETFONT;
  t.width = 200;
  t.height = 150;
  return t;
}

BOOL CSkinDialog::OnInitDialog() {
  messages_.SetOwner(hwnd_);
  const layout::DialogFace& face = layout::DialogFaceOf(kind_);
  LoadSkinPicture(surface_, environment_.skinFolder, face.background, dpi());
  ui::ResizeWindow(hwnd_, surface_.width(), surface_.height());
  if (!surface_.ok()) {
    // Without its face the dialog would be an invisible modal window the user
    // cannot close: it says so and ends as if cancelled.
    messages_.Show(kDialogImageFailedText, DialogImageFailedTitle(TextKindOf(kind_)));
    EndModal(IDCANCEL);
    return TRUE;
  }
  faceLoaded_ = true;
  // Centred over the window it belongs to.
  if (HWND owner = GetWindow(hwnd_, GW_OWNER)) {
    RECT o{};
    GetWindowRect(owner, &o);
    SetWindowPos(hwnd_, nullptr, o.left + (o.right - o.left - surface_.width()) / 2,
                 o.top + (o.bottom - o.top - surface_.height()) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  font_ = ui::CreateSkinFont(ui::FontsForLanguageCode(environment_.languageCode, ui::CurrentWindowsVersion()).normal,
                             dpi());
  CreateControls();
  ShowWindow(hwnd_, SW_SHOW);
  return TRUE;
}

// The dialogs of the basic page's rows and of the macro panel work on the
// window's record, which hides with the window until the mouse is back: an
// OK given to one afterwards would change a record nobody sees. The others
// (the skin chooser, the Profiles dialog) need no mouse and stay.
bool CSkinDialog::EndsWithTheDevice() const {
  switch (kind_) {
    case layout::DialogKind::Single:
    case layout::DialogKind::Windows:
    case layout::DialogKind::Media:
    case layout::DialogKind::FireKey:
    case layout::DialogKind::Macro:
    case layout::DialogKind::Combo:
    case layout::DialogKind::DelayTime:
      return true;
    default:
      return false;
  }
}

void CSkinDialog::AddHoverTable(std::span<const layout::Element> table) {
  hover_.SetTables({layout::DialogFrameElements(), table});
}

HWND CSkinDialog::MakeControl(const wchar_t* className, int id, const layout::Rect& rect, DWORD style,
                              const std::wstring& text) {
  return ui::CreateChildAt(hwnd_, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, layout::ToRECT(rect), id,
                           font_.get());
}

HWND CSkinDialog::OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items,
                           const layout::Rect& field) {
  CloseList();
  HWND made = MakeControl(L"LISTBOX", id, rect, WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, L"");
  if (!made) return nullptr;
  for (const std::wstring& item : items) SendMessageW(made, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SetWindowPos(made, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // Enter chooses in the list and Esc closes it, rather than ending the dialog.
  ui::WatchListKeys(made);
  // The wheel goes to the window with the focus.
  SetFocus(made);
  list_.reset(made);
  listRect_ = rect;
  listField_ = field;
  return made;
}

// A list that closes from its own notification goes after it has finished.
void CSkinDialog::CloseList() {
  if (!list_) return;
  if (GetFocus() == list_.get()) SetFocus(hwnd_);
  ui::DestroyChildLater(list_.release());
}

bool CSkinDialog::ListChooses(int code) {
  if (!list_) return false;
  const std::optional<ui::ListEvent> event = ui::ListEventOf(list_.get(), code);
  if (!event) return false;
  switch (ui::AnswerListEvent(*event)) {
    case ui::ListAnswer::Choose:
      return true;
    case ui::ListAnswer::Follow:
      return false;
    case ui::ListAnswer::Dismiss:
      CloseList();
      OnListDismissed();
      return false;
  }
  return false;
}

Scene CSkinDialog::BuildScene() const {
  const LitTest lit = [this](const layout::Element& e) { return hover_.IsLit(&e); };
  return BuildDialogScene(layout::DialogFaceOf(kind_).background, frameTexts_, environment_.textColor, lit,
                          [this](Scene& scene) { AddOwnTexts(scene); });
}

SceneResources CSkinDialog::Resources() {
  return {environment_.skinFolder, images_, font_.get(), font_.get(), &messages_, dpi()};
}

LRESULT CSkinDialog::OnEraseBackground(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  CMemDC buffer(dc, client);
  if (!faceLoaded_) return 1;
  buffer.SelectCanvas(surface_.bitmap());
  PaintScene(buffer.dc(), BuildScene(), Resources());
  return 1;
}

// The dialog follows its window to the new scale; an open list follows too.
LRESULT CSkinDialog::OnDpiChanged(WPARAM, LPARAM suggestedRect) {
  if (!faceLoaded_) return 0;
  SkinImage face;
  if (!LoadSkinPicture(face, environment_.skinFolder, layout::DialogFaceOf(kind_).background, dpi())) return 0;
  surface_ = std::move(face);
  // The controls use the old font until they are given the new one.
  const OwnedFont oldFont = std::move(font_);
  font_ = ui::CreateSkinFont(ui::FontsForLanguageCode(environment_.languageCode, ui::CurrentWindowsVersion()).normal,
                             dpi());
  const auto* suggested = reinterpret_cast<const RECT*>(suggestedRect);
  SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, surface_.width(), surface_.height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  ui::RescaleChildren(hwnd_, font_.get());
  InvalidateRect(hwnd_, nullptr, TRUE);
  return 0;
}

void CSkinDialog::Repaint(const std::vector<layout::Rect>& rects) {
  if (!faceLoaded_ || rects.empty()) return;
  SurfaceDrawing drawing(hwnd_, surface_.bitmap(), RepaintBounds(rects, dpi()));
  RepaintScene(drawing.dc(), BuildScene(), Resources(), rects);
}

bool CSkinDialog::OnLButtonDown(POINT devicePt, WPARAM) {
  const POINT pt = ui::UnitPoint(devicePt, dpi());
  const layout::Point p{pt.x, pt.y};
  if (list_ && !listRect_.Contains(p) && !listField_.Contains(p)) {
    CloseList();
    OnListDismissed();
  }
  switch (RouteFrameClick(p)) {
    case FrameClick::Ok:
      OnOK();
      return false;
    case FrameClick::Cancel:
      OnCancel();
      return false;
    case FrameClick::None:
      break;
  }
  OnFieldClick(p);
  return false;
}

HBRUSH CSkinDialog::OnCtlColor(HDC dc, HWND control, int type) {
  return ApplyControlColors(dc, ColorsFor(GetDlgCtrlID(control), ControlTypeOf(type)), environment_.textColor,
                            font_.get(), brush_);
}

bool CSkinDialog::PreTranslateMessage(MSG& msg) {
  if (!hwnd_) return false;
  if (msg.message == WM_MOUSEMOVE && list_ && msg.hwnd == list_.get())
    ui::HotTrackListItem(list_.get(), {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)});
  if (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd)) return SwallowsKey(msg);
  return false;
}

std::span<const ui::MessageEntry<CSkinDialog>> CSkinDialog::Messages() {
  using M = ui::MessageMap<CSkinDialog>;
  static constexpr ui::MessageEntry<CSkinDialog> kTable[] = {
      M::WithDc<&CSkinDialog::OnEraseBackground>(WM_ERASEBKGND),
      M::Message<&CSkinDialog::OnDpiChanged>(WM_DPICHANGED),
      M::Mouse<&CSkinDialog::OnLButtonDown>(WM_LBUTTONDOWN),
      M::Mouse<&CSkinDialog::OnMouseMove>(WM_MOUSEMOVE),
      M::Mouse<&CSkinDialog::OnMouseHover>(WM_MOUSEHOVER),
      M::Wheel<&CSkinDialog::OnMouseWheel>(),
      M::CtlColor<&CSkinDialog::OnCtlColor>(),
      M::Commands<&CSkinDialog::OnControlCommand>(1, 0xFFFF),
      M::Message<&CSkinDialog::OnDestroyList>(ui::WM_DESTROY_CHILD_LATER),
  };
  return kTable;
}

ui::MsgResult CSkinDialog::Route(UINT message, WPARAM wParam, LPARAM lParam) {
  const ui::MsgResult result = ui::Dispatch(*this, Messages(), message, wParam, lParam);
  return result.handled ? result : OnOwnMessage(message, wParam, lParam);
}

// Moves and hover notices go on to default processing; dialogs are not dragged.
bool CSkinDialog::OnMouseMove(POINT devicePt, WPARAM) {
  const POINT pt = ui::UnitPoint(devicePt, dpi());
  bool track = false;
  Repaint(hover_.OnMouseMove({pt.x, pt.y}, track).Rects());
  if (track) ui::RequestHover(hwnd_, kHoverTimeMs);
  return false;
}

bool CSkinDialog::OnMouseHover(POINT devicePt, WPARAM) {
  const POINT pt = ui::UnitPoint(devicePt, dpi());
  Repaint(hover_.OnMouseHover({pt.x, pt.y}).Rects());
  return false;
}

void CSkinDialog::OnMouseWheel(int delta, POINT, WPARAM) { OnWheel(delta); }

LRESULT CSkinDialog::OnDestroyList(WPARAM, LPARAM lParam) {
  ui::DestroyPostedChild(hwnd_, lParam);
  return 0;
}

}  // namespace kovral
