#include "pages/page_host.h"

#include "pages/advanced_page.h"
#include "pages/basic_page.h"
#include "settings/settings_session.h"

namespace kovral {

PageHost::PageHost(PageShell& shell, SettingsSession& settings, DeviceLink& link, DeviceImage& image,
                   SystemPointerSettings& pointer)
    : shell_(shell),
      settings_(settings),
      link_(link),
      image_(image),
      pointer_(pointer),
      // Until the settings are loaded the pages speak English.
      texts_(&MainTextsFor(UiLanguage::English)) {
  hover_.SetTables({layout::CommonElements()});
}

PageHost::~PageHost() = default;

void PageHost::SetLook(const MainTexts& texts, ui::Rgb textColor) {
  texts_ = &texts;
  textColor_ = textColor;
}

std::unique_ptr<Page> PageHost::Make(int page) {
  const PageContext context{shell_, settings_, *texts_, link_, image_, state_, pointer_};
  if (page == kBasicPage) return std::make_unique<BasicPage>(context);
  if (page == kAdvancedPage) return std::make_unique<AdvancedPage>(context);
  return nullptr;
}

// Leaving a page ends it with its controls, open lists and a running macro
// recording.
void PageHost::Leave() {
  if (!page_) return;
  page_->Leave();
  page_.reset();
  shell_.DestroyControls();
}

// The new page takes part in the hover looks from now on; its controls come
// after the full paint, so they lie over the drawn page.
void PageHost::Show(int page) {
  if (!EnterPage(state_, page)) return;
  Leave();
  page_ = Make(page);
  if (!page_) return;
  hover_.SetTables({layout::CommonElements(), page_->Elements()});
  page_->Prepare();
  shell_.Paint();
  page_->CreateChildren();
}

void PageHost::Rebuild() {
  const std::optional<PageRebuild> rebuild = BeginRebuild(state_);
  if (!rebuild) return;
  Leave();
  hover_.SetTables({layout::CommonElements()});
  Show(rebuild->show);
}

// A full paint draws every element in its normal look; the lit flags stay
// until the next un-hover puts them back.
Scene PageHost::BuildScene(bool withHover) const {
  if (!page_) return {};
  const PageView view{settings_.config, settings_.ui, *texts_, image_.activeSensorType, textColor_};
  if (!withHover) return page_->BuildScene(view, {});
  return page_->BuildScene(view, [this](const layout::Element& e) { return hover_.IsLit(&e); });
}

bool PageHost::Click(layout::Point p) {
  if (!page_) return false;
  const PageClickResult result = page_->Click(p);
  if (result.handled && !result.redraw.empty()) shell_.Repaint(result.redraw);
  return result.handled;
}

void PageHost::MouseMove(layout::Point p) {
  bool track = false;
  const HoverTracker::Redraw redraw = hover_.OnMouseMove(p, track);
  if (!redraw.empty() && page_) shell_.Repaint(redraw.Rects());
  if (track) shell_.RequestHover();
}

void PageHost::MouseHover(layout::Point p) {
  const HoverTracker::Redraw redraw = hover_.OnMouseHover(p);
  if (!redraw.empty() && page_) shell_.Repaint(redraw.Rects());
}

bool PageHost::HotTracks(int listId) const { return page_ && HotTracksList(page_->Id(), listId); }

void PageHost::HotItem(int listId, int item) {
  if (HotTracks(listId) && item >= 0) page_->HotItem(listId, item);
}

void PageHost::ListEvent(int listId, ui::ListEvent event, int selection) {
  if (page_) page_->ListEvent(listId, event, selection);
}

void PageHost::EditChanged(int editId) {
  if (page_) page_->EditChanged(editId);
}

void PageHost::EditLeft(int editId) {
  if (page_) page_->EditLeft(editId);
}

void PageHost::Continue(int what, int detail) {
  if (page_) page_->Continue(what, detail);
}

void PageHost::Key(const std::wstring& name, bool released, bool wasDown) {
  if (page_) page_->Key(name, released, wasDown);
}

void PageHost::CommitEdits() {
  if (page_) page_->CommitEdits();
}

bool PageHost::Recording() const { return page_ && page_->Recording(); }

}  // namespace kovral
