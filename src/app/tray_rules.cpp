#include "app/tray_rules.h"

namespace kovral {
namespace {

constexpr uint32_t kLButtonUp = 0x202;
constexpr uint32_t kLButtonDblClk = 0x203;
constexpr uint32_t kRButtonUp = 0x205;

}  // namespace

TrayDecision DecideTrayMessage(uint32_t mouseMessage, bool ready, PageState& state) {
  TrayDecision decision;
  if (mouseMessage == kRButtonUp) {
    decision.action = TrayAction::ShowMenu;
    return decision;
  }
  if (mouseMessage != kLButtonUp && mouseMessage != kLButtonDblClk) return decision;
  if (!ready) {
    decision.action = TrayAction::WarnNotDetected;
    return decision;
  }
  decision.action = TrayAction::ShowWindow;
  if (state.ReloadPending && (state.CurrentPage == kBasicPage || state.CurrentPage == kAdvancedPage)) {
    state.ReloadPending = false;
    decision.prepare = TrayPagePrepare::Rebuild;
    return decision;
  }
  // A Cancel with no page shown has nothing to rebuild; the flag is spent.
  state.ReloadPending = false;
  if (!state.SettingsReadOnce) decision.prepare = TrayPagePrepare::ShowBasic;
  return decision;
}

}  // namespace kovral
