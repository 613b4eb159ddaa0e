#pragma once
// The main window's pages as its shell sees them: which page is shown (an
// object made when it is shown and destroyed when the other one is), the
// hover looks, and where each click, list event, key and continuation goes.
#include <memory>
#include <string>

#include "pages/page.h"
#include "pages/page_state.h"
#include "view/page_hover.h"

namespace kovral {

class PageHost {
 public:
  PageHost(PageShell& shell, SettingsSession& settings, DeviceLink& link, DeviceImage& image,
           SystemPointerSettings& pointer);
  ~PageHost();

  // The texts and text colour the pages show; pages made from now on use them.
  void SetLook(const MainTexts& texts, ui::Rgb textColor);
  PageState& state() { return state_; }
  bool HasPage() const { return page_ != nullptr; }

  // Showing a page (nothing when it is shown already), and showing the shown
  // page again from the record (after Cancel or a skin change).
  void Show(int page);
  void Rebuild();
  // The shown page's scene, with the hover looks or as a full paint draws it.
  Scene BuildScene(bool withHover) const;

  // The page part of a click; false when no element took it (the window
  // then drags).
  bool Click(layout::Point p);
  void MouseMove(layout::Point p);
  void MouseHover(layout::Point p);
  // Whether the list follows the pointer while open, and the entry it now selects.
  bool HotTracks(int listId) const;
  void HotItem(int listId, int item);
  void ListEvent(int listId, ui::ListEvent event, int selection);
  void EditChanged(int editId);
  void EditLeft(int editId);
  void Continue(int what, int detail);
  void Key(const std::wstring& name, bool released, bool wasDown);
  void CommitEdits();
  bool Recording() const;

 private:
  std::unique_ptr<Page> Make(int page);
  void Leave();

  PageShell& shell_;
  SettingsSession& settings_;
  DeviceLink& link_;
  DeviceImage& image_;
  SystemPointerSettings& pointer_;
  const MainTexts* texts_;
  ui::Rgb textColor_;
  PageState state_;
  std::unique_ptr<Page> page_;
  HoverTracker hover_;
};

}  // namespace kovral
