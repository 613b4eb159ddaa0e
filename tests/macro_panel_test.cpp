#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "macro/macro_panel.h"
#include "settings/defaults.h"
#include "settings_memory_fs.h"

namespace kovral::testing {
namespace {

using ::testing::ElementsAre;

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
  EXPECT_EQ(SlotLoopCount(p.settings.config, 0), 5);
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

TEST(MacroPanel, ConfirmKeepsTheSelectionOnTheConfirmedMacro) {
  Panel p;
  EXPECT_FALSE(p.model.New(L"First"));
  EXPECT_FALSE(p.model.New(L"Second"));  // "First" is never confirmed
  EXPECT_FALSE(p.model.Confirm());
  EXPECT_THAT(p.model.names(), ElementsAre(L"Second"));
  EXPECT_EQ(p.model.selected(), 0);  // was 1: past the list, which a second Confirm or Delete read
  p.model.Delete();
  EXPECT_THAT(MacroNames(p.ini, L"C:\\K\\record.ini"), ElementsAre());
}

}  // namespace
}  // namespace kovral::testing
