#pragma once
// The dialogs of the functions that need details: Windows, Multimedia, Fire
// Key, Single Key and Combo Key. Each is constructed by the assignment flow,
// run modally and read through its result fields after OK; turning the
// results into codes is the flow's work.
#include <string>

#include "dialogs/skin_dialog_win.h"
#include "ui/keyboard_hook_win.h"

namespace kovral {

// Media (seven functions) and Windows (eleven): a field that opens a list.
class CChoiceDialog : public CSkinDialog {
 public:
  // Results: chosen is false until an entry was chosen.
  bool chosen = false;
  int position = 0;
  std::wstring text;

 protected:
  CChoiceDialog(layout::DialogKind kind, DialogEnvironment environment, int staticId, int listId,
                const layout::Rect& listRect);
  void CreateControls() override;
  bool OnFieldClick(layout::Point p) override;
  bool OnControlCommand(int id, int code) override;
  virtual std::span<const wchar_t* const> Entries() const = 0;

 private:
  int staticId_;
  int listId_;
  layout::Rect listRect_;
  HWND shown_ = nullptr;
};

class CMediaDialog final : public CChoiceDialog {
 public:
  explicit CMediaDialog(DialogEnvironment environment);

 protected:
  std::span<const wchar_t* const> Entries() const override;
};

class CWindowsDialog final : public CChoiceDialog {
 public:
  explicit CWindowsDialog(DialogEnvironment environment);

 protected:
  std::span<const wchar_t* const> Entries() const override;
};

class CFireKeyDialog final : public CSkinDialog {
 public:
  explicit CFireKeyDialog(DialogEnvironment environment);

  bool chosen = false;
  int position = 0;
  std::wstring text;
  int speed = 32;
  int times = 1;

 protected:
  void CreateControls() override;
  void AddOwnTexts(Scene& scene) const override;
  bool OnFieldClick(layout::Point p) override;
  bool OnControlCommand(int id, int code) override;
  void OnWheel(int delta) override;
  void OnListDismissed() override;
  // The speed typed just before OK counts too: the result is what the boxes show.
  void OnOK() override;

 private:
  void EnableEdits(bool enable);
  void CheckSpeed();
  void CheckTimes();

  HWND shown_ = nullptr;
  HWND speedEdit_ = nullptr;
  HWND timesEdit_ = nullptr;
};

class CSingleDialog final : public CSkinDialog, private KeyboardHook::Listener {
 public:
  explicit CSingleDialog(DialogEnvironment environment);

  std::wstring keyName;

 protected:
  void CreateControls() override;
  void AddOwnTexts(Scene& scene) const override;
  bool SwallowsKey(const MSG& message) const override;
  ui::MsgResult OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnHookedKey(WPARAM virtualKey, LPARAM keyData) override;

  KeyboardHook hook_;
  std::wstring captured_;
  HWND shown_ = nullptr;
};

class CComboDialog final : public CSkinDialog, private KeyboardHook::Listener {
 public:
  explicit CComboDialog(DialogEnvironment environment);

  std::wstring modifierName;
  int modifierPosition = 0;
  std::wstring firstKeyName;
  std::wstring secondKeyName;

 protected:
  void CreateControls() override;
  bool OnFieldClick(layout::Point p) override;
  bool OnControlCommand(int id, int code) override;
  void OnListDismissed() override;
  bool SwallowsKey(const MSG& message) const override;
  ui::MsgResult OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnHookedKey(WPARAM virtualKey, LPARAM keyData) override;
  void EnableEdits(bool enable);

  KeyboardHook hook_;
  std::wstring captured_;
  HWND shown_ = nullptr;
  HWND firstEdit_ = nullptr;
  HWND secondEdit_ = nullptr;
};

// A delay in milliseconds for a line of a macro's sequence. Enter is OK and
// Esc Cancel (the dialog keys).
class CDelayTimeDialog final : public CSkinDialog {
 public:
  explicit CDelayTimeDialog(DialogEnvironment environment);

  std::wstring delayText;
  int delayValue = 0;

 protected:
  void CreateControls() override;
  void AddOwnTexts(Scene& scene) const override;
  bool OnControlCommand(int id, int code) override;

 private:
  HWND edit_ = nullptr;
};

// Binds a stored macro to a button with one of three repeat modes.
class CMacroDialog final : public CSkinDialog {
 public:
  // `macroNames`: the macros of record.ini in file order (their slots).
  CMacroDialog(DialogEnvironment environment, std::vector<std::wstring> macroNames);

  bool chosen = false;
  int position = 0;
  std::wstring name;
  int repeatMode = 0;  // 1..3 once the dialog has its face

 protected:
  void CreateControls() override;
  void AddOwnTexts(Scene& scene) const override;
  bool OnFieldClick(layout::Point p) override;
  bool OnControlCommand(int id, int code) override;
  void OnWheel(int delta) override;

 private:
  std::vector<std::wstring> names_;
  HWND shown_ = nullptr;
};

// The name of a keystroke as the key dialogs and the recorder show it.
std::wstring KeyNameOfHookedKey(LPARAM keyData);

}  // namespace kovral
