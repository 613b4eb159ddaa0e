// The pages' child controls on Win32: the windows PageHost's pages ask for,
// and their notifications turned back into the pages' events.
#include "pages/page_host_win.h"

#include "ui/window_dpi_win.h"
#include "ui/window_win.h"
#include "view/layout_win.h"

namespace kovral {

HWND CPageHost::ControlWindow(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second.window.get();
}

// The controls lie over hit areas of the page; the texts have no SS_NOTIFY,
// so they let the clicks through to the window.
HWND CPageHost::MakeControl(const wchar_t* className, int id, const layout::Rect& rect, DWORD style,
                            ControlKind kind, const wchar_t* text) {
  HWND control = ui::CreateChildAt(context_.window, className, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                                   layout::ToRECT(rect), id, look_.normalFont);
  if (control) controls_[id] = Control{OwnedWindow(control), kind};
  return control;
}

bool CPageHost::OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items, bool focus) {
  HWND list = MakeControl(L"LISTBOX", id, rect, WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                          ControlKind::List, nullptr);
  if (!list) return false;
  for (const std::wstring& item : items) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SetWindowPos(list, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ui::WatchListKeys(list);
  if (focus) SetFocus(list);
  return true;
}

void CPageHost::CloseList(int id) {
  const auto it = controls_.find(id);
  if (it == controls_.end()) return;
  // Keys must keep reaching the window (Enter and Escape hide it).
  if (GetFocus() == it->second.window.get()) SetFocus(context_.window);
  // A list still inside its own click is hidden now and destroyed later.
  if (notifying_ > 0) ui::DestroyChildLater(it->second.window.release());
  controls_.erase(it);
}

std::optional<layout::Rect> CPageHost::ListEntryRect(int id, int entry) {
  HWND list = ControlWindow(id);
  RECT item{};
  if (!list || SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(&item)) == LB_ERR)
    return std::nullopt;
  POINT corners[2] = {{item.left, item.top}, {item.right, item.bottom}};
  MapWindowPoints(list, context_.window, corners, 2);
  const int dpi = ui::WindowDpi(context_.window);
  const POINT topLeft = ui::UnitPoint(corners[0], dpi);
  const POINT bottomRight = ui::UnitPoint(corners[1], dpi);
  return layout::Rect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void CPageHost::MakeList(int id, const layout::Rect& rect, bool keys) {
  HWND list = MakeControl(L"LISTBOX", id, rect, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, ControlKind::List);
  if (list && keys) ui::WatchListKeys(list);
}

void CPageHost::SetListItems(int id, const std::vector<std::wstring>& items, int selected) {
  HWND list = ControlWindow(id);
  if (!list) return;
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::wstring& item : items) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void CPageHost::SetListSelection(int id, int selected) {
  if (HWND list = ControlWindow(id)) SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void CPageHost::MakeText(int id, const layout::Rect& rect, const std::wstring& text) {
  MakeControl(L"STATIC", id, rect, SS_CENTER | SS_CENTERIMAGE, ControlKind::Text, text.c_str());
}

void CPageHost::MakeEdit(int id, const layout::Rect& rect, int limit, bool digits) {
  HWND edit = MakeControl(L"EDIT", id, rect, ES_CENTER | (digits ? ES_NUMBER : ES_AUTOHSCROLL), ControlKind::Edit);
  if (edit) SendMessageW(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
}

void CPageHost::SetText(int id, const std::wstring& text) {
  HWND control = ControlWindow(id);
  if (!control) return;
  syncing_ = true;
  SetWindowTextW(control, text.c_str());
  syncing_ = false;
}

std::wstring CPageHost::Text(int id) {
  HWND control = ControlWindow(id);
  return control ? ui::WindowText(control) : std::wstring();
}

void CPageHost::RefreshSwatch(int id) {
  if (HWND swatch = ControlWindow(id)) InvalidateRect(swatch, nullptr, TRUE);
}

void CPageHost::Focus(int id) {
  HWND target = id == 0 ? context_.window : ControlWindow(id);
  if (target) SetFocus(target);
}

void CPageHost::SetTitle(const std::wstring& text) {
  if (!titleChanged_) ownTitle_ = ui::WindowText(context_.window);
  titleChanged_ = !text.empty();
  SetWindowTextW(context_.window, titleChanged_ ? text.c_str() : ownTitle_.c_str());
}

void CPageHost::DestroyControls() {
  hook_.Remove();
  controls_.clear();
  syncing_ = false;
}

bool CPageHost::OnCommand(int controlId, int code) {
  const auto it = controls_.find(controlId);
  if (it == controls_.end()) return false;
  HWND control = it->second.window.get();
  switch (it->second.kind) {
    case ControlKind::List: {
      const std::optional<ui::ListEvent> event = ui::ListEventOf(control, code);
      if (!event) break;
      const int selection = static_cast<int>(SendMessageW(control, LB_GETCURSEL, 0, 0));
      ++notifying_;
      host_.ListEvent(controlId, *event, selection);
      --notifying_;
      break;
    }
    case ControlKind::Edit:
      if (code == EN_CHANGE && !syncing_) host_.EditChanged(controlId);
      if (code == EN_KILLFOCUS) host_.EditLeft(controlId);
      break;
    case ControlKind::Text:
      return false;  // a text tells nothing
  }
  return true;
}

}  // namespace kovral
