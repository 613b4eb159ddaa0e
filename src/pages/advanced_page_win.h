#pragma once
// The advanced page: the system's pointer settings and the macro panel with
// its recorder. The rules are AdvancedPageModel's and MacroPanelModel's; this
// object keeps the controls showing what the models hold.
#include "macro/macro_panel.h"
#include "pages/advanced_page.h"
#include "pages/main_page_win.h"
#include "ui/keyboard_hook_win.h"

namespace kovral {

class CAdvancedPage final : public CPage, private KeyboardHook::Listener {
 public:
  explicit CAdvancedPage(const PageContext& context);

  int Id() const override;
  std::span<const layout::Element> Elements() const override;
  Scene BuildScene(const PageView& view, const LitTest& lit) const override;
  void Prepare() override;
  void CreateChildren() override;
  PageClickResult OnClick(layout::Point p) override;
  bool OnCommand(int controlId, int code) override;
  bool HotTracks(int controlId) const override;
  void OnHotItem(int controlId, int item) override;
  void OnContinue(WPARAM what, LPARAM) override;
  void CommitEdits() override;
  // The recording hook goes with the page, so showing the basic page ends it.
  bool Recording() const override { return hook_.installed(); }

 private:
  void OnHookedKey(WPARAM virtualKey, LPARAM keyData) override;
  void RunMacroButton(layout::Action action);
  void StartRecording();
  void StopRecording();
  void Tell(const std::optional<PanelMessage>& message);
  void Sync();
  void SyncSequence();
  void SetText(HWND control, const std::wstring& text);
  // A control of the page; `adopt` false for one the page destroys itself.
  HWND Make(const wchar_t* className, int id, const layout::Rect& rect, DWORD style, bool adopt = true);
  void CloseMouseEventList(bool fromItsOwnNotification);

  AdvancedPageModel model_;
  MacroPanelModel panel_;
  KeyboardHook hook_;
  HWND nameEdit_ = nullptr;
  HWND loopEdit_ = nullptr;
  HWND macroList_ = nullptr;
  HWND sequenceList_ = nullptr;
  HWND eventText_ = nullptr;
  OwnedWindow eventList_;
  bool syncing_ = false;  // texts set here raise no edit notifications of the user's
};

}  // namespace kovral
