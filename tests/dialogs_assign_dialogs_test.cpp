// The frame's and the assignment dialogs' rules through a recording shell:
// which controls they make, when their list opens and closes, what a choice,
// a key or OK stores.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "assign/key_tables.h"
#include "dialogs/assign_dialogs.h"
#include "dialogs_fake_shell.h"

namespace kovral {
namespace {

using testing::RecordingDialogShell;
using Calls = std::vector<std::string>;

layout::Point Centre(const layout::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
constexpr layout::Point kEmptySpot{4, 300};  // on the face, outside every field and button

DialogEnvironment Environment() { return {L"C:\\K\\Skins\\Default", {255, 255, 255}, L"en"}; }

template <typename Model>
void Start(Model& model, RecordingDialogShell& shell) {
  model.Attach(shell);
  model.Open();
  shell.Take();
}

// Every dialog with a field that opens a list: the field opens and closes
// it, a click elsewhere or Esc closes it, moving the highlight chooses
// nothing, a choice shows and keeps the entry; the edits under the list take
// no input while it is open.
TEST(AssignDialogs, TheFieldsListOpensClosesAndChoosesTheSameWayInEveryDialog) {
  ChoiceResult media, windows;
  FireKeyResult fire;
  ComboKeyResult combo;
  MacroKeyResult macro;
  struct Case {
    const char* name;
    std::function<std::unique_ptr<SkinDialogModel>()> make;
    layout::Rect field;
    int list;
    int shown;
    size_t entries;
    Calls disable, enable;
    std::function<std::wstring()> chosenText;
    std::wstring third;  // the entry at position 2
  };
  const Case cases[] = {
      {"media", [&] { return std::make_unique<ChoiceDialogModel>(layout::DialogKind::Media, Environment(), media); },
       layout::choice::kField, kMediaList, kMediaStatic, kMediaCount, {}, {}, [&] { return media.text; },
       MediaEntries(UiLanguage::English)[2]},
      {"windows",
       [&] { return std::make_unique<ChoiceDialogModel>(layout::DialogKind::Windows, Environment(), windows); },
       layout::choice::kField, kWindowsList, kWindowsStatic, kWindowsFunctionCount, {}, {},
       [&] { return windows.text; }, WindowsEntries(UiLanguage::English)[2]},
      {"fire key", [&] { return std::make_unique<FireKeyDialogModel>(Environment(), fire); }, layout::fire::kKeyField,
       kFireList, kFireStatic, kFireKeyCount, {"disable 574", "disable 575"}, {"enable 574", "enable 575"},
       [&] { return fire.text; }, FireKeys()[2].name},
      {"combo key", [&] { return std::make_unique<ComboKeyDialogModel>(Environment(), combo); },
       layout::combo::kModifierField, kComboModifierList, kComboModifierStatic, kModifierCount,
       {"disable 516", "disable 517"}, {"enable 516", "enable 517"}, [&] { return combo.modifierName; },
       ModifierNames()[2]},
      {"macro key",
       [&] { return std::make_unique<MacroKeyDialogModel>(Environment(), std::vector<std::wstring>{L"a", L"b", L"c"}, macro); },
       layout::macro::kField, kMacroList, kMacroStatic, 3, {}, {}, [&] { return macro.name; }, L"c"},
  };
  const auto concat = [](Calls a, const Calls& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingDialogShell shell;
    const std::unique_ptr<SkinDialogModel> model = c.make();
    Start(*model, shell);
    const Calls opens = concat(c.disable, {"open " + std::to_string(c.list) + " " + std::to_string(c.entries)});
    const Calls closes = concat({"close"}, c.enable);

    model->OnClick(Centre(c.field));
    EXPECT_EQ(shell.Take(), opens);
    model->OnClick(Centre(c.field));
    EXPECT_EQ(shell.Take(), closes) << "the field closes its open list";

    model->OnClick(Centre(c.field));
    shell.Take();
    model->OnClick(kEmptySpot);
    EXPECT_EQ(shell.Take(), closes) << "a click elsewhere closes it";

    model->OnClick(Centre(c.field));
    shell.Take();
    model->OnListEvent(c.list, ui::ListEvent::EscapePressed);
    EXPECT_EQ(shell.Take(), closes) << "Esc leaves the list";

    model->OnClick(Centre(c.field));
    shell.Take();
    shell.selection[c.list] = 2;
    model->OnListEvent(c.list, ui::ListEvent::KeySelected);
    EXPECT_EQ(shell.Take(), Calls{}) << "a key only moves the highlight";
    EXPECT_EQ(c.chosenText(), L"");
    model->OnWheel(-120);
    EXPECT_EQ(shell.Take(), Calls{"scroll " + std::to_string(c.list) + " 3"});
    model->OnListEvent(c.list, ui::ListEvent::EnterPressed);
    EXPECT_EQ(shell.Take(), concat({"text " + std::to_string(c.shown), "close"}, c.enable));
    EXPECT_EQ(c.chosenText(), c.third);
    EXPECT_EQ(shell.texts[c.shown], c.third);

    model->OnWheel(120);
    model->OnClick(Centre(layout::kDialogOk));
    const Calls ends = c.list == kComboModifierList ? Calls{"stop capture", "end ok"} : Calls{"end ok"};
    EXPECT_EQ(shell.Take(), ends)
        << "no list: the wheel scrolls nothing; the keyboard is given back";
  }
  EXPECT_TRUE(media.chosen && fire.chosen && macro.chosen);
  EXPECT_EQ(fire.position, 2);
  EXPECT_EQ(combo.modifierPosition, 2);
}

// The speed is corrected when its box is left, the times as they are typed,
// and OK takes what the boxes show even if the speed box was never left.
TEST(AssignDialogs, FireKeyChecksItsNumbersAndOkTakesWhatTheBoxesShow) {
  FireKeyResult result;
  RecordingDialogShell shell;
  FireKeyDialogModel model(Environment(), result);
  model.Attach(shell);
  model.Open();
  EXPECT_EQ(shell.Take(), (Calls{"create 572", "create 574", "create 575", "text 574", "text 575"}));
  EXPECT_EQ(shell.texts[kFireSpeedEdit], L"32");
  shell.texts[kFireSpeedEdit] = L"300";
  model.OnControlEvent(kFireSpeedEdit, ControlEvent::Changed);
  EXPECT_EQ(shell.texts[kFireSpeedEdit], L"300") << "a half-typed speed is no mistake yet";
  model.OnControlEvent(kFireSpeedEdit, ControlEvent::FocusLost);
  EXPECT_EQ(shell.texts[kFireSpeedEdit], L"5");
  EXPECT_EQ(result.speed, 5);
  shell.texts[kFireTimesEdit] = L"256";
  model.OnControlEvent(kFireTimesEdit, ControlEvent::Changed);
  EXPECT_EQ(shell.texts[kFireTimesEdit], L"1");
  shell.texts[kFireSpeedEdit] = L"100";
  shell.texts[kFireTimesEdit] = L"";
  shell.Take();
  model.OnOk();
  EXPECT_EQ(shell.Take(), Calls{"end ok"});
  EXPECT_EQ(result.speed, 100);
  EXPECT_EQ(result.times, 0);
}

// Enter, Esc and the Windows keys are keys to assign in the key dialogs,
// except in Combo's open modifier list; a captured key shows at once, in
// Combo in the box that has the focus.
TEST(AssignDialogs, TheKeyDialogsKeepTheirKeysFromTheDialogAndShowWhatTheyCaught) {
  SingleKeyResult single;
  ComboKeyResult combo;
  SingleKeyDialogModel singleModel(Environment(), single);
  ComboKeyDialogModel comboModel(Environment(), combo);
  RecordingDialogShell singleShell, comboShell;
  singleShell.captureError = 5;
  singleModel.Attach(singleShell);
  singleModel.Open();
  EXPECT_EQ(singleShell.Take(), (Calls{"create 502", "capture", "tell"}));
  EXPECT_EQ(singleShell.told[0], L"KeyboardHook_SingleDlgKey Install error code :5\n");
  Start(comboModel, comboShell);

  const struct {
    const wchar_t* key;
    bool released;
    bool single, combo;
  } keys[] = {
      {L"Enter", false, true, true},          {L"Num Enter", false, true, true}, {L"Esc", false, true, true},
      {L"Enter", true, false, false},         {L"Left Windows", false, true, false},
      {L"Right Windows", true, true, false},  {L"A", false, false, false},
  };
  for (const auto& k : keys) {
    const DialogKey key{k.key, k.released, k.released};
    EXPECT_EQ(singleModel.SwallowsKey(key), k.single) << k.key << k.released;
    EXPECT_EQ(comboModel.SwallowsKey(key), k.combo) << k.key << k.released;
  }
  comboModel.OnClick(Centre(layout::combo::kModifierField));
  EXPECT_FALSE(comboModel.SwallowsKey({L"Enter", false, false})) << "Enter chooses in the open list";

  singleModel.OnCapturedKey({L"F5", false, false});
  EXPECT_EQ(single.keyName, L"F5");
  EXPECT_EQ(singleShell.texts[kSingleKeyStatic], L"F5");
  comboShell.Take();
  comboModel.OnCapturedKey({L"F5", false, false});
  EXPECT_EQ(comboShell.Take(), Calls{}) << "no box has the focus";
  comboShell.focus = kComboSecondEdit;
  comboModel.OnCapturedKey({L"Q", true, true});
  EXPECT_EQ(combo.secondKeyName, L"Q");
  EXPECT_EQ(combo.firstKeyName, L"");
  EXPECT_EQ(comboShell.texts[kComboSecondEdit], L"Q");

  comboShell.Take();
  comboModel.OnClick({layout::kDialogOk.left + 2, layout::kDialogOk.top + 2});
  EXPECT_EQ(comboShell.Take(), (Calls{"close", "enable 516", "enable 517", "stop capture", "end ok"}));
  singleShell.Take();
  singleModel.OnCancel();
  EXPECT_EQ(singleShell.Take(), Calls{"end cancel"}) << "it never captured";
}

// A ticked mode box stays; another one takes the tick and both are drawn
// again. The delay is read as it is typed.
TEST(AssignDialogs, MacroModesTickOneBoxAndTheDelayIsReadAsTyped) {
  MacroKeyResult macro;
  RecordingDialogShell shell;
  MacroKeyDialogModel model(Environment(), {L"m"}, macro);
  Start(model, shell);
  EXPECT_EQ(macro.repeatMode, 1);
  model.OnClick(Centre(layout::macro::ModeBoxRect(1)));
  EXPECT_EQ(shell.Take(), Calls{});
  model.OnClick(Centre(layout::macro::ModeBoxRect(3)));
  EXPECT_EQ(shell.Take(), Calls{"repaint 2"});
  EXPECT_EQ(macro.repeatMode, 3);

  DelayTimeResult delay;
  DelayTimeDialogModel delayModel(Environment(), delay);
  RecordingDialogShell delayShell;
  delayModel.Attach(delayShell);
  delayModel.Open();
  EXPECT_EQ(delayShell.focus, kDelayEdit);
  delayShell.texts[kDelayEdit] = L"1500";
  delayModel.OnControlEvent(kDelayEdit, ControlEvent::Changed);
  EXPECT_EQ(delay.delayValue, 1500);
  EXPECT_EQ(delay.delayText, L"1500");
}

// A dialog whose face is missing says so and ends cancelled, rather than
// staying as an invisible modal window; the close cross cancels too.
TEST(AssignDialogs, AMissingFaceOrTheCloseCrossCancels) {
  ChoiceResult result;
  ChoiceDialogModel model(layout::DialogKind::Windows, Environment(), result);
  RecordingDialogShell shell;
  model.Attach(shell);
  model.OnFaceMissing();
  EXPECT_EQ(shell.Take(), (Calls{"tell", "end cancel"}));
  EXPECT_EQ(shell.told[0], L"error");
  model.OnClick(Centre(layout::kDialogClose));
  EXPECT_EQ(shell.Take(), Calls{"end cancel"});
  EXPECT_TRUE(DialogEndsWithTheDevice(layout::DialogKind::Windows));
  EXPECT_FALSE(DialogEndsWithTheDevice(layout::DialogKind::Skins));
}

}  // namespace
}  // namespace kovral
