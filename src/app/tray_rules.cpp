#include "app/tray_rules.h"

namespace kovral {
namespace {

constexpr uint32_t kLButtonUp = 0x202;
constexpr uint32_t kLButtonDblClk = 0x203;
constexpr uint32_t kRButtonUp = 0x205;

}  // namespace

TrayClick TrayClickOfMessage(uint32_t mouseMessage) {
  if (mouseMessage == kRButtonUp) return TrayClick::Right;
  if (mouseMessage == kLButtonUp || mouseMessage == kLButtonDblClk) return TrayClick::Left;
  return TrayClick::Other;
}

TrayDecision DecideTrayClick(TrayClick click, bool ready, PageState& state) {
  TrayDecision decision;
  if (click == TrayClick::Right) {
    decision.action = TrayAction::ShowMenu;
    return decision;
  }
  if (click != TrayClick::Left) return decision;
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
