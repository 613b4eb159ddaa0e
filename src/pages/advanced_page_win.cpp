#include "pages/advanced_page_win.h"

#include "pages/page_pointer.h"
#include "pages/page_state.h"
#include "settings/settings_session.h"

namespace kovral {

int CAdvancedPage::Id() const { return kAdvancedPage; }

std::span<const layout::Element> CAdvancedPage::Elements() const { return layout::AdvancedElements(); }

Scene CAdvancedPage::BuildScene(const PageView& view, const LitTest& lit) const {
  return BuildAdvancedScene(view, lit);
}

// The sliders show the system's settings as they are when the page is first
// shown in a run; afterwards they show the record.
void CAdvancedPage::Prepare() { context_.pointer.ReadOnce(context_.settings.config); }

// The page's elements by action; an element without an entry takes no click,
// so the spot drags the window like an empty one.
std::span<const ClickEntry<CAdvancedPage, PageClickResult>> CAdvancedPage::Clicks() { return {}; }

PageClickResult CAdvancedPage::OnClick(layout::Point p) {
  PageClickResult result;
  result.handled = DispatchClick(*this, Clicks(), layout::HitTest(layout::AdvancedElements(), p), result);
  return result;
}

bool CAdvancedPage::HotTracks(int controlId) const { return HotTracksList(kAdvancedPage, controlId); }

}  // namespace kovral
