#pragma once
// The assignment and delay dialogs as the pages run them, over a shell's
// skinned dialog `Host`: each dialog is made, run modally and read through
// its result fields. `ok` is what the host's RunModal gives for OK.
#include <functional>

#include "dialogs/dialog_classes.h"
#include "dialogs/dialog_environment.h"
#include "pages/page_shell.h"

namespace kovral {

template <class Host, auto ok>
class AssignmentDialogsOn final : public AssignmentDialogs {
 public:
  // The skin, colour and language the dialogs open with, read at each run.
  explicit AssignmentDialogsOn(std::function<DialogEnvironment()> environment)
      : environment_(std::move(environment)) {}

  std::optional<ChoiceResult> RunWindowsDialog() override {
    return Chosen<ChoiceResult>(WindowsDialogOn<Host>(environment_()));
  }
  std::optional<ChoiceResult> RunMediaDialog() override {
    return Chosen<ChoiceResult>(MediaDialogOn<Host>(environment_()));
  }
  std::optional<FireKeyResult> RunFireKeyDialog() override {
    return Chosen<FireKeyResult>(FireKeyDialogOn<Host>(environment_()));
  }
  std::optional<std::wstring> RunSingleKeyDialog() override {
    SingleKeyDialogOn<Host> dialog(environment_());
    if (dialog.RunModal() != ok) return std::nullopt;
    return dialog.keyName;
  }
  std::optional<ComboKeyResult> RunComboDialog() override {
    return Taken<ComboKeyResult>(ComboKeyDialogOn<Host>(environment_()));
  }
  std::optional<MacroKeyResult> RunMacroDialog(std::vector<std::wstring> macroNames) override {
    return Chosen<MacroKeyResult>(MacroKeyDialogOn<Host>(environment_(), std::move(macroNames)));
  }
  std::optional<DelayTimeResult> RunDelayDialog() override {
    return Taken<DelayTimeResult>(DelayTimeDialogOn<Host>(environment_()));
  }

 private:
  // The dialogs are neither copied nor moved: each runs where it was made.
  template <class Result, class Dialog>
  static std::optional<Result> Taken(Dialog&& dialog) {
    if (dialog.RunModal() != ok) return std::nullopt;
    return static_cast<const Result&>(dialog);
  }
  // A choice dialog's OK before anything was chosen is no answer.
  template <class Result, class Dialog>
  static std::optional<Result> Chosen(Dialog&& dialog) {
    if (dialog.RunModal() != ok || !dialog.chosen) return std::nullopt;
    return static_cast<const Result&>(dialog);
  }

  std::function<DialogEnvironment()> environment_;
};

}  // namespace kovral
