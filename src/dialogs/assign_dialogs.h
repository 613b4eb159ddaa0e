#pragma once
// The dialogs of the functions that need details, apart from their windows:
// Windows and Multimedia (a field that opens a list), Fire Key, Single Key,
// Combo Key, a macro line's delay and Macro Key. Each fills its result after
// the user's steps; turning results into codes is the assignment flow's work.
#include <span>
#include <string>
#include <vector>

#include "dialogs/skin_dialog.h"

namespace kovral {

inline constexpr int kSingleKeyStatic = 502;
inline constexpr int kComboModifierStatic = 512;
inline constexpr int kComboModifierList = 515;
inline constexpr int kComboFirstEdit = 516;
inline constexpr int kComboSecondEdit = 517;
inline constexpr int kWindowsStatic = 532;
inline constexpr int kWindowsList = 533;
inline constexpr int kMediaStatic = 552;
inline constexpr int kMediaList = 553;
inline constexpr int kFireStatic = 572;
inline constexpr int kFireList = 573;
inline constexpr int kFireSpeedEdit = 574;
inline constexpr int kFireTimesEdit = 575;
inline constexpr int kMacroStatic = 592;
inline constexpr int kMacroList = 593;
inline constexpr int kDelayEdit = 600;

// Results: chosen is false until an entry was chosen.
struct ChoiceResult {
  bool chosen = false;
  int position = 0;
  std::wstring text;
};

struct FireKeyResult : ChoiceResult {
  int speed = 32;
  int times = 1;
};

struct SingleKeyResult {
  std::wstring keyName;
};

struct ComboKeyResult {
  std::wstring modifierName;
  int modifierPosition = 0;
  std::wstring firstKeyName;
  std::wstring secondKeyName;
};

struct DelayTimeResult {
  std::wstring delayText;
  int delayValue = 0;
};

struct MacroKeyResult {
  bool chosen = false;
  int position = 0;
  std::wstring name;
  int repeatMode = 0;  // 1..3 once the dialog has its face
};

// Media (seven functions) or Windows (eleven).
class ChoiceDialogModel final : public SkinDialogModel {
 public:
  ChoiceDialogModel(layout::DialogKind kind, DialogEnvironment environment, ChoiceResult& result);
  void Open() override;

 private:
  void OnFieldClick(layout::Point p) override;
  void OnListChoice(int id, int index) override;
  std::span<const wchar_t* const> Entries() const;

  ChoiceResult& result_;
  int staticId_;
  int listId_;
  layout::Rect listRect_;
};

class FireKeyDialogModel final : public SkinDialogModel {
 public:
  FireKeyDialogModel(DialogEnvironment environment, FireKeyResult& result);
  void Open() override;
  void OnControlEvent(int id, ControlEvent event) override;
  void OnOk() override;

 private:
  void AddOwnTexts(Scene& scene) const override;
  void OnFieldClick(layout::Point p) override;
  void OnListChoice(int id, int index) override;
  void OnListDismissed() override { EnableEdits(true); }
  void EnableEdits(bool enable);
  void CheckSpeed();
  void CheckTimes();

  FireKeyResult& result_;
};

class SingleKeyDialogModel final : public SkinDialogModel {
 public:
  SingleKeyDialogModel(DialogEnvironment environment, SingleKeyResult& result);
  void Open() override;
  bool SwallowsKey(const DialogKey& key) const override;
  void OnCapturedKey(const DialogKey& key) override;

 private:
  void AddOwnTexts(Scene& scene) const override;

  SingleKeyResult& result_;
};

class ComboKeyDialogModel final : public SkinDialogModel {
 public:
  ComboKeyDialogModel(DialogEnvironment environment, ComboKeyResult& result);
  void Open() override;
  bool SwallowsKey(const DialogKey& key) const override;
  void OnCapturedKey(const DialogKey& key) override;

 private:
  void OnFieldClick(layout::Point p) override;
  void OnListChoice(int id, int index) override;
  void OnListDismissed() override { EnableEdits(true); }
  void EnableEdits(bool enable);

  ComboKeyResult& result_;
};

// A delay in milliseconds for a line of a macro's sequence.
class DelayTimeDialogModel final : public SkinDialogModel {
 public:
  DelayTimeDialogModel(DialogEnvironment environment, DelayTimeResult& result);
  void Open() override;
  void OnControlEvent(int id, ControlEvent event) override;

 private:
  void AddOwnTexts(Scene& scene) const override;

  DelayTimeResult& result_;
};

// A stored macro bound to a button with one of three repeat modes.
class MacroKeyDialogModel final : public SkinDialogModel {
 public:
  // `macroNames`: the macros of record.ini in file order (their slots).
  MacroKeyDialogModel(DialogEnvironment environment, std::vector<std::wstring> macroNames, MacroKeyResult& result);
  void Open() override;

 private:
  void AddOwnTexts(Scene& scene) const override;
  void OnFieldClick(layout::Point p) override;
  void OnListChoice(int id, int index) override;

  std::vector<std::wstring> names_;
  MacroKeyResult& result_;
};

}  // namespace kovral
