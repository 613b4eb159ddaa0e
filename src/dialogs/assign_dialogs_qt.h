#pragma once
// The dialogs of the functions that need details: Windows, Multimedia, Fire
// Key, Single Key, Combo Key, a macro line's delay and Macro Key. Each is
// constructed by its caller, run modally and read through its result fields
// after OK; what the dialogs do is their models' (assign_dialogs.h).
#include <string>
#include <vector>

#include "dialogs/assign_dialogs.h"
#include "dialogs/skin_dialog_qt.h"

namespace kovral {

class CMediaDialog final : public ChoiceResult, public CSkinDialog {
 public:
  explicit CMediaDialog(DialogEnvironment environment);
};

class CWindowsDialog final : public ChoiceResult, public CSkinDialog {
 public:
  explicit CWindowsDialog(DialogEnvironment environment);
};

class CFireKeyDialog final : public FireKeyResult, public CSkinDialog {
 public:
  explicit CFireKeyDialog(DialogEnvironment environment);
};

class CSingleDialog final : public SingleKeyResult, public CSkinDialog {
 public:
  explicit CSingleDialog(DialogEnvironment environment);
};

class CComboDialog final : public ComboKeyResult, public CSkinDialog {
 public:
  explicit CComboDialog(DialogEnvironment environment);
};

// Enter is OK and Esc Cancel (the dialog keys).
class CDelayTimeDialog final : public DelayTimeResult, public CSkinDialog {
 public:
  explicit CDelayTimeDialog(DialogEnvironment environment);
};

class CMacroDialog final : public MacroKeyResult, public CSkinDialog {
 public:
  // `macroNames`: the macros of record.ini in file order (their slots).
  CMacroDialog(DialogEnvironment environment, std::vector<std::wstring> macroNames);
};

}  // namespace kovral
