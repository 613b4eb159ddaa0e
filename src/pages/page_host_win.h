#pragma once
// The main window's pages as the dialog sees them: the page shown (an
// object made when it is shown and destroyed when the other one is), the
// hover looks, the decoded skin images, and the painting of both from the
// page's scene. It lives for the whole run beside the dialog that owns it.
#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "pages/main_page_win.h"
#include "view/page_hover.h"
#include "pages/page_state.h"
#include "view/scene_painter_win.h"
#include "ui/image_cache_win.h"

namespace kovral {

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

class CPageHost {
 public:
  explicit CPageHost(const PageHostServices& services);
  // The main window, once it exists; the pages are its children.
  void AttachWindow(HWND window) { context_.window = window; }

  void SetLook(PageLook look);
  PageState& state() { return state_; }

  // Showing a page (nothing when it is shown already), and showing the shown
  // page again from the record (after Cancel or a skin change).
  void Show(int page);
  void Rebuild();
  // Draws the shown page whole onto the canvas again (a new canvas after a
  // DPI change); its state and children stay.
  void Redraw() { Paint(); }

  // The page part of a click; false when no element took it (the window
  // then drags).
  bool OnPageClick(POINT pt);
  void OnMouseMove(POINT pt);
  void OnMouseHover(POINT pt);
  bool OnCommand(int controlId, int code);
  void OnContinue(WPARAM wParam, LPARAM lParam);
  void CommitEdits() {
    if (page_) page_->CommitEdits();
  }
  // The open list under the pointer selects the item under it.
  void HotTrackOpenList();
  bool Recording() const { return page_ && page_->Recording(); }

  // The window follows the pointer while the button that pressed at the
  // client point is held.
  void Drag(POINT clientPoint);

 private:
  PageView View() const;
  SceneResources Resources();
  void Paint();
  void Repaint(std::span<const layout::Rect> rects);
  std::unique_ptr<CPage> Make(int page);

  PageHostServices context_;
  PageLook look_;
  PageState state_;
  std::unique_ptr<CPage> page_;
  HoverTracker hover_;
  ImageCache images_;
};

}  // namespace kovral
