#pragma once
// Page-state flags of the main window and the small rules around them that
// do not depend on drawing: which page is shown, the page switch, the hidden
// start and the keys the window handles itself.
#include <cstdint>
#include <optional>

namespace kovral {

constexpr int kNoPage = 0;
constexpr int kBasicPage = 1;
constexpr int kAdvancedPage = 2;

struct PageState {
  int CurrentPage = kNoPage;
  // Set by Cancel; the next show from the notification area rebuilds the page.
  bool ReloadPending = false;
  // Set once the basic page's first showing has read the sensor settings.
  bool SettingsReadOnce = false;
};

// The first steps of showing `page`: nothing when it is already shown;
// otherwise the state becomes `page` and the result names the page whose child
// windows must now be destroyed (the other one).
std::optional<int> EnterPage(PageState& state, int page);

// Repainting the page already shown (after Cancel or a skin change): the
// state is moved to the other page so that the current page's children are
// torn down, then to none so that showing the page runs in full. Returns the
// page whose children must be destroyed and the page to show, or nothing when
// no page is shown.
struct PageRebuild {
  int teardown = kNoPage;  // page whose children go
  int show = kNoPage;      // page to show afterwards
};
std::optional<PageRebuild> BeginRebuild(PageState& state);

// The window is created visible by the dialog manager; the program must still
// start in the notification area. The first two non-client paints hide the
// window, and until the user first asks for it (tray click) no show from
// elsewhere is let through, so the start is hidden whatever number of paints a
// platform sends. Once the user has shown the window the remaining count is
// dropped: a late non-client paint must not hide what the user just opened.
class HiddenStart {
 public:
  // True: hide the window instead of painting its frame.
  bool OnNcPaint();
  // False while the start is hidden: a show requested by the system is refused.
  bool ShowAllowed() const { return released_; }
  // The user asked for the window; from now on it behaves normally.
  void Release();
  int remaining() const { return remaining_; }

 private:
  int remaining_ = 2;
  bool released_ = false;
};

// What pre-translation does with a key-down message of the main window.
enum class KeyDownRule { PassOn, Swallow, HideAndSwallow };
// `recordingHook`: a macro recording hook is installed (advanced page only).
// `toList`: the key goes to a list with the focus, whose Enter chooses and
// whose Esc leaves it; only outside a list do they hide the window.
KeyDownRule RuleForKeyDown(int currentPage, bool recordingHook, uint32_t virtualKey, bool toList = false);

}  // namespace kovral

namespace kovral {

// The drop-down lists whose item follows the pointer while they are open:
// on the basic page the DPI sub-list (40), the key lists (41..48) and the
// three lighting lists (60..62); on the advanced page the mouse-event list
// (154) and the key-press-sequence list (152).
bool HotTracksList(int currentPage, int controlId);

}  // namespace kovral
