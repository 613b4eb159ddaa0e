#include "pages/page_dialogs_win.h"

#include "dialogs/assign_dialogs_win.h"

namespace kovral {

std::optional<ChoiceResult> CAssignmentDialogs::RunWindowsDialog() {
  CWindowsDialog dialog(environment_());
  if (dialog.RunModal() != IDOK || !dialog.chosen) return std::nullopt;
  return ChoiceResult{dialog.position, dialog.text};
}

std::optional<ChoiceResult> CAssignmentDialogs::RunMediaDialog() {
  CMediaDialog dialog(environment_());
  if (dialog.RunModal() != IDOK || !dialog.chosen) return std::nullopt;
  return ChoiceResult{dialog.position, dialog.text};
}

std::optional<FireKeyResult> CAssignmentDialogs::RunFireKeyDialog() {
  CFireKeyDialog dialog(environment_());
  if (dialog.RunModal() != IDOK || !dialog.chosen) return std::nullopt;
  return FireKeyResult{dialog.position, dialog.text, dialog.speed, dialog.times};
}

std::optional<std::wstring> CAssignmentDialogs::RunSingleKeyDialog() {
  CSingleDialog dialog(environment_());
  if (dialog.RunModal() != IDOK) return std::nullopt;
  return dialog.keyName;
}

std::optional<ComboResult> CAssignmentDialogs::RunComboDialog() {
  CComboDialog dialog(environment_());
  if (dialog.RunModal() != IDOK) return std::nullopt;
  return ComboResult{dialog.modifierName, dialog.modifierPosition, dialog.firstKeyName, dialog.secondKeyName};
}

std::optional<MacroKeyResult> CAssignmentDialogs::RunMacroDialog(std::vector<std::wstring> macroNames) {
  CMacroDialog dialog(environment_(), std::move(macroNames));
  if (dialog.RunModal() != IDOK || !dialog.chosen) return std::nullopt;
  return MacroKeyResult{dialog.position, dialog.name, dialog.repeatMode};
}

std::optional<DelayResult> CAssignmentDialogs::RunDelayDialog() {
  CDelayTimeDialog dialog(environment_());
  if (dialog.RunModal() != IDOK) return std::nullopt;
  return DelayResult{dialog.delayText, dialog.delayValue};
}

}  // namespace kovral
