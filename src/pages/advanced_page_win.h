#pragma once
// The advanced page: the system's pointer settings and the macro panel.
#include "pages/advanced_page.h"
#include "pages/main_page_win.h"

namespace kovral {

class CAdvancedPage final : public CPage {
 public:
  explicit CAdvancedPage(const PageContext& context);

  int Id() const override;
  std::span<const layout::Element> Elements() const override;
  Scene BuildScene(const PageView& view, const LitTest& lit) const override;
  void Prepare() override;
  PageClickResult OnClick(layout::Point p) override;
  bool HotTracks(int controlId) const override;
  bool Recording() const override { return static_cast<bool>(recorderHook_); }

 private:
  AdvancedPageModel model_;

  // The macro recorder's keyboard hook while a recording runs; it goes with
  // the page, so showing the basic page ends the recording.
  OwnedHook recorderHook_;
};

}  // namespace kovral
