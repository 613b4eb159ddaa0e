#include "dialogs/assign_dialogs_win.h"

namespace kovral {

// Each result base is made before the dialog base, whose model fills it.

CMediaDialog::CMediaDialog(DialogEnvironment environment)
    : CSkinDialog(std::make_unique<ChoiceDialogModel>(layout::DialogKind::Media, std::move(environment),
                                                      static_cast<ChoiceResult&>(*this))) {}

CWindowsDialog::CWindowsDialog(DialogEnvironment environment)
    : CSkinDialog(std::make_unique<ChoiceDialogModel>(layout::DialogKind::Windows, std::move(environment),
                                                      static_cast<ChoiceResult&>(*this))) {}

CFireKeyDialog::CFireKeyDialog(DialogEnvironment environment)
    : CSkinDialog(std::make_unique<FireKeyDialogModel>(std::move(environment), static_cast<FireKeyResult&>(*this))) {}

CSingleDialog::CSingleDialog(DialogEnvironment environment)
    : CSkinDialog(
          std::make_unique<SingleKeyDialogModel>(std::move(environment), static_cast<SingleKeyResult&>(*this))) {}

CComboDialog::CComboDialog(DialogEnvironment environment)
    : CSkinDialog(std::make_unique<ComboKeyDialogModel>(std::move(environment), static_cast<ComboKeyResult&>(*this))) {
}

CDelayTimeDialog::CDelayTimeDialog(DialogEnvironment environment)
    : CSkinDialog(
          std::make_unique<DelayTimeDialogModel>(std::move(environment), static_cast<DelayTimeResult&>(*this))) {}

CMacroDialog::CMacroDialog(DialogEnvironment environment, std::vector<std::wstring> macroNames)
    : CSkinDialog(std::make_unique<MacroKeyDialogModel>(std::move(environment), std::move(macroNames),
                                                        static_cast<MacroKeyResult&>(*this))) {}

}  // namespace kovral
