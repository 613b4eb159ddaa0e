#include "pages/page_click.h"

#include "pages/page_state.h"

namespace kovral {

std::vector<ClickStep> RouteCommonClick(int x, int y, int currentPage, bool ready, const CommonHitTest& hit) {
  std::vector<ClickStep> steps;
  auto at = [&](CommonElement e) { return hit(e, x, y); };

  if (ready && at(CommonElement::Ok))
    steps.insert(steps.end(), {ClickStep::SendConfig, ClickStep::CommitConfig, ClickStep::ApplyPointerSettings,
                               ClickStep::HideWindow});
  if (ready && at(CommonElement::Apply))
    steps.insert(steps.end(), {ClickStep::SendConfig, ClickStep::CommitConfig, ClickStep::ApplyPointerSettings});
  if (at(CommonElement::Skins)) steps.push_back(ClickStep::RunSkinChoice);
  if (at(CommonElement::Minimise)) {
    steps.push_back(ClickStep::HideWindow);
    return steps;
  }
  if (at(CommonElement::Close)) {
    steps.push_back(ClickStep::ExitProgram);
    return steps;
  }
  if (at(CommonElement::BasicTab)) {
    steps.push_back(ClickStep::ShowBasicPage);
    return steps;
  }
  if (at(CommonElement::AdvancedTab)) {
    steps.push_back(ClickStep::ShowAdvancedPage);
    return steps;
  }
  // Cancel works without the mouse: it only restores the record.
  if (at(CommonElement::Cancel)) steps.insert(steps.end(), {ClickStep::RevertConfig, ClickStep::HideWindow});
  if (at(CommonElement::WebLink)) {
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
