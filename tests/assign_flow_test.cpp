#include <gtest/gtest.h>

#include <cstring>

#include "assign/assignment_flow.h"
#include "assign/key_tables.h"
#include "dialogs/fire_key.h"
#include "settings/defaults.h"
#include "settings/settings_session.h"

namespace kovral {
namespace {

const MainTexts& En() { return MainTextsFor(UiLanguage::English); }

struct Flow {
  DeviceConfig c = FactoryConfig();
  UiSettings ui;
  Flow() { SetFirstRunButtonTexts(ui, En()); }
  AssignmentTable& A() { return c.modeA; }
  AssignmentTable& B() { return c.modeB; }
};

TEST(AssignmentFlow, TheOnlyLeftClickOfAModeCannotBeReassigned) {
  Flow f;
  EXPECT_TRUE(LeftKeyRuleRefuses(f.c, 0, 0));
  EXPECT_FALSE(LeftKeyRuleRefuses(f.c, 0, 1));  // not a left click
  EXPECT_EQ(AssignFunction(f.c, f.ui, En(), 1, kFunctionLeftClick), AssignResult::Stored);
  EXPECT_FALSE(LeftKeyRuleRefuses(f.c, 0, 0));
  EXPECT_TRUE(LeftKeyRuleRefuses(f.c, 1, 0));  // Mode B still has one
}

TEST(AssignmentFlow, ShiftLivesInBothModesOnceEach) {
  Flow f;
  // Mode B's only left click becomes Shift too.
  f.B().functionIndex[2] = kFunctionLeftClick;
  f.B().functionIndex[0] = kFunctionKeyOff;
  EXPECT_EQ(AssignFunction(f.c, f.ui, En(), 2, kFunctionShift), AssignResult::Stored);
  EXPECT_EQ(f.A().functionIndex[2], kFunctionShift);
  EXPECT_EQ(f.B().functionIndex[2], kFunctionShift);
  EXPECT_EQ(ButtonText(f.ui, 1, 2), L"Shift");
  // A second Shift in the mode changes nothing.
  EXPECT_EQ(AssignFunction(f.c, f.ui, En(), 4, kFunctionShift), AssignResult::Unchanged);
  EXPECT_EQ(f.A().functionIndex[4], 4);
  EXPECT_EQ(ButtonText(f.ui, 0, 4), L"Backward");
}

TEST(AssignmentFlow, TheShiftButtonsNewAssignmentReachesTheOtherMode) {
  Flow f;
  AssignFunction(f.c, f.ui, En(), 2, kFunctionShift);
  f.c.editedMode = 1;
  // A dialog's result ("Multimedia", "Next") for the Shift button in Mode B.
  StoreAssignment(f.c, f.ui, 2, 9, PrefixedText(En().functionList[9], L"Next"), [](AssignmentTable& t) {
    t.mediaIndex[2] = 3;
    t.mediaUsage[2] = 0xB5;
  });
  EXPECT_EQ(f.A().functionIndex[2], 9);
  EXPECT_EQ(f.A().mediaIndex[2], 3);
  EXPECT_EQ(f.A().mediaUsage[2], 0xB5);
  EXPECT_EQ(ButtonText(f.ui, 0, 2), L"Multimedia-Next");

  // Through the DPI sub-list the DPI action, outside the table, goes along.
  AssignFunction(f.c, f.ui, En(), 4, kFunctionShift);
  AssignDpi(f.c, f.ui, En(), 4, 2);
  EXPECT_EQ(f.A().functionIndex[4], kFunctionDpiSwitch);
  EXPECT_EQ(f.c.dpiActionA[4], 2);
  EXPECT_EQ(ButtonText(f.ui, 0, 4), L"DPI -");
  // An ordinary button changes in the edited mode only.
  AssignFunction(f.c, f.ui, En(), 1, kFunctionTripleClick);
  EXPECT_EQ(f.B().functionIndex[1], kFunctionTripleClick);
  EXPECT_EQ(f.A().functionIndex[1], 1);
}

TEST(AssignmentFlow, ChoicesThatStoreNothingYet) {
  Flow f;
  const DeviceConfig before = f.c;
  EXPECT_EQ(AssignFunction(f.c, f.ui, En(), 1, -1), AssignResult::KeepOpen);
  EXPECT_EQ(AssignFunction(f.c, f.ui, En(), 1, kFunctionDpiSwitch), AssignResult::KeepOpen);
  for (int dialog = 8; dialog <= 13; ++dialog)
    EXPECT_EQ(AssignFunction(f.c, f.ui, En(), 1, dialog), AssignResult::DialogNeeded);
  EXPECT_EQ(std::memcmp(&before, &f.c, sizeof before), 0);
  EXPECT_EQ(ButtonText(f.ui, 0, 1), L"Right Click");
}

TEST(AssignmentFlow, DefaultRestoresFunctionsAndTextsOnly) {
  Flow f;
  f.c.editedMode = 1;
  f.B().fireSpeed[3] = 9;
  AssignFunction(f.c, f.ui, En(), 3, kFunctionRgb);
  RestoreDefaultAssignment(f.c, f.ui, MainTextsFor(UiLanguage::SimplifiedChinese));
  EXPECT_EQ(f.B().functionIndex[3], 3);
  EXPECT_EQ(f.B().fireSpeed[3], 9);
  EXPECT_EQ(f.c.editedMode, 1);
  EXPECT_EQ(f.c.dpiActionB[5], 3);
  EXPECT_EQ(ButtonText(f.ui, 1, 3), L"前进方向键");
  EXPECT_EQ(ButtonText(f.ui, 0, 5), L"DPI Loop");
}

TEST(AssignmentFlow, DialogResultsBecomeCodesAndTexts) {
  Flow f;
  StoreWindowsChoice(f.c, f.ui, 1, 3, L"Calculator");
  EXPECT_EQ(f.A().functionIndex[1], 8);
  EXPECT_EQ(f.A().windowsUsageLow[1], WindowsToUsage(3));
  EXPECT_EQ(f.A().windowsUsageHigh[1], 1);
  StoreWindowsChoice(f.c, f.ui, 1, 4, L"x");
  EXPECT_EQ(f.A().windowsUsageHigh[1], 2);
  EXPECT_EQ(ButtonText(f.ui, 0, 1), L"x");  // the Windows text stands alone
  StoreMediaChoice(f.c, f.ui, En(), 2, 6, L"Vol-");
  EXPECT_EQ(f.A().mediaUsage[2], 0xEA);
  EXPECT_EQ(ButtonText(f.ui, 0, 2), L"Multimedia-Vol-");
  StoreFireKey(f.c, f.ui, En(), 3, 60, L"R-Tilt Wheel", 5, 0);
  EXPECT_EQ(f.A().fireKeyCode[3], 0xF6);
  EXPECT_EQ(f.A().fireSpeed[3], 5);
  EXPECT_EQ(ButtonText(f.ui, 0, 3), L"Fire Key-R-Tilt Wheel");
  StoreSingleKey(f.c, f.ui, En(), 4, L"Caps Lock");
  EXPECT_EQ(f.A().singleKeyCode[4], 0x39);
  StoreComboKey(f.c, f.ui, En(), 5, L"Left Win", L"", L"B");
  EXPECT_EQ(f.A().comboModifiers[5], 0x08);
  EXPECT_EQ(f.A().comboKey1[5], 0);
  EXPECT_EQ(f.A().comboKey2[5], 0x05);
  EXPECT_EQ(ButtonText(f.ui, 0, 5), L"Combo Key-Left Win+B");
}

TEST(AssignmentFlow, ComboTextJoinsWhatNamesSomething) {
  EXPECT_EQ(ComboText(L"Left Ctrl", L"A", L"B"), L"Left Ctrl+A+B");
  EXPECT_EQ(ComboText(L"", L"", L"B"), L"B");
  EXPECT_EQ(ComboText(L"Left Ctrl", L"nothing", L""), L"Left Ctrl");
  EXPECT_EQ(ComboText(L"nothing", L"A", L"B"), L"A+B");
  EXPECT_EQ(PrefixedText(En().functionList[12], ComboText(L"", L"", L"")), L"Combo Key-");
}

TEST(FireKeyBoxes, OutOfRangeTextsAreCorrected) {
  EXPECT_EQ(CheckFireSpeed(L"300").value, 5);
  EXPECT_EQ(CheckFireSpeed(L"300").text, L"5");
  EXPECT_TRUE(CheckFireSpeed(L"").corrected);
  EXPECT_FALSE(CheckFireSpeed(L"255").corrected);
  EXPECT_EQ(CheckFireTimes(L"256").text, L"1");
  // An emptied times box is 0: fire until the button is released.
  const CheckedNumber empty = CheckFireTimes(L"");
  EXPECT_EQ(empty.value, 0);
  EXPECT_FALSE(empty.corrected);
  EXPECT_EQ(DecimalValue(L"99999999999999"), 1000000);
}

}  // namespace
}  // namespace kovral
