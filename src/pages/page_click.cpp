#include "pages/page_click.h"

#include "pages/page_state.h"

namespace kovral {

std::vector<ClickStep> RouteCommonClick(layout::Point p, int currentPage, bool ready) {
  using layout::Action;
  // Each test looks at its own element's rectangle: OK and Apply share the
  // column x = 617, where one click runs both.
  auto at = [&](Action action) {
    const layout::Element* e = layout::FindElement(layout::CommonElements(), action);
    return e != nullptr && e->rect.Contains(p);
  };
  std::vector<ClickStep> steps;
  if (ready && at(Action::Ok))
    steps.insert(steps.end(), {ClickStep::SendConfig, ClickStep::CommitConfig, ClickStep::ApplyPointerSettings,
                               ClickStep::HideWindow});
  if (ready && at(Action::Apply))
    steps.insert(steps.end(), {ClickStep::SendConfig, ClickStep::CommitConfig, ClickStep::ApplyPointerSettings});
  // The chooser ends on the press of its OK or Cancel, so the button may
  // still be down when it returns: going on to the page part would start
  // dragging the window with it.
  if (at(Action::Skins)) {
    steps.push_back(ClickStep::RunSkinChoice);
    return steps;
  }
  if (at(Action::Minimise)) {
    steps.push_back(ClickStep::HideWindow);
    return steps;
  }
  if (at(Action::Close)) {
    steps.push_back(ClickStep::ExitProgram);
    return steps;
  }
  if (at(Action::BasicTab)) {
    steps.push_back(ClickStep::ShowBasicPage);
    return steps;
  }
  if (at(Action::AdvancedTab)) {
    steps.push_back(ClickStep::ShowAdvancedPage);
    return steps;
  }
  // Cancel works without the mouse: it only restores the record.
  if (at(Action::Cancel)) steps.insert(steps.end(), {ClickStep::RevertConfig, ClickStep::HideWindow});
  if (at(Action::WebLink)) {
    steps.push_back(ClickStep::OpenWebLink);
    return steps;
  }
  if (currentPage == kBasicPage)
    steps.push_back(ClickStep::BasicPagePart);
  else if (currentPage == kAdvancedPage)
    steps.push_back(ClickStep::AdvancedPagePart);
  else
    steps.push_back(ClickStep::Drag);
  return steps;
}

}  // namespace kovral
