#include "pages/page_state.h"

namespace kovral {
namespace {

constexpr uint32_t kVkReturn = 0x0D;
constexpr uint32_t kVkEscape = 0x1B;

int OtherPage(int page) { return page == kBasicPage ? kAdvancedPage : kBasicPage; }

}  // namespace

std::optional<int> EnterPage(PageState& state, int page) {
  if (state.CurrentPage == page) return std::nullopt;
  state.CurrentPage = page;
  return OtherPage(page);
}

std::optional<PageRebuild> BeginRebuild(PageState& state) {
  if (state.CurrentPage != kBasicPage && state.CurrentPage != kAdvancedPage) return std::nullopt;
  const int shown = state.CurrentPage;
  PageRebuild rebuild;
  // Entering the other page tears down the shown page's children.
  rebuild.teardown = *EnterPage(state, OtherPage(shown));
  state.CurrentPage = kNoPage;
  rebuild.show = shown;
  return rebuild;
}

bool HiddenStart::OnNcPaint() {
  if (released_ || remaining_ <= 0) return false;
  --remaining_;
  return true;
}

void HiddenStart::Release() {
  released_ = true;
  remaining_ = 0;
}

// While a recording runs its hook has already taken the key; swallowing it here
// keeps an Enter or Escape that belongs to the macro from hiding the window.
KeyDownRule RuleForKeyDown(int currentPage, bool recordingHook, uint32_t virtualKey, bool toList) {
  if (currentPage == kAdvancedPage && recordingHook) return KeyDownRule::Swallow;
  if (virtualKey == kVkReturn || virtualKey == kVkEscape) return toList ? KeyDownRule::PassOn : KeyDownRule::HideAndSwallow;
  return KeyDownRule::PassOn;
}

}  // namespace kovral

namespace kovral {

bool HotTracksList(int currentPage, int controlId) {
  if (currentPage == kBasicPage) return (controlId >= 40 && controlId <= 48) || (controlId >= 60 && controlId <= 62);
  if (currentPage == kAdvancedPage) return controlId == 154 || controlId == 152;
  return false;
}

}  // namespace kovral
