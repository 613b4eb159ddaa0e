#include "dialogs/assign_dialogs_win.h"

#include <cstdio>

#include "assign/key_names.h"
#include "assign/key_tables.h"
#include "dialogs/fire_key.h"
#include "lang/messages.h"

namespace kovral {
namespace {

// The key dialogs' private messages: a new key name is waiting.
constexpr UINT WM_SINGLE_KEY = WM_USER + 0x704;  // 0xB04
constexpr UINT WM_COMBO_KEY = WM_USER + 0x705;   // 0xB05

constexpr int kSingleKeyStatic = 502;
constexpr int kComboModifierStatic = 512;
constexpr int kComboModifierList = 515;
constexpr int kComboFirstEdit = 516;
constexpr int kComboSecondEdit = 517;
constexpr int kMediaStatic = 552;
constexpr int kMediaList = 553;
constexpr int kWindowsStatic = 532;
constexpr int kWindowsList = 533;
constexpr int kFireStatic = 572;
constexpr int kFireList = 573;
constexpr int kFireSpeedEdit = 574;
constexpr int kFireTimesEdit = 575;
constexpr int kDelayEdit = 600;
constexpr int kMacroStatic = 592;
constexpr int kMacroList = 593;

constexpr ui::Rgb kWhite{255, 255, 255};

std::vector<std::wstring> Texts(std::span<const wchar_t* const> entries) { return {entries.begin(), entries.end()}; }

int Selection(HWND list) { return list ? static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) : LB_ERR; }

std::wstring TextOf(HWND control) { return ui::WindowText(control); }

// The hook could not be installed: the dialog runs on without key capture.
void TellHookFailed(MessageSink& messages, const wchar_t* format) {
  wchar_t text[128];
  std::swprintf(text, 128, format, static_cast<int>(GetLastError()));
  messages.Show(text, L"");
}

}  // namespace

std::wstring KeyNameOfHookedKey(LPARAM keyData) {
  wchar_t system[32] = {};
  GetKeyNameTextW(static_cast<LONG>(keyData), system, 32);
  return KeyNameOfKeystroke(static_cast<uint32_t>(keyData), system).substr(0, 31);
}

// ---------------------------------------------------------------------------
// Media and Windows

CChoiceDialog::CChoiceDialog(layout::DialogKind kind, DialogEnvironment environment, int staticId, int listId,
                             const layout::Rect& listRect)
    : CSkinDialog(kind, std::move(environment)), staticId_(staticId), listId_(listId), listRect_(listRect) {}

void CChoiceDialog::CreateControls() {
  shown_ = MakeControl(L"STATIC", staticId_, layout::choice::kChosenText, SS_LEFT | SS_CENTERIMAGE, text);
}

bool CChoiceDialog::OnFieldClick(layout::Point p) {
  if (!layout::choice::kField.Contains(p)) return false;
  if (list()) CloseList();
  else OpenList(listId_, listRect_, Texts(Entries()), layout::choice::kField);
  return true;
}

bool CChoiceDialog::OnControlCommand(int id, int code) {
  if (id != listId_) return false;
  if (!ListChooses(code)) return true;
  const int selection = Selection(list());
  if (selection < 0) return true;
  chosen = true;
  position = selection;
  text = Entries()[selection];
  SetWindowTextW(shown_, text.c_str());
  CloseList();
  return true;
}

CMediaDialog::CMediaDialog(DialogEnvironment environment)
    : CChoiceDialog(layout::DialogKind::Media, std::move(environment), kMediaStatic, kMediaList,
                    layout::choice::kMediaList) {}
std::span<const wchar_t* const> CMediaDialog::Entries() const { return MediaEntries(language()); }

CWindowsDialog::CWindowsDialog(DialogEnvironment environment)
    : CChoiceDialog(layout::DialogKind::Windows, std::move(environment), kWindowsStatic, kWindowsList,
                    layout::choice::kWindowsList) {}
std::span<const wchar_t* const> CWindowsDialog::Entries() const { return WindowsEntries(language()); }

// ---------------------------------------------------------------------------
// Fire key

CFireKeyDialog::CFireKeyDialog(DialogEnvironment environment)
    : CSkinDialog(layout::DialogKind::FireKey, std::move(environment)) {}

void CFireKeyDialog::CreateControls() {
  shown_ = MakeControl(L"STATIC", kFireStatic, layout::fire::kKeyText, SS_CENTER | SS_CENTERIMAGE, text);
  speedEdit_ = MakeControl(L"EDIT", kFireSpeedEdit, layout::fire::kSpeedEdit, ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL,
                           L"");
  timesEdit_ = MakeControl(L"EDIT", kFireTimesEdit, layout::fire::kTimesEdit, ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL,
                           L"");
  SetWindowTextW(speedEdit_, L"32");
  SetWindowTextW(timesEdit_, L"1");
}

void CFireKeyDialog::AddOwnTexts(Scene& scene) const {
  const FireKeyTexts& t = FireKeyTextsFor(language());
  scene.AddText(t.speedLabel, layout::fire::kSpeedLabel, ui::kTextRight, kWhite);
  scene.AddText(t.timesLabel, layout::fire::kTimesLabel, ui::kTextRight, kWhite);
  scene.AddText(t.heading, layout::fire::ExplanationLine(0), ui::kTextLeft, kWhite);
  scene.AddText(t.speedRule, layout::fire::ExplanationLine(1), ui::kTextLeft, kWhite);
  scene.AddText(t.timesRule, layout::fire::kTimesRule, ui::kTextWrapLeftAnywhere, kWhite);
}

void CFireKeyDialog::EnableEdits(bool enable) {
  EnableWindow(speedEdit_, enable);
  EnableWindow(timesEdit_, enable);
}

bool CFireKeyDialog::OnFieldClick(layout::Point p) {
  if (!layout::fire::kKeyField.Contains(p)) return false;
  if (list()) {
    CloseList();
    EnableEdits(true);
    return true;
  }
  EnableEdits(false);
  std::vector<std::wstring> names;
  for (const FireKeyEntry& entry : FireKeys()) names.emplace_back(entry.name);
  OpenList(kFireList, layout::fire::kKeyList, names, layout::fire::kKeyField);
  return true;
}

void CFireKeyDialog::OnListDismissed() { EnableEdits(true); }

void CFireKeyDialog::CheckSpeed() {
  const CheckedNumber checked = CheckFireSpeed(TextOf(speedEdit_));
  if (checked.corrected) SetWindowTextW(speedEdit_, checked.text.c_str());
  speed = checked.value;
}

void CFireKeyDialog::CheckTimes() {
  const CheckedNumber checked = CheckFireTimes(TextOf(timesEdit_));
  times = checked.value;
  if (checked.corrected) SetWindowTextW(timesEdit_, checked.text.c_str());
}

bool CFireKeyDialog::OnControlCommand(int id, int code) {
  if (id == kFireList) {
    if (!ListChooses(code)) return true;
    const int selection = Selection(list());
    if (selection < 0) return true;
    chosen = true;
    position = selection;
    text = FireKeys()[selection].name;
    SetWindowTextW(shown_, text.c_str());
    CloseList();
    EnableEdits(true);
    return true;
  }
  if (id == kFireSpeedEdit && code == EN_KILLFOCUS) {
    CheckSpeed();
    return true;
  }
  if (id == kFireTimesEdit && code == EN_CHANGE) {
    CheckTimes();
    return true;
  }
  return false;
}

// Three lines per notch, down for a notch towards the user.
void CFireKeyDialog::OnWheel(int delta) {
  if (!list()) return;
  for (int i = 0; i < 3; ++i) SendMessageW(list(), WM_VSCROLL, delta <= 0 ? SB_LINEDOWN : SB_LINEUP, 0);
}

void CFireKeyDialog::OnOK() {
  CheckSpeed();
  CheckTimes();
  CSkinDialog::OnOK();
}

// ---------------------------------------------------------------------------
// Single key

CSingleDialog::CSingleDialog(DialogEnvironment environment)
    : CSkinDialog(layout::DialogKind::Single, std::move(environment)) {}

void CSingleDialog::CreateControls() {
  shown_ = MakeControl(L"STATIC", kSingleKeyStatic, layout::single::kKeyName, SS_CENTER | SS_CENTERIMAGE, keyName);
  if (!hook_.Install(*this)) TellHookFailed(messages(), kMsgSingleHookFailed);
}

void CSingleDialog::AddOwnTexts(Scene& scene) const {
  scene.AddText(SingleKeyTextsFor(language()).prompt, layout::single::kPrompt, ui::kTextCentre, kWhite);
}

// Enter, Esc and the Windows keys are keys to assign, not dialog keys.
bool CSingleDialog::SwallowsKey(const MSG& m) const {
  const bool keyMessage = m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST;
  if (keyMessage && (m.wParam == VK_LWIN || m.wParam == VK_RWIN)) return true;
  return m.message == WM_KEYDOWN && (m.wParam == VK_RETURN || m.wParam == VK_ESCAPE);
}

void CSingleDialog::OnHookedKey(WPARAM, LPARAM keyData) {
  captured_ = KeyNameOfHookedKey(keyData);
  if (hwnd_) SendMessageW(hwnd_, WM_SINGLE_KEY, 0, 0);
}

ui::MsgResult CSingleDialog::OnOwnMessage(UINT message, WPARAM, LPARAM) {
  if (message != WM_SINGLE_KEY) return ui::NotHandled();
  keyName = captured_;
  SetWindowTextW(shown_, keyName.c_str());
  return ui::Handled();
}

// ---------------------------------------------------------------------------
// Combo key

CComboDialog::CComboDialog(DialogEnvironment environment)
    : CSkinDialog(layout::DialogKind::Combo, std::move(environment)) {}

void CComboDialog::CreateControls() {
  shown_ = MakeControl(L"STATIC", kComboModifierStatic, layout::combo::kModifierText, SS_CENTER | SS_CENTERIMAGE,
                       modifierName);
  firstEdit_ = MakeControl(L"EDIT", kComboFirstEdit, layout::combo::kFirstKeyEdit, ES_CENTER | ES_AUTOHSCROLL, L"");
  secondEdit_ = MakeControl(L"EDIT", kComboSecondEdit, layout::combo::kSecondKeyEdit, ES_CENTER | ES_AUTOHSCROLL, L"");
  if (!hook_.Install(*this)) TellHookFailed(messages(), kMsgComboHookFailed);
}

void CComboDialog::EnableEdits(bool enable) {
  EnableWindow(firstEdit_, enable);
  EnableWindow(secondEdit_, enable);
}

bool CComboDialog::OnFieldClick(layout::Point p) {
  if (!layout::combo::kModifierField.Contains(p)) return false;
  if (list()) {
    CloseList();
    EnableEdits(true);
    return true;
  }
  EnableEdits(false);
  OpenList(kComboModifierList, layout::combo::kModifierList, Texts(ModifierNames()), layout::combo::kModifierField);
  return true;
}

void CComboDialog::OnListDismissed() { EnableEdits(true); }

bool CComboDialog::OnControlCommand(int id, int code) {
  if (id != kComboModifierList) return false;
  if (!ListChooses(code)) return true;
  const int selection = Selection(list());
  if (selection < 0) return true;
  modifierPosition = selection;
  modifierName = ModifierNames()[selection];
  SetWindowTextW(shown_, modifierName.c_str());
  CloseList();
  EnableEdits(true);
  return true;
}

// Enter and Esc are keys to assign, except in the open modifier list, where
// they choose and close as in every list.
bool CComboDialog::SwallowsKey(const MSG& m) const {
  if (list() != nullptr && m.hwnd == list()) return false;
  return m.message == WM_KEYDOWN && (m.wParam == VK_RETURN || m.wParam == VK_ESCAPE);
}

void CComboDialog::OnHookedKey(WPARAM, LPARAM keyData) {
  captured_ = KeyNameOfHookedKey(keyData);
  if (hwnd_) SendMessageW(hwnd_, WM_COMBO_KEY, 0, 0);
}

// The name is written again at key up, so the box shows the name alone
// although the edit also took the typed character.
ui::MsgResult CComboDialog::OnOwnMessage(UINT message, WPARAM, LPARAM) {
  if (message != WM_COMBO_KEY) return ui::NotHandled();
  const HWND focus = GetFocus();
  if (focus == firstEdit_) {
    firstKeyName = captured_;
    SetWindowTextW(firstEdit_, firstKeyName.c_str());
  } else if (focus == secondEdit_) {
    secondKeyName = captured_;
    SetWindowTextW(secondEdit_, secondKeyName.c_str());
  }
  return ui::Handled();
}

// ---------------------------------------------------------------------------
// Macro key

CMacroDialog::CMacroDialog(DialogEnvironment environment, std::vector<std::wstring> macroNames)
    : CSkinDialog(layout::DialogKind::Macro, std::move(environment)), names_(std::move(macroNames)) {}

void CMacroDialog::CreateControls() {
  shown_ = MakeControl(L"STATIC", kMacroStatic, layout::macro::kNameText, SS_LEFT | SS_CENTERIMAGE, L"");
  repeatMode = 1;
}

// The tick shows the chosen mode; the scene draws the boxes, so a tick
// survives any repaint.
void CMacroDialog::AddOwnTexts(Scene& scene) const {
  const MacroKeyTexts& t = MacroKeyTextsFor(language());
  scene.AddText(t.prompt, layout::macro::kPrompt, ui::kTextCentre, kWhite);
  for (const layout::Element& box : layout::macro::ModeBoxElements()) {
    scene.AddImage(box.index == repeatMode ? box.overImage : box.normalImage, box.rect);
    scene.AddText(t.modes[box.index - 1], layout::macro::ModeTextRect(box.index), ui::kTextWrapLeft, kWhite);
  }
}

bool CMacroDialog::OnFieldClick(layout::Point p) {
  if (layout::macro::kField.Contains(p)) {
    if (list()) CloseList();
    else OpenList(kMacroList, layout::macro::kList, names_, layout::macro::kField);
    return true;
  }
  for (const layout::Element& box : layout::macro::ModeBoxElements()) {
    if (!box.rect.Contains(p) || box.index == repeatMode) continue;
    const int previous = repeatMode;
    repeatMode = box.index;
    std::vector<layout::Rect> changed = {box.rect};
    if (previous >= 1) changed.push_back(layout::macro::ModeBoxRect(previous));
    Redraw(changed);
    return true;
  }
  return false;
}

bool CMacroDialog::OnControlCommand(int id, int code) {
  if (id != kMacroList) return false;
  if (!ListChooses(code)) return true;
  const int selection = Selection(list());
  if (selection < 0 || selection >= static_cast<int>(names_.size())) return true;
  chosen = true;
  position = selection;
  name = names_[selection];
  SetWindowTextW(shown_, name.c_str());
  CloseList();
  return true;
}

void CMacroDialog::OnWheel(int delta) {
  if (!list()) return;
  for (int i = 0; i < 3; ++i) SendMessageW(list(), WM_VSCROLL, delta <= 0 ? SB_LINEDOWN : SB_LINEUP, 0);
}

// ---------------------------------------------------------------------------
// Delay time

CDelayTimeDialog::CDelayTimeDialog(DialogEnvironment environment)
    : CSkinDialog(layout::DialogKind::DelayTime, std::move(environment)) {}

void CDelayTimeDialog::CreateControls() {
  edit_ = MakeControl(L"EDIT", kDelayEdit, layout::delay::kDelayEdit, WS_BORDER | ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL,
                      L"");
  SetFocus(edit_);
}

void CDelayTimeDialog::AddOwnTexts(Scene& scene) const {
  const DelayTimeTexts& t = DelayTimeTextsFor(language());
  scene.AddText(t.prompt, layout::delay::kPrompt, ui::kTextCentre, kWhite);
  scene.AddText(t.rangeHint, layout::delay::kRangeHint, ui::kTextCentre, kWhite);
}

bool CDelayTimeDialog::OnControlCommand(int id, int code) {
  if (id != kDelayEdit || code != EN_CHANGE) return false;
  delayText = TextOf(edit_);
  delayValue = DecimalValue(delayText);
  return true;
}

}  // namespace kovral
