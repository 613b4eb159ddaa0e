#pragma once
// The main window's pages on Win32: the shell the portable pages work
// through (their child controls, the key capture of a macro recording, the
// dialogs) and the painting of the shown page's scene. It lives for the
// whole run beside the dialog that owns it; what a page does is PageHost's.
#include <windows.h>

#include <map>
#include <span>
#include <string>

#include "base/handles_win.h"
#include "base/message_sink.h"
#include "pages/page_dialogs_win.h"
#include "pages/page_host.h"
#include "pages/page_state.h"
#include "ui/color_chooser.h"
#include "ui/image_cache_win.h"
#include "ui/keyboard_hook_win.h"
#include "view/page_hover.h"
#include "view/scene_painter_win.h"

namespace kovral {

// Work a page left for after the notification that asked for it (a modal
// dialog must not run inside a list's own click); the window hands wParam
// and lParam to OnContinue.
inline constexpr UINT WM_PAGE_CONTINUE = WM_APP + 4;

// How the pages look: the skin, the canvas they are painted into, the fonts
// and texts. The dialog sets it once its settings and skin are loaded and
// again when they change.
struct PageLook {
  std::wstring skinFolder;
  HBITMAP canvas = nullptr;
  HFONT normalFont = nullptr;
  HFONT titleFont = nullptr;
  ui::Rgb textColor;
  const MainTexts* texts = nullptr;
  std::wstring languageCode;  // the dialogs' fonts
};

// What the pages use of what the dialog owns for the whole run.
struct PageHostServices {
  HWND window = nullptr;
  SettingsSession& settings;
  DeviceLink& link;
  DeviceImage& image;
  SystemPointerSettings& pointer;
  MessageSink& messages;
  ColorChooser& colors;
};

class CPageHost final : private PageShell, private KeyboardHook::Listener {
 public:
  explicit CPageHost(const PageHostServices& services);
  // The main window, once it exists; the pages are its children.
  void AttachWindow(HWND window) { context_.window = window; }

  void SetLook(PageLook look);
  PageState& state() { return host_.state(); }

  // Showing a page (nothing when it is shown already), and showing the shown
  // page again from the record (after Cancel or a skin change).
  void Show(int page) { host_.Show(page); }
  void Rebuild() { host_.Rebuild(); }
  // Draws the shown page whole onto the canvas again (a new canvas after a
  // DPI change); its state and children stay.
  void Redraw() { Paint(); }

  // The page part of a click; false when no element took it (the window
  // then drags).
  bool OnPageClick(POINT pt) { return host_.Click({pt.x, pt.y}); }
  void OnMouseMove(POINT pt) { host_.MouseMove({pt.x, pt.y}); }
  void OnMouseHover(POINT pt) { host_.MouseHover({pt.x, pt.y}); }
  // WM_COMMAND of a page's control; false when it is none of theirs.
  bool OnCommand(int controlId, int code);
  void OnContinue(WPARAM wParam, LPARAM lParam);
  void CommitEdits() { host_.CommitEdits(); }
  // The open list under the pointer selects the item under it.
  void HotTrackOpenList();
  bool Recording() const { return host_.Recording(); }

  // The window follows the pointer while the button that pressed at the
  // client point is held.
  void Drag(POINT clientPoint);

 private:
  enum class ControlKind { Text, Edit, List };
  struct Control {
    OwnedWindow window;
    ControlKind kind = ControlKind::Text;
  };

  // PageShell
  bool OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items, bool focus) override;
  void CloseList(int id) override;
  std::optional<layout::Rect> ListEntryRect(int id, int entry) override;
  void MakeList(int id, const layout::Rect& rect, bool keys) override;
  void SetListItems(int id, const std::vector<std::wstring>& items, int selected) override;
  void SetListSelection(int id, int selected) override;
  void MakeText(int id, const layout::Rect& rect, const std::wstring& text) override;
  void MakeEdit(int id, const layout::Rect& rect, int limit, bool digits) override;
  void SetText(int id, const std::wstring& text) override;
  std::wstring Text(int id) override;
  void RefreshSwatch(int id) override;
  void Focus(int id) override;
  void SetTitle(const std::wstring& text) override;
  void DestroyControls() override;
  void Paint() override;
  void Repaint(std::span<const layout::Rect> rects) override;
  void RequestHover() override;
  void ContinueLater(int what, int detail) override;
  std::optional<ui::Rgb> ChooseColor(ui::Rgb initial) override;
  void ShowMessage(const std::wstring& text, const std::wstring& caption) override;
  std::optional<int> StartKeyCapture() override;
  void StopKeyCapture() override;
  AssignmentDialogs& Dialogs() override { return dialogs_; }

  void OnHookedKey(WPARAM virtualKey, LPARAM keyData) override;

  HWND ControlWindow(int id) const;
  HWND MakeControl(const wchar_t* className, int id, const layout::Rect& rect, DWORD style, ControlKind kind,
                   const wchar_t* text = L"");
  SceneResources Resources();

  PageHostServices context_;
  PageLook look_;
  ImageCache images_;
  CAssignmentDialogs dialogs_;
  KeyboardHook hook_;
  std::map<int, Control> controls_;  // the shown page's controls by id
  int notifying_ = 0;    // inside a list's own notifications
  bool syncing_ = false;  // texts set here raise no edit notifications of the user's
  std::wstring ownTitle_;  // the window's title while a page shows another
  bool titleChanged_ = false;
  PageHost host_;
};

}  // namespace kovral
