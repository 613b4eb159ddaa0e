#include "dialogs/assign_dialogs.h"

#include <cstdio>

#include "assign/key_tables.h"
#include "dialogs/fire_key.h"
#include "lang/messages.h"
#include "lang/text_format.h"

namespace kovral {
namespace {

constexpr ui::Rgb kWhite{255, 255, 255};

std::vector<std::wstring> Texts(std::span<const wchar_t* const> entries) { return {entries.begin(), entries.end()}; }

ControlRequest Static(int id, const layout::Rect& rect, const std::wstring& text, bool centred) {
  ControlRequest request;
  request.id = id;
  request.rect = rect;
  request.text = text;
  request.centred = centred;
  return request;
}

ControlRequest Edit(int id, const layout::Rect& rect, bool digitsOnly) {
  ControlRequest request;
  request.kind = ControlKind::Edit;
  request.id = id;
  request.rect = rect;
  request.centred = true;
  request.digitsOnly = digitsOnly;
  return request;
}

// Without capture the dialog runs on; it says why the keys will not show.
void TellCaptureFailed(DialogShell& shell, const wchar_t* failureFormat, std::optional<int> error) {
  if (!error) return;
  wchar_t text[128];
  std::swprintf(text, 128, failureFormat, *error);
  shell.Tell(text, L"");
}

bool IsEnterOrEsc(const std::wstring& name) { return name == L"Enter" || name == L"Num Enter" || name == L"Esc"; }

}  // namespace

// ---------------------------------------------------------------------------
// Media and Windows

ChoiceDialogModel::ChoiceDialogModel(layout::DialogKind kind, DialogEnvironment environment, ChoiceResult& result)
    : SkinDialogModel(kind, std::move(environment)),
      result_(result),
      staticId_(kind == layout::DialogKind::Media ? kMediaStatic : kWindowsStatic),
      listId_(kind == layout::DialogKind::Media ? kMediaList : kWindowsList),
      listRect_(kind == layout::DialogKind::Media ? layout::choice::kMediaList : layout::choice::kWindowsList) {}

std::span<const wchar_t* const> ChoiceDialogModel::Entries() const {
  return kind() == layout::DialogKind::Media ? MediaEntries(language()) : WindowsEntries(language());
}

void ChoiceDialogModel::Open() {
  shell().CreateControl(Static(staticId_, layout::choice::kChosenText, result_.text, false));
}

void ChoiceDialogModel::OnFieldClick(layout::Point p) {
  if (!layout::choice::kField.Contains(p)) return;
  if (listOpen()) CloseList();
  else OpenList(listId_, listRect_, Texts(Entries()), layout::choice::kField);
}

void ChoiceDialogModel::OnListChoice(int, int index) {
  if (index < 0 || index >= static_cast<int>(Entries().size())) return;
  result_.chosen = true;
  result_.position = index;
  result_.text = Entries()[index];
  shell().SetText(staticId_, result_.text);
  CloseList();
}

// ---------------------------------------------------------------------------
// Fire key

FireKeyDialogModel::FireKeyDialogModel(DialogEnvironment environment, FireKeyResult& result)
    : SkinDialogModel(layout::DialogKind::FireKey, std::move(environment)), result_(result) {}

void FireKeyDialogModel::Open() {
  shell().CreateControl(Static(kFireStatic, layout::fire::kKeyText, result_.text, true));
  shell().CreateControl(Edit(kFireSpeedEdit, layout::fire::kSpeedEdit, true));
  shell().CreateControl(Edit(kFireTimesEdit, layout::fire::kTimesEdit, true));
  shell().SetText(kFireSpeedEdit, L"32");
  shell().SetText(kFireTimesEdit, L"1");
}

void FireKeyDialogModel::AddOwnTexts(Scene& scene) const {
  const FireKeyTexts& t = FireKeyTextsFor(language());
  scene.AddText(t.speedLabel, layout::fire::kSpeedLabel, ui::kTextRight, kWhite);
  scene.AddText(t.timesLabel, layout::fire::kTimesLabel, ui::kTextRight, kWhite);
  scene.AddText(t.heading, layout::fire::ExplanationLine(0), ui::kTextLeft, kWhite);
  scene.AddText(t.speedRule, layout::fire::ExplanationLine(1), ui::kTextLeft, kWhite);
  scene.AddText(t.timesRule, layout::fire::kTimesRule, ui::kTextWrapLeftAnywhere, kWhite);
}

// The open list lies over the edits, so they take no input meanwhile.
void FireKeyDialogModel::EnableEdits(bool enable) {
  shell().Enable(kFireSpeedEdit, enable);
  shell().Enable(kFireTimesEdit, enable);
}

void FireKeyDialogModel::OnFieldClick(layout::Point p) {
  if (!layout::fire::kKeyField.Contains(p)) return;
  if (listOpen()) {
    CloseList();
    EnableEdits(true);
    return;
  }
  EnableEdits(false);
  std::vector<std::wstring> names;
  for (const FireKeyEntry& entry : FireKeys()) names.emplace_back(entry.name);
  OpenList(kFireList, layout::fire::kKeyList, names, layout::fire::kKeyField);
}

void FireKeyDialogModel::OnListChoice(int, int index) {
  if (index < 0 || index >= static_cast<int>(FireKeys().size())) return;
  result_.chosen = true;
  result_.position = index;
  result_.text = FireKeys()[index].name;
  shell().SetText(kFireStatic, result_.text);
  CloseList();
  EnableEdits(true);
}

void FireKeyDialogModel::CheckSpeed() {
  const CheckedNumber checked = CheckFireSpeed(shell().Text(kFireSpeedEdit));
  if (checked.corrected) shell().SetText(kFireSpeedEdit, checked.text);
  result_.speed = checked.value;
}

void FireKeyDialogModel::CheckTimes() {
  const CheckedNumber checked = CheckFireTimes(shell().Text(kFireTimesEdit));
  result_.times = checked.value;
  if (checked.corrected) shell().SetText(kFireTimesEdit, checked.text);
}

// The speed is checked when its box is left (a half-typed "1" of "100" is
// no mistake yet); the times box as it is typed.
void FireKeyDialogModel::OnControlEvent(int id, ControlEvent event) {
  if (id == kFireSpeedEdit && event == ControlEvent::FocusLost) CheckSpeed();
  if (id == kFireTimesEdit && event == ControlEvent::Changed) CheckTimes();
}

// The speed typed just before OK counts too: the result is what the boxes show.
void FireKeyDialogModel::OnOk() {
  CheckSpeed();
  CheckTimes();
  SkinDialogModel::OnOk();
}

// ---------------------------------------------------------------------------
// Single key

SingleKeyDialogModel::SingleKeyDialogModel(DialogEnvironment environment, SingleKeyResult& result)
    : SkinDialogModel(layout::DialogKind::Single, std::move(environment)), result_(result) {}

void SingleKeyDialogModel::Open() {
  shell().CreateControl(Static(kSingleKeyStatic, layout::single::kKeyName, result_.keyName, true));
  TellCaptureFailed(shell(), kMsgSingleHookFailed, StartKeyCapture());
}

void SingleKeyDialogModel::AddOwnTexts(Scene& scene) const {
  scene.AddText(SingleKeyTextsFor(language()).prompt, layout::single::kPrompt, ui::kTextCentre, kWhite);
}

// Enter, Esc and the Windows keys are keys to assign, not dialog keys.
bool SingleKeyDialogModel::SwallowsKey(const DialogKey& key) const {
  if (key.name == L"Left Windows" || key.name == L"Right Windows") return true;
  return !key.released && IsEnterOrEsc(key.name);
}

void SingleKeyDialogModel::OnCapturedKey(const DialogKey& key) {
  result_.keyName = key.name;
  shell().SetText(kSingleKeyStatic, result_.keyName);
}

// ---------------------------------------------------------------------------
// Combo key

ComboKeyDialogModel::ComboKeyDialogModel(DialogEnvironment environment, ComboKeyResult& result)
    : SkinDialogModel(layout::DialogKind::Combo, std::move(environment)), result_(result) {}

void ComboKeyDialogModel::Open() {
  shell().CreateControl(Static(kComboModifierStatic, layout::combo::kModifierText, result_.modifierName, true));
  shell().CreateControl(Edit(kComboFirstEdit, layout::combo::kFirstKeyEdit, false));
  shell().CreateControl(Edit(kComboSecondEdit, layout::combo::kSecondKeyEdit, false));
  TellCaptureFailed(shell(), kMsgComboHookFailed, StartKeyCapture());
}

void ComboKeyDialogModel::EnableEdits(bool enable) {
  shell().Enable(kComboFirstEdit, enable);
  shell().Enable(kComboSecondEdit, enable);
}

void ComboKeyDialogModel::OnFieldClick(layout::Point p) {
  if (!layout::combo::kModifierField.Contains(p)) return;
  if (listOpen()) {
    CloseList();
    EnableEdits(true);
    return;
  }
  EnableEdits(false);
  OpenList(kComboModifierList, layout::combo::kModifierList, Texts(ModifierNames()), layout::combo::kModifierField);
}

void ComboKeyDialogModel::OnListChoice(int, int index) {
  if (index < 0 || index >= static_cast<int>(ModifierNames().size())) return;
  result_.modifierPosition = index;
  result_.modifierName = ModifierNames()[index];
  shell().SetText(kComboModifierStatic, result_.modifierName);
  CloseList();
  EnableEdits(true);
}

// Enter and Esc are keys to assign, except in the open modifier list, where
// they choose and close as in every list.
bool ComboKeyDialogModel::SwallowsKey(const DialogKey& key) const {
  return !listOpen() && !key.released && IsEnterOrEsc(key.name);
}

// The name is written again at key up, so the box shows the name alone
// although the edit also took the typed character.
void ComboKeyDialogModel::OnCapturedKey(const DialogKey& key) {
  if (shell().HasFocus(kComboFirstEdit)) {
    result_.firstKeyName = key.name;
    shell().SetText(kComboFirstEdit, result_.firstKeyName);
  } else if (shell().HasFocus(kComboSecondEdit)) {
    result_.secondKeyName = key.name;
    shell().SetText(kComboSecondEdit, result_.secondKeyName);
  }
}

// ---------------------------------------------------------------------------
// Delay time

DelayTimeDialogModel::DelayTimeDialogModel(DialogEnvironment environment, DelayTimeResult& result)
    : SkinDialogModel(layout::DialogKind::DelayTime, std::move(environment)), result_(result) {}

void DelayTimeDialogModel::Open() {
  ControlRequest edit = Edit(kDelayEdit, layout::delay::kDelayEdit, true);
  edit.framed = true;
  shell().CreateControl(edit);
  shell().Focus(kDelayEdit);
}

void DelayTimeDialogModel::AddOwnTexts(Scene& scene) const {
  const DelayTimeTexts& t = DelayTimeTextsFor(language());
  scene.AddText(t.prompt, layout::delay::kPrompt, ui::kTextCentre, kWhite);
  scene.AddText(t.rangeHint, layout::delay::kRangeHint, ui::kTextCentre, kWhite);
}

void DelayTimeDialogModel::OnControlEvent(int id, ControlEvent event) {
  if (id != kDelayEdit || event != ControlEvent::Changed) return;
  result_.delayText = shell().Text(kDelayEdit);
  result_.delayValue = DecimalValue(result_.delayText);
}

// ---------------------------------------------------------------------------
// Macro key

MacroKeyDialogModel::MacroKeyDialogModel(DialogEnvironment environment, std::vector<std::wstring> macroNames,
                                         MacroKeyResult& result)
    : SkinDialogModel(layout::DialogKind::Macro, std::move(environment)),
      names_(std::move(macroNames)),
      result_(result) {}

void MacroKeyDialogModel::Open() {
  shell().CreateControl(Static(kMacroStatic, layout::macro::kNameText, L"", false));
  result_.repeatMode = 1;
}

// The tick shows the chosen mode; the scene draws the boxes, so a tick
// survives any repaint.
void MacroKeyDialogModel::AddOwnTexts(Scene& scene) const {
  const MacroKeyTexts& t = MacroKeyTextsFor(language());
  scene.AddText(t.prompt, layout::macro::kPrompt, ui::kTextCentre, kWhite);
  for (const layout::Element& box : layout::macro::ModeBoxElements()) {
    scene.AddImage(box.index == result_.repeatMode ? box.overImage : box.normalImage, box.rect);
    scene.AddText(t.modes[box.index - 1], layout::macro::ModeTextRect(box.index), ui::kTextWrapLeft, kWhite);
  }
}

void MacroKeyDialogModel::OnFieldClick(layout::Point p) {
  if (layout::macro::kField.Contains(p)) {
    if (listOpen()) CloseList();
    else OpenList(kMacroList, layout::macro::kList, names_, layout::macro::kField);
    return;
  }
  for (const layout::Element& box : layout::macro::ModeBoxElements()) {
    if (!box.rect.Contains(p) || box.index == result_.repeatMode) continue;
    const int previous = result_.repeatMode;
    result_.repeatMode = box.index;
    std::vector<layout::Rect> changed = {box.rect};
    if (previous >= 1) changed.push_back(layout::macro::ModeBoxRect(previous));
    shell().Repaint(changed);
    return;
  }
}

void MacroKeyDialogModel::OnListChoice(int, int index) {
  if (index < 0 || index >= static_cast<int>(names_.size())) return;
  result_.chosen = true;
  result_.position = index;
  result_.name = names_[index];
  shell().SetText(kMacroStatic, result_.name);
  CloseList();
}

}  // namespace kovral
