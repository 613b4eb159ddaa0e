#pragma once
// The basic settings page: key rows, report rate, DPI stages, lighting.
#include "pages/main_page_win.h"

namespace kovral {

class CBasicPage final : public CPage {
 public:
  explicit CBasicPage(const PageContext& context) : CPage(context) {}

  int Id() const override;
  std::span<const layout::Element> Elements() const override;
  Scene BuildScene(const PageView& view, const LitTest& lit) const override;
  void Prepare() override;
  PageClickResult OnClick(layout::Point p) override;
  bool HotTracks(int controlId) const override;

 private:
  static std::span<const PageClickEntry<CBasicPage>> Clicks();
};

}  // namespace kovral
