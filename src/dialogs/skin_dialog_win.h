#pragma once
// The Win32 host of a skinned dialog's model: the face picture from the skin
// (the window takes its size), painted with the model's scene, the dialog
// font, control colours, the pop-up list and key capture. Every decision is
// the model's; a dialog class only makes its model and keeps its results.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "dialogs/dialog_environment.h"
#include "dialogs/dialog_shell.h"
#include "dialogs/skin_dialog.h"
#include "ui/image_cache_win.h"
#include "ui/keyboard_hook_win.h"
#include "ui/skin_image_win.h"
#include "ui/window_win.h"
#include "view/control_colors_win.h"
#include "view/message_box_win.h"
#include "view/scene_painter_win.h"

namespace kovral {

class CSkinDialog : public ui::Dialog, private DialogShell, private KeyboardHook::Listener {
 public:
  explicit CSkinDialog(std::unique_ptr<SkinDialogModel> model);

 protected:
  ui::DialogTemplate Template() const override;
  BOOL OnInitDialog() final;
  bool PreTranslateMessage(MSG& message) final;
  ui::MsgResult Route(UINT message, WPARAM wParam, LPARAM lParam) final;
  bool EndsWithTheDevice() const final;
  void OnOK() final { model_->OnOk(); }
  void OnCancel() final { model_->OnCancel(); }

 private:
  // DialogShell
  void CreateControl(const ControlRequest& request) override;
  void SetText(int id, const std::wstring& text) override;
  std::wstring Text(int id) const override;
  void Enable(int id, bool enable) override;
  void Show(int id, bool show) override;
  void Focus(int id) override;
  bool HasFocus(int id) const override;
  void RedrawControl(int id) override;
  void SetListItems(int id, const std::vector<std::wstring>& items) override;
  void SelectListItem(int id, int index) override;
  int ListSelection(int id) const override;
  void ScrollList(int id, int lines) override;
  bool OpenList(int id, const layout::Rect& rect, const std::vector<std::wstring>& items) override;
  void CloseList() override;
  void Repaint(const std::vector<layout::Rect>& rects) override;
  void End(bool ok) override;
  void Tell(const std::wstring& text, const std::wstring& caption) override;
  bool Ask(const std::wstring& question, const std::wstring& caption) override;
  std::optional<int> StartKeyCapture() override;
  void StopKeyCapture() override { hook_.Remove(); }
  void* ChooserOwner() override { return hwnd_; }
  int TextWidth(std::wstring_view text) override;
  int LineHeight() const override;
  int Dpi() const override { return dpi(); }

  void OnHookedKey(WPARAM virtualKey, LPARAM keyData) override;

  static std::span<const ui::MessageEntry<CSkinDialog>> Messages();
  HWND ControlOf(int id) const;
  SceneResources Resources();
  LRESULT OnEraseBackground(HDC dc);
  // Moved to a monitor of another scale: face, font and controls anew.
  LRESULT OnDpiChanged(WPARAM, LPARAM suggestedRect);
  bool OnLButtonDown(POINT pt, WPARAM keys);
  bool OnMouseMove(POINT pt, WPARAM keys);
  bool OnMouseHover(POINT pt, WPARAM keys);
  void OnMouseWheel(int delta, POINT screen, WPARAM keys);
  bool OnControlCommand(int id, int code);
  LRESULT OnDestroyList(WPARAM, LPARAM lParam);
  HBRUSH OnCtlColor(HDC dc, HWND control, int type);

  std::unique_ptr<SkinDialogModel> model_;
  WindowMessageSink messages_;
  SkinImage surface_;  // the face, drawn into
  ImageCache images_;  // the pictures drawn on it, the face among them as it is on disk
  OwnedFont font_;
  ControlBrushes brush_;
  KeyboardHook hook_;
  std::map<int, std::pair<HWND, ControlKind>> controls_;
  OwnedWindow list_;
  int listId_ = 0;
  bool faceLoaded_ = false;
};

// The name of a keystroke as the key dialogs and the recorder show it.
std::wstring KeyNameOfHookedKey(LPARAM keyData);

}  // namespace kovral
