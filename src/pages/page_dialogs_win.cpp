#include "pages/page_dialogs_win.h"

#include "dialogs/assign_dialogs_win.h"

namespace kovral {

std::optional<ChoiceResult> CAssignmentDialogs::RunWindowsDialog() {
  CWindowsDialog dialog(environment_());
  if (dialog.RunModal() != IDOK || !dialog.chosen) return std::nullopt;
  return static_cast<const ChoiceResult&>(dialog);
}

std::optional<ChoiceResult> CAssignmentDialogs::RunMediaDialog() {
  CMediaDialog dialog(environment_());
  if (dialog.RunModal() != IDOK || !dialog.chosen) return std::nullopt;
  return static_cast<const ChoiceResult&>(dialog);
}

std::optional<FireKeyResult> CAssignmentDialogs::RunFireKeyDialog() {
  CFireKeyDialog dialog(environment_());
  if (dialog.RunModal() != IDOK || !dialog.chosen) return std::nullopt;
  return static_cast<const FireKeyResult&>(dialog);
}

std::optional<std::wstring> CAssignmentDialogs::RunSingleKeyDialog() {
  CSingleDialog dialog(environment_());
  if (dialog.RunModal() != IDOK) return std::nullopt;
  return dialog.keyName;
}

std::optional<ComboKeyResult> CAssignmentDialogs::RunComboDialog() {
  CComboDialog dialog(environment_());
  if (dialog.RunModal() != IDOK) return std::nullopt;
  return static_cast<const ComboKeyResult&>(dialog);
}

std::optional<MacroKeyResult> CAssignmentDialogs::RunMacroDialog(std::vector<std::wstring> macroNames) {
  CMacroDialog dialog(environment_(), std::move(macroNames));
  if (dialog.RunModal() != IDOK || !dialog.chosen) return std::nullopt;
  return static_cast<const MacroKeyResult&>(dialog);
}

std::optional<DelayTimeResult> CAssignmentDialogs::RunDelayDialog() {
  CDelayTimeDialog dialog(environment_());
  if (dialog.RunModal() != IDOK) return std::nullopt;
  return static_cast<const DelayTimeResult&>(dialog);
}

}  // namespace kovral
