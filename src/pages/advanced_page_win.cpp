#include "pages/advanced_page_win.h"

#include "pages/page_pointer.h"
#include "pages/page_state.h"
#include "settings/settings_session.h"

namespace kovral {

CAdvancedPage::CAdvancedPage(const PageContext& context)
    : CPage(context), model_(context.settings.config, context.pointer) {}

int CAdvancedPage::Id() const { return kAdvancedPage; }

std::span<const layout::Element> CAdvancedPage::Elements() const { return layout::AdvancedElements(); }

Scene CAdvancedPage::BuildScene(const PageView& view, const LitTest& lit) const {
  return BuildAdvancedScene(view, lit);
}

// The sliders show the system's settings as they are when the page is first
// shown in a run; afterwards they show the record.
void CAdvancedPage::Prepare() { context_.pointer.ReadOnce(context_.settings.config); }

PageClickResult CAdvancedPage::OnClick(layout::Point p) {
  const AdvancedUpdate update = model_.Click(p);
  return {update.handled, update.redraw};
}

bool CAdvancedPage::HotTracks(int controlId) const { return HotTracksList(kAdvancedPage, controlId); }

}  // namespace kovral
