#pragma once
// The frame every skinned dialog shares: the face picture from the skin (the
// window takes its size), OK, Cancel and the close cross lit under the
// pointer, the dialog font and texts of the interface language, control
// colours, and a pop-up list that follows the pointer. A dialog class adds
// only its controls, texts and result fields.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "view/control_colors_win.h"
#include "view/message_box_win.h"
#include "base/handles_win.h"
#include "dialogs/dialog_environment.h"
#include "dialogs/dialog_face.h"
#include "lang/dialog_texts.h"
#include "lang/language.h"
#include "view/page_hover.h"
#include "view/scene_painter_win.h"
#include "ui/image_cache_win.h"
#include "ui/skin_image_win.h"
#include "ui/window_win.h"

namespace kovral {

class CSkinDialog : public ui::Dialog {
 public:
  CSkinDialog(layout::DialogKind kind, DialogEnvironment environment);

 protected:
  ui::DialogTemplate Template() const override;
  BOOL OnInitDialog() final;
  bool PreTranslateMessage(MSG& message) final;
  ui::MsgResult Route(UINT message, WPARAM wParam, LPARAM lParam) final;
  bool EndsWithTheDevice() const final;

  // What a dialog class adds.
  virtual void CreateControls() {}
  virtual void AddOwnTexts(Scene& scene) const {}
  // A click on the dialog outside the frame's buttons; true when taken.
  virtual bool OnFieldClick(layout::Point p) { return false; }
  // WM_COMMAND of the dialog's controls.
  virtual bool OnControlCommand(int id, int code) { return false; }
  // Keys the dialog swallows before the dialog keys (Enter is OK, Esc Cancel) see them.
  virtual bool SwallowsKey(const MSG& message) const { return false; }
  virtual void OnWheel(int delta) {}
  virtual ui::MsgResult OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) { return ui::NotHandled(); }
  // The list was closed by a click elsewhere.
  virtual void OnListDismissed() {}
  // How a control of the dialog is coloured (WM_CTLCOLOR*).
  virtual ControlColors ColorsFor(int controlId, ControlType type) const { return DialogControlColors(kind_, type); }

  // The pop-up list: made at `rect` with `items`, destroyed by CloseList or
  // by a click outside it and `field`.
  HWND OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items, const layout::Rect& field);
  void CloseList();
  HWND list() const { return list_.get(); }
  // A notification `code` of the open list: true when it chooses the
  // highlighted entry (a click, a double click, Enter). A key that moves the
  // highlight chooses nothing; Esc closes the list as a click elsewhere does.
  bool ListChooses(int code);

  HWND MakeControl(const wchar_t* className, int id, const layout::Rect& rect, DWORD style, const std::wstring& text);
  HFONT font() const { return font_.get(); }
  // Elements of the dialog's own that light under the pointer, beside the frame's.
  void AddHoverTable(std::span<const layout::Element> table);
  bool IsLit(const layout::Element& element) const { return hover_.IsLit(&element); }
  // Paints these rectangles of the dialog's picture again.
  void Redraw(const std::vector<layout::Rect>& rects) { Repaint(rects); }
  UiLanguage language() const { return language_; }
  const DialogEnvironment& environment() const { return environment_; }
  MessageSink& messages() { return messages_; }
  const DialogFrameTexts& frameTexts() const { return frameTexts_; }

 private:
  static std::span<const ui::MessageEntry<CSkinDialog>> Messages();
  Scene BuildScene() const;
  SceneResources Resources();
  void Repaint(const std::vector<layout::Rect>& rects);
  LRESULT OnEraseBackground(HDC dc);
  // Moved to a monitor of another scale: face, font and controls anew.
  LRESULT OnDpiChanged(WPARAM, LPARAM suggestedRect);
  bool OnLButtonDown(POINT pt, WPARAM keys);
  bool OnMouseMove(POINT pt, WPARAM keys);
  bool OnMouseHover(POINT pt, WPARAM keys);
  void OnMouseWheel(int delta, POINT screen, WPARAM keys);
  LRESULT OnDestroyList(WPARAM, LPARAM lParam);
  HBRUSH OnCtlColor(HDC dc, HWND control, int type);

  layout::DialogKind kind_;
  DialogEnvironment environment_;
  UiLanguage language_;
  DialogFrameTexts frameTexts_;
  WindowMessageSink messages_;
  SkinImage surface_;  // the face, drawn into
  ImageCache images_;  // the pictures drawn on it, the face among them as it is on disk
  OwnedFont font_;
  ControlBrushes brush_;
  HoverTracker hover_;
  OwnedWindow list_;
  layout::Rect listRect_;
  layout::Rect listField_;
  bool faceLoaded_ = false;
};

}  // namespace kovral
