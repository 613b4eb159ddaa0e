#pragma once
// The assignment and delay dialogs as the pages run them: each skinned
// dialog is made, run modally and read through its result fields.
#include <functional>

#include "dialogs/dialog_environment.h"
#include "pages/page_shell.h"

namespace kovral {

class CAssignmentDialogs final : public AssignmentDialogs {
 public:
  // The skin, colour and language the dialogs open with, read at each run.
  explicit CAssignmentDialogs(std::function<DialogEnvironment()> environment)
      : environment_(std::move(environment)) {}

  std::optional<ChoiceResult> RunWindowsDialog() override;
  std::optional<ChoiceResult> RunMediaDialog() override;
  std::optional<FireKeyResult> RunFireKeyDialog() override;
  std::optional<std::wstring> RunSingleKeyDialog() override;
  std::optional<ComboKeyResult> RunComboDialog() override;
  std::optional<MacroKeyResult> RunMacroDialog(std::vector<std::wstring> macroNames) override;
  std::optional<DelayTimeResult> RunDelayDialog() override;

 private:
  std::function<DialogEnvironment()> environment_;
};

}  // namespace kovral
