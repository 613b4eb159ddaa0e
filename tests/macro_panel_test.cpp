#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "macro/macro_panel.h"
#include "settings/defaults.h"
#include "settings_memory_fs.h"

namespace kovral::testing {
namespace {

using ::testing::ElementsAre;

const std::wstring kRecord = L"C:\\K\\record.ini";

struct Panel {
  MemoryFileSystem files;
  FileIniStore ini{files};
  RecordingMessageSink messages;
  SettingsSession settings{PathsFromModulePath(L"C:\\K\\KALVORIN_DRX_Driver.exe"), ini, files, messages};
  MacroPanelModel model{settings, MainTextsFor(UiLanguage::English)};
  Panel() { settings.config = settings.committedConfig = FactoryConfig(); }
};

TEST(MacroPanel, RecordConfirmAndTheLoopCountBox) {
  Panel p;
  EXPECT_EQ(p.model.CanStartRecording()->text, L"Macro name is blank");
  EXPECT_FALSE(p.model.New(L"Fire"));
  EXPECT_EQ(p.model.New(L"fire")->text, L"Macro name already exists");
  p.model.StartRecording();
  for (auto [released, name] : {std::pair{false, L"A"}, {true, L"A"}})
    if (auto key = p.model.FilterKey(name, released, released)) p.model.RecordKey(*key, name);
  p.model.InsertMouseEvent(L"L-Button Click");  // after "A   Up": a delay first
  EXPECT_THAT(p.model.sequence(), ElementsAre(L"A   Dn", L"50 ms", L"A   Up", L"50 ms", L"L-Button   Dn", L"50 ms",
                                              L"L-Button   Up"));
  p.model.SelectEntry(1);
  p.model.SetSelectedDelay(20000, L"20000");
  EXPECT_EQ(p.model.sequence()[1], L"10000 ms");

  // An emptied box waits while the user types; it becomes 1 when left.
  p.model.LoopCountTyped(L"");
  EXPECT_EQ(p.model.loopText(), L"");
  p.model.LoopCountTyped(L"5");
  EXPECT_EQ(SlotLoopCount(p.settings.config, 0), 0);  // "Fire" has no slot until it is confirmed
  p.model.LoopCountTyped(L"70000");
  EXPECT_TRUE(p.model.CommitLoopCount());
  EXPECT_EQ(p.model.loopText(), L"1");
  EXPECT_FALSE(p.model.Confirm());
  EXPECT_EQ(p.ini.Get(L"C:\\K\\record.ini", L"Fire", L"ItemCount"), L"7");
  EXPECT_EQ(p.settings.config.macroSlots[0][1], 1);
  // "A" down with 10000 ms after it: the long form, 10000 mod 100, the code, 10000 / 100, 3.
  const uint8_t* slot = p.settings.config.macroSlots[0];
  EXPECT_EQ(std::vector<uint8_t>(slot + 2, slot + 8), (std::vector<uint8_t>{0x00, 0x04, 100, 0x03, 0x85, 0x04}));
}

TEST(MacroPanel, ConfirmKeepsTheSelectionOnTheConfirmedMacroAndTheUnconfirmedNames) {
  Panel p;
  EXPECT_FALSE(p.model.New(L"First"));
  EXPECT_FALSE(p.model.New(L"Second"));  // "First" is not confirmed yet
  EXPECT_FALSE(p.model.Confirm());
  // The file's macros, then the names still to confirm ("First" stays listed).
  EXPECT_THAT(p.model.names(), ElementsAre(L"Second", L"First"));
  EXPECT_EQ(p.model.selected(), 0);  // was 1: past the list, which a second Confirm or Delete read
  EXPECT_FALSE(p.model.Delete());
  EXPECT_THAT(MacroNames(p.ini, kRecord), ElementsAre());
  EXPECT_THAT(p.model.names(), ElementsAre(L"First"));
  EXPECT_EQ(p.model.selected(), -1);
  p.model.Select(0);
  EXPECT_FALSE(p.model.Delete());  // never confirmed: only the list loses it
  EXPECT_THAT(p.model.names(), ElementsAre());
}

// record.ini with "A" (two entries, loop count 3 in slot 0) and "B" (no entries).
void TwoMacros(Panel& p) {
  ConfirmMacro(p.ini, kRecord, L"A", {L"A   Dn", L"50 ms"}, p.settings.config, 3);
  ConfirmMacro(p.ini, kRecord, L"B", {}, p.settings.config);
  p.model.Fill();
}

void Record(Panel& p, const wchar_t* key) {
  p.model.StartRecording();
  for (bool released : {false, true})
    if (auto recorded = p.model.FilterKey(key, released, released)) p.model.RecordKey(*recorded, key);
  p.model.StopRecording();
}

TEST(MacroPanel, TypedLoopCountsGoToTheSlotOfTheirOwnMacro) {
  Panel p;
  TwoMacros(p);
  SetSlotLoopCount(p.settings.config, 2, 4);  // left over in the slot a new macro gets
  ASSERT_FALSE(p.model.New(L"X"));
  ASSERT_FALSE(p.model.New(L"Y"));
  EXPECT_EQ(p.model.loopText(), L"1");
  Record(p, L"C");
  p.model.LoopCountTyped(L"9");
  EXPECT_EQ(SlotLoopCount(p.settings.config, 3), 0);  // the list position: nothing goes there
  EXPECT_FALSE(p.model.Confirm());
  // "Y" is appended to the file as its third macro: slot 2, with its 9.
  EXPECT_THAT(p.model.names(), ElementsAre(L"A", L"B", L"Y", L"X"));
  EXPECT_EQ(p.model.selected(), 2);
  EXPECT_EQ(SlotLoopCount(p.settings.config, 2), 9);
  EXPECT_EQ(SlotLoopCount(p.settings.config, 3), 0);
  EXPECT_EQ(p.model.loopText(), L"9");
  // "X" confirmed without touching the box plays once, from slot 3.
  p.model.Select(3);
  Record(p, L"D");
  EXPECT_FALSE(p.model.Confirm());
  EXPECT_THAT(MacroNames(p.ini, kRecord), ElementsAre(L"A", L"B", L"Y", L"X"));
  EXPECT_EQ(SlotLoopCount(p.settings.config, 3), 1);
  EXPECT_EQ(SlotLoopCount(p.settings.config, 2), 9);
}

TEST(MacroPanel, TheBoxStoresOnlyWhatWasTypedForTheSelectedMacro) {
  Panel p;
  TwoMacros(p);
  EXPECT_EQ(p.model.loopText(), L"3");
  // The empty macro shows its own count, and Apply does not store the box.
  p.model.Select(1);
  EXPECT_EQ(p.model.loopText(), L"1");
  EXPECT_FALSE(p.model.CommitLoopCount());
  EXPECT_EQ(SlotLoopCount(p.settings.config, 1), 0);
  // Typed for it, the count waits for the macro's first entries.
  p.model.LoopCountTyped(L"5");
  EXPECT_EQ(SlotLoopCount(p.settings.config, 1), 0);
  Record(p, L"E");
  EXPECT_FALSE(p.model.Confirm());
  EXPECT_EQ(SlotLoopCount(p.settings.config, 1), 5);
  // The record changes under an untouched box (Cancel): OK stores nothing.
  p.model.Select(0);
  EXPECT_EQ(p.model.loopText(), L"3");
  SetSlotLoopCount(p.settings.config, 0, 8);
  EXPECT_FALSE(p.model.CommitLoopCount());
  EXPECT_EQ(SlotLoopCount(p.settings.config, 0), 8);
  // Edited to nothing and left: 1, in the macro's own slot.
  p.model.LoopCountTyped(L"");
  EXPECT_TRUE(p.model.CommitLoopCount());
  EXPECT_EQ(SlotLoopCount(p.settings.config, 0), 1);
  EXPECT_EQ(SlotLoopCount(p.settings.config, 1), 5);
  // Stored once: after a Cancel put the record back, OK leaves it.
  SetSlotLoopCount(p.settings.config, 0, 8);
  EXPECT_FALSE(p.model.CommitLoopCount());
  EXPECT_EQ(SlotLoopCount(p.settings.config, 0), 8);
}

TEST(MacroPanel, CancelKeepsAConfirmedMacroWithItsLoopCount) {
  Panel p;
  TwoMacros(p);
  // "A" re-recorded with 7 typed and confirmed, then 9 typed and not confirmed.
  p.model.LoopCountTyped(L"7");
  Record(p, L"J");
  EXPECT_FALSE(p.model.Confirm());
  const DeviceConfig confirmed = p.settings.config;
  p.model.LoopCountTyped(L"9");
  p.settings.Revert();
  EXPECT_EQ(SlotLoopCount(p.settings.config, 0), 7);
  // The events stay with their count, as record.ini has them.
  EXPECT_EQ(std::memcmp(p.settings.config.macroSlots, confirmed.macroSlots, sizeof confirmed.macroSlots), 0);
}

TEST(MacroPanel, RefusedWritesWarnAndLeaveFileAndListAsTheyAre) {
  Panel p;
  TwoMacros(p);
  ASSERT_FALSE(p.model.New(L"X"));
  Record(p, L"F");
  const std::vector<uint8_t> file = p.files.files.at(kRecord);
  p.files.failWritesWith = 28;
  const auto refused = p.model.Confirm();
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->text, L"Could not save the settings to C:\\K\\record.ini.");
  EXPECT_EQ(refused->caption, L"Warning");
  EXPECT_EQ(p.files.files.at(kRecord), file);
  EXPECT_THAT(p.model.names(), ElementsAre(L"A", L"B", L"X"));
  EXPECT_EQ(p.model.selected(), 2);
  EXPECT_THAT(p.model.sequence(), ElementsAre(L"F   Dn", L"50 ms", L"F   Up"));  // kept, to confirm again

  p.model.Select(0);
  const auto deleteRefused = p.model.Delete();
  ASSERT_TRUE(deleteRefused);
  EXPECT_EQ(deleteRefused->caption, L"Warning");
  EXPECT_THAT(p.model.names(), ElementsAre(L"A", L"B", L"X"));
  EXPECT_EQ(p.model.selected(), 0);
  // "B" is still the file's second macro: its count goes to slot 1.
  p.files.failWritesWith = 0;
  p.model.Select(1);
  Record(p, L"G");
  EXPECT_FALSE(p.model.Confirm());
  p.model.LoopCountTyped(L"6");
  EXPECT_EQ(SlotLoopCount(p.settings.config, 1), 6);
  EXPECT_EQ(SlotLoopCount(p.settings.config, 0), 3);
}

}  // namespace
}  // namespace kovral::testing
