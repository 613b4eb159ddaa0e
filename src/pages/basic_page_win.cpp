#include "pages/basic_page_win.h"

#include "device/device_link.h"
#include "pages/page_first_show.h"
#include "pages/page_state.h"

namespace kovral {

int CBasicPage::Id() const { return kBasicPage; }

std::span<const layout::Element> CBasicPage::Elements() const { return layout::BasicElements(); }

Scene CBasicPage::BuildScene(const PageView& view, const LitTest& lit) const { return BuildBasicScene(view, lit); }

// The first showing in a run reads the sensor, whose type chooses the DPI
// table the scene draws.
void CBasicPage::Prepare() {
  FirstShowingOfBasicPage(context_.link, context_.image, context_.settings, context_.texts, context_.pages);
}

// The page's elements by action; an element without an entry takes no click,
// so the spot drags the window like an empty one.
std::span<const PageClickEntry<CBasicPage>> CBasicPage::Clicks() { return {}; }

PageClickResult CBasicPage::OnClick(layout::Point p) {
  return DispatchPageClick(*this, Clicks(), layout::HitTestBasic(p, context_.image.activeSensorType));
}

bool CBasicPage::HotTracks(int controlId) const { return HotTracksList(kBasicPage, controlId); }

}  // namespace kovral
