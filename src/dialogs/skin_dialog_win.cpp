#include "dialogs/skin_dialog_win.h"

#include <algorithm>

#include "assign/key_names.h"
#include "settings/app_paths.h"
#include "ui/font_choice.h"
#include "ui/skin_path.h"
#include "ui/text_win.h"
#include "ui/window_dpi_win.h"
#include "view/control_colors_win.h"
#include "view/layout_win.h"

namespace kovral {
namespace {

DialogKey KeyOf(LPARAM keyData) {
  return {KeyNameOfHookedKey(keyData), (keyData & (1u << 31)) != 0, (keyData & (1 << 30)) != 0};
}

DWORD StyleOf(const ControlRequest& request) {
  DWORD style = request.tabStop ? WS_TABSTOP : 0;
  switch (request.kind) {
    case ControlKind::Static:
      return style | (request.centred ? SS_CENTER : SS_LEFT) | SS_CENTERIMAGE;
    case ControlKind::Edit:
      return style | ES_AUTOHSCROLL | (request.centred ? ES_CENTER : 0) | (request.digitsOnly ? ES_NUMBER : 0) |
             (request.framed ? WS_BORDER : 0);
    case ControlKind::Button:
      return style | BS_PUSHBUTTON;
    case ControlKind::CheckBox:
      return style | BS_AUTOCHECKBOX;
    case ControlKind::List:
      return style | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  }
  return style;
}

const wchar_t* ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Static: return L"STATIC";
    case ControlKind::Edit: return L"EDIT";
    case ControlKind::Button:
    case ControlKind::CheckBox: return L"BUTTON";
    case ControlKind::List: return L"LISTBOX";
  }
  return L"STATIC";
}

}  // namespace

std::wstring KeyNameOfHookedKey(LPARAM keyData) {
  wchar_t system[32] = {};
  GetKeyNameTextW(static_cast<LONG>(keyData), system, 32);
  return KeyNameOfKeystroke(static_cast<uint32_t>(keyData), system).substr(0, 31);
}

CSkinDialog::CSkinDialog(std::unique_ptr<SkinDialogModel> model)
    : model_(std::move(model)), messages_(ApplicationName(ModulePath())) {
  model_->Attach(*this);
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
  const layout::DialogFace& face = layout::DialogFaceOf(model_->kind());
  LoadSkinPicture(surface_, model_->environment().skinFolder, face.background, dpi());
  ui::ResizeWindow(hwnd_, surface_.width(), surface_.height());
  if (!surface_.ok()) {
    model_->OnFaceMissing();
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
  font_ = ui::CreateSkinFont(
      ui::FontsForLanguageCode(model_->environment().languageCode, ui::CurrentWindowsVersion()).normal, dpi());
  model_->Open();
  ShowWindow(hwnd_, SW_SHOW);
  return TRUE;
}

bool CSkinDialog::EndsWithTheDevice() const { return DialogEndsWithTheDevice(model_->kind()); }

HWND CSkinDialog::ControlOf(int id) const {
  if (list_ && id == listId_) return list_.get();
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second.first;
}

void CSkinDialog::CreateControl(const ControlRequest& request) {
  HWND made = ui::CreateChildAt(hwnd_, ClassOf(request.kind), request.text.c_str(), WS_CHILD | WS_VISIBLE | StyleOf(request),
                                layout::ToRECT(request.rect), request.id, font_.get());
  if (!made) return;
  if (request.kind == ControlKind::Edit && request.limit > 0) SendMessageW(made, EM_LIMITTEXT, request.limit, 0);
  controls_[request.id] = {made, request.kind};
}

void CSkinDialog::SetText(int id, const std::wstring& text) {
  if (HWND control = ControlOf(id)) SetWindowTextW(control, text.c_str());
}

std::wstring CSkinDialog::Text(int id) const {
  HWND control = ControlOf(id);
  return control ? ui::WindowText(control) : std::wstring();
}

void CSkinDialog::Enable(int id, bool enable) {
  if (HWND control = ControlOf(id)) EnableWindow(control, enable);
}

void CSkinDialog::Show(int id, bool show) {
  if (HWND control = ControlOf(id)) ShowWindow(control, show ? SW_SHOW : SW_HIDE);
}

void CSkinDialog::Focus(int id) {
  if (HWND control = ControlOf(id)) SetFocus(control);
}

bool CSkinDialog::HasFocus(int id) const {
  HWND control = ControlOf(id);
  return control != nullptr && GetFocus() == control;
}

void CSkinDialog::RedrawControl(int id) {
  if (HWND control = ControlOf(id)) InvalidateRect(control, nullptr, TRUE);
}

// A row wider than the list (a broken profile's reason) makes it scroll across.
void CSkinDialog::SetListItems(int id, const std::vector<std::wstring>& items) {
  HWND list = ControlOf(id);
  if (!list) return;
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  int widest = 0;
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, font_.get());
  for (const std::wstring& item : items) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SIZE size{};
    GetTextExtentPoint32W(dc, item.c_str(), static_cast<int>(item.size()), &size);
    widest = std::max(widest, static_cast<int>(size.cx));
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  SendMessageW(list, LB_SETHORIZONTALEXTENT, widest + 8, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void CSkinDialog::SelectListItem(int id, int index) {
  if (HWND list = ControlOf(id)) SendMessageW(list, LB_SETCURSEL, index, 0);
}

int CSkinDialog::ListSelection(int id) const {
  HWND list = ControlOf(id);
  return list ? static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) : LB_ERR;
}

void CSkinDialog::ScrollList(int id, int lines) {
  HWND list = ControlOf(id);
  if (!list) return;
  for (int i = 0; i < std::abs(lines); ++i) SendMessageW(list, WM_VSCROLL, lines < 0 ? SB_LINEUP : SB_LINEDOWN, 0);
}

bool CSkinDialog::OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items) {
  CloseList();
  HWND made = ui::CreateChildAt(hwnd_, L"LISTBOX", L"",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                layout::ToRECT(rect), id, font_.get());
  if (!made) return false;
  for (const std::wstring& item : items) SendMessageW(made, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SetWindowPos(made, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  // Enter chooses in the list and Esc closes it, rather than ending the dialog.
  ui::WatchListKeys(made);
  // The wheel goes to the window with the focus.
  SetFocus(made);
  list_.reset(made);
  listId_ = id;
  return true;
}

// A list that closes from its own notification goes after it has finished.
void CSkinDialog::CloseList() {
  if (!list_) return;
  if (GetFocus() == list_.get()) SetFocus(hwnd_);
  ui::DestroyChildLater(list_.release());
  listId_ = 0;
}

void CSkinDialog::End(bool ok) { EndModal(ok ? IDOK : IDCANCEL); }

void CSkinDialog::Tell(const std::wstring& text, const std::wstring& caption) { messages_.Show(text, caption); }

bool CSkinDialog::Ask(const std::wstring& question, const std::wstring& caption) {
  return MessageBoxW(hwnd_, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

std::optional<int> CSkinDialog::StartKeyCapture() {
  if (hook_.Install(*this)) return std::nullopt;
  return static_cast<int>(GetLastError());
}

void CSkinDialog::OnHookedKey(WPARAM, LPARAM keyData) {
  if (hwnd_) model_->OnCapturedKey(KeyOf(keyData));
}

int CSkinDialog::TextWidth(std::wstring_view text) {
  MemoryDC dc(nullptr);
  ScopedSelectObject selectFont(dc.get(), font_.get());
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size);
  return static_cast<int>(size.cx);
}

int CSkinDialog::LineHeight() const {
  return ui::FontsForLanguageCode(model_->environment().languageCode, ui::CurrentWindowsVersion()).normal.height;
}

SceneResources CSkinDialog::Resources() {
  return {model_->environment().skinFolder, images_, font_.get(), font_.get(), &messages_, dpi()};
}

LRESULT CSkinDialog::OnEraseBackground(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  CMemDC buffer(dc, client);
  if (!faceLoaded_) return 1;
  buffer.SelectCanvas(surface_.bitmap());
  PaintScene(buffer.dc(), model_->BuildScene(), Resources());
  return 1;
}

// The dialog follows its window to the new scale; an open list follows too.
LRESULT CSkinDialog::OnDpiChanged(WPARAM, LPARAM suggestedRect) {
  if (!faceLoaded_) return 0;
  SkinImage face;
  if (!LoadSkinPicture(face, model_->environment().skinFolder, layout::DialogFaceOf(model_->kind()).background,
                       dpi()))
    return 0;
  surface_ = std::move(face);
  // The controls use the old font until they are given the new one.
  const OwnedFont oldFont = std::move(font_);
  font_ = ui::CreateSkinFont(
      ui::FontsForLanguageCode(model_->environment().languageCode, ui::CurrentWindowsVersion()).normal, dpi());
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
  RepaintScene(drawing.dc(), model_->BuildScene(), Resources(), rects);
}

bool CSkinDialog::OnLButtonDown(POINT devicePt, WPARAM) {
  const POINT pt = ui::UnitPoint(devicePt, dpi());
  model_->OnClick({pt.x, pt.y});
  return false;
}

HBRUSH CSkinDialog::OnCtlColor(HDC dc, HWND control, int type) {
  return ApplyControlColors(dc, model_->ColorsFor(GetDlgCtrlID(control), ControlTypeOf(type)),
                            model_->environment().textColor, font_.get(), brush_);
}

// Key presses and releases for the dialog or its controls pass the model
// first; keys typed with Alt are the system's.
bool CSkinDialog::PreTranslateMessage(MSG& msg) {
  if (!hwnd_) return false;
  if (msg.message == WM_MOUSEMOVE && list_ && msg.hwnd == list_.get())
    ui::HotTrackListItem(list_.get(), {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)});
  if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  return model_->SwallowsKey(KeyOf(msg.lParam));
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
  return ui::Dispatch(*this, Messages(), message, wParam, lParam);
}

// A notification of one of the model's controls, in the model's terms.
// Others (IDOK, IDCANCEL) go on to the dialog's default handling.
bool CSkinDialog::OnControlCommand(int id, int code) {
  if (list_ && id == listId_) {
    if (const std::optional<ui::ListEvent> event = ui::ListEventOf(list_.get(), code)) model_->OnListEvent(id, *event);
    return true;
  }
  const auto found = controls_.find(id);
  if (found == controls_.end()) return false;
  const auto [control, kind] = found->second;
  switch (kind) {
    case ControlKind::List:
      if (const std::optional<ui::ListEvent> event = ui::ListEventOf(control, code)) model_->OnListEvent(id, *event);
      break;
    case ControlKind::Edit:
      if (code == EN_CHANGE) model_->OnControlEvent(id, ControlEvent::Changed);
      if (code == EN_KILLFOCUS) model_->OnControlEvent(id, ControlEvent::FocusLost);
      break;
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) model_->OnControlEvent(id, ControlEvent::Clicked);
      break;
    case ControlKind::Static:
      break;
  }
  return true;
}

// Moves and hover notices go on to default processing; dialogs are not dragged.
bool CSkinDialog::OnMouseMove(POINT devicePt, WPARAM) {
  const POINT pt = ui::UnitPoint(devicePt, dpi());
  if (model_->OnMouseMove({pt.x, pt.y})) ui::RequestHover(hwnd_, kHoverTimeMs);
  return false;
}

bool CSkinDialog::OnMouseHover(POINT devicePt, WPARAM) {
  const POINT pt = ui::UnitPoint(devicePt, dpi());
  model_->OnMouseHover({pt.x, pt.y});
  return false;
}

void CSkinDialog::OnMouseWheel(int delta, POINT, WPARAM) { model_->OnWheel(delta); }

LRESULT CSkinDialog::OnDestroyList(WPARAM, LPARAM lParam) {
  ui::DestroyPostedChild(hwnd_, lParam);
  return 0;
}

}  // namespace kovral
