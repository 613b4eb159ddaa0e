#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <vector>

#include "macro/macro_store.h"
#include "settings/defaults.h"
#include "settings_memory_fs.h"

namespace kovral::testing {
namespace {

using ::testing::ElementsAre;

std::vector<uint8_t> Bytes(const uint8_t (&slot)[kMacroSlotSize], size_t n) { return {slot, slot + n}; }

TEST(MacroEncoding, GoldenBytesOfTheShortAndLongForms) {
  uint8_t slot[kMacroSlotSize];
  std::memset(slot, 0xEE, sizeof slot);
  slot[0] = 0x00;
  slot[1] = 0x01;
  EncodeMacroSlot({L"A   Dn", L"50 ms", L"A   Up", L"50 ms"}, slot);
  EXPECT_EQ(Bytes(slot, 8), (std::vector<uint8_t>{0x00, 0x01, 0x05, 0x04, 0x85, 0x04, 0x00, 0x00}));
  EXPECT_EQ(slot[127], 0);  // the rest is cleared

  EncodeMacroSlot({L"B   Dn", L"1280 ms", L"B   Up", L"1270 ms"}, slot);
  EXPECT_EQ(Bytes(slot, 8), (std::vector<uint8_t>{0x00, 0x01, 0x50, 0x05, 0x0C, 0x03, 0xFF, 0x05}));
  // A first entry that is no press still starts the slot afresh.
  EncodeMacroSlot({L"20 ms", L"C   Up"}, slot);
  EXPECT_EQ(Bytes(slot, 6), (std::vector<uint8_t>{0x00, 0x01, 0x80, 0x06, 0x00, 0x00}));
}

TEST(MacroEncoding, DelaysPastTheSlotsRangeAllBecomeTheLongestItHolds) {
  // 25599 ms: 99, the code, 255, 3. Beyond it every delay saturates the same
  // way, up to and past 2^32 - 1 (which turned into no delay at all).
  const std::vector<uint8_t> longest = {0x00, 0x01, 99, 0x04, 0xFF, 0x03, 0x00, 0x00};
  for (const wchar_t* delay : {L"25599 ms", L"25600 ms", L"30050 ms", L"4294967295 ms", L"4294967296 ms",
                               L"99999999999999999999 ms"}) {
    uint8_t slot[kMacroSlotSize] = {0x00, 0x01};
    EncodeMacroSlot({L"A   Dn", delay}, slot);
    EXPECT_EQ(Bytes(slot, 8), longest) << delay;
  }
  EXPECT_EQ(DelayOfEntry(L"99999999999999999999 ms"), 0xFFFFFFFFu);
  EXPECT_EQ(DelayOfEntry(L"25598 ms"), 25598u);
  EXPECT_EQ(DelayOfEntry(L"12 ms later"), 0u);
}

TEST(MacroEncoding, AnEventThatDoesNotFitIsLeftOutWithAllAfterIt) {
  std::vector<std::wstring> entries;
  for (int i = 0; i < 62; ++i) {
    entries.push_back(i % 2 ? L"A   Up" : L"A   Dn");
    entries.push_back(L"10 ms");
  }
  entries.push_back(L"B   Dn");
  entries.push_back(L"2000 ms");  // 4 bytes, but only 2 are left
  entries.push_back(L"C   Dn");
  uint8_t slot[kMacroSlotSize] = {};
  const SlotEncoding result = EncodeMacroSlot(entries, slot);
  EXPECT_EQ(result.eventsWritten, 62);
  EXPECT_EQ(result.eventsTotal, 64);
  EXPECT_TRUE(result.cut());
  EXPECT_EQ(slot[126], 0x00);  // the free bytes stay zero
  EXPECT_EQ(slot[125], 0x04);
}

struct Store {
  MemoryFileSystem files;
  FileIniStore ini{files};
  const std::wstring path = L"C:\\K\\record.ini";
  DeviceConfig config = FactoryConfig();
};

TEST(MacroStore, ConfirmKeepsTheMacroAtItsPlaceAndSlot) {
  Store s;
  for (const wchar_t* name : {L"One", L"Two", L"Three"}) ConfirmMacro(s.ini, s.path, name, {L"A   Dn", L"50 ms"}, s.config);
  EXPECT_EQ(SlotLoopCount(s.config, 2), 1);  // a new macro in an unused slot plays once
  SetSlotLoopCount(s.config, 0, 7);
  ConfirmMacro(s.ini, s.path, L"one", {L"B   Dn", L"10 ms", L"B   Up"}, s.config);
  EXPECT_THAT(MacroNames(s.ini, s.path), ElementsAre(L"One", L"Two", L"Three"));
  EXPECT_EQ(s.config.macroSlots[0][3], 0x05);
  EXPECT_EQ(SlotLoopCount(s.config, 0), 7);
  // A shorter sequence leaves no old entries behind.
  ConfirmMacro(s.ini, s.path, L"One", {L"C   Dn"}, s.config);
  EXPECT_THAT(ReadMacroEntries(s.ini, s.path, L"One"), ElementsAre(L"C   Dn"));
  EXPECT_EQ(s.ini.Get(s.path, L"One", L"Item2"), L"");
  // An empty macro clears its slot, loop count included.
  ConfirmMacro(s.ini, s.path, L"Two", {}, s.config);
  EXPECT_EQ(Bytes(s.config.macroSlots[1], 4), (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(MacroStore, ConfirmDeleteAndReplaceAreEachOneWriteOfTheFile) {
  Store s;
  std::vector<std::wstring> entries;
  for (int i = 0; i < 40; ++i) entries.push_back(i % 2 ? L"50 ms" : L"A   Dn");
  ConfirmMacro(s.ini, s.path, L"One", entries, s.config);
  EXPECT_EQ(s.files.writeCount, 1);  // was 41: ItemCount and every entry on its own
  ConfirmMacro(s.ini, s.path, L"One", {L"B   Dn"}, s.config);  // 39 surplus keys removed with it
  EXPECT_EQ(s.files.writeCount, 2);
  EXPECT_EQ(s.ini.Get(s.path, L"One", L"Item1"), L"");
  ConfirmMacro(s.ini, s.path, L"Two", entries, s.config);
  ASSERT_TRUE(ReplaceAllMacros(s.ini, s.path, {{L"Three", entries}, {L"Four", {L"C   Up"}}}));
  EXPECT_EQ(s.files.writeCount, 4);
  EXPECT_THAT(MacroNames(s.ini, s.path), ElementsAre(L"Three", L"Four"));
  EXPECT_EQ(ReadMacroEntries(s.ini, s.path, L"Three"), entries);
  std::wstring texts[16];
  EXPECT_EQ(DeleteMacro(s.ini, s.path, L"Three", {{s.config, texts}}, L"Key Off"), MacroDeleteResult::kDeleted);
  EXPECT_EQ(s.files.writeCount, 5);
  EXPECT_EQ(DeleteMacro(s.ini, s.path, L"Never", {{s.config, texts}}, L"Key Off"), MacroDeleteResult::kNotInFile);

  // Refused: the file, the slots and the bindings stay as they were.
  const std::vector<uint8_t> file = s.files.files.at(s.path);
  const DeviceConfig config = s.config;
  s.files.failWritesWith = 28;
  const ConfirmResult refused = ConfirmMacro(s.ini, s.path, L"Four", entries, s.config);
  EXPECT_FALSE(refused.written);
  EXPECT_EQ(DeleteMacro(s.ini, s.path, L"Four", {{s.config, texts}}, L"Key Off"), MacroDeleteResult::kRefused);
  EXPECT_FALSE(ReplaceAllMacros(s.ini, s.path, {}));
  EXPECT_EQ(s.files.files.at(s.path), file);
  EXPECT_EQ(std::memcmp(&config, &s.config, sizeof config), 0);
}

TEST(MacroStore, TheFuzzedConfirmThatTookAMinuteIsFast) {
  // The shape of the fuzz finding: record.ini with damaged counts of up to a
  // thousand entries, and Confirms of long sequences on it. Each entry was a
  // whole copy and replacement of the file.
  Store s;
  std::vector<std::wstring> entries;
  for (int i = 0; i < kMacroEntryLimit; ++i) entries.push_back(i % 2 ? L"1300 ms" : L"Z   Up");
  const auto start = std::chrono::steady_clock::now();
  for (int m = 0; m < kMacroLimit; ++m) ConfirmMacro(s.ini, s.path, L"M" + std::to_wstring(m), entries, s.config);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(s.files.writeCount, kMacroLimit);
  EXPECT_LT(took, std::chrono::seconds(20));  // about a second here under the sanitizers; minutes before
}

// The memory file system, stopped at its n-th operation: "kill" ends the
// program there (the operation does not happen), "fail" makes it and every
// later one fail as a full disk or a vanished folder would.
struct Killed {};
class StoppingFileSystem final : public ConfigFileSystem {
 public:
  enum class Mode { kKill, kFail };
  StoppingFileSystem(MemoryFileSystem& files, int stopAt, Mode mode) : files_(files), stopAt_(stopAt), mode_(mode) {}
  bool Exists(const std::wstring& path) override { return Go() && files_.Exists(path); }
  FileRead Read(const std::wstring& path, size_t limit) override {
    if (!Go()) return FileRead{};
    return files_.Read(path, limit);
  }
  int WriteReplace(const std::wstring& path, const std::vector<uint8_t>& bytes) override {
    if (!Go()) return 5;
    return files_.WriteReplace(path, bytes);
  }
  std::optional<std::vector<std::wstring>> ListFiles(const std::wstring& folder) override {
    if (!Go()) return std::nullopt;
    return files_.ListFiles(folder);
  }
  int CreateFolder(const std::wstring& folder) override { return Go() ? files_.CreateFolder(folder) : 5; }
  int Remove(const std::wstring& path) override { return Go() ? files_.Remove(path) : 5; }
  int Rename(const std::wstring& from, const std::wstring& to) override {
    return Go() ? files_.Rename(from, to) : 5;
  }
  bool stopped() const { return done_ > stopAt_; }

 private:
  bool Go() {
    if (done_++ < stopAt_) return true;
    if (mode_ == Mode::kKill) throw Killed{};
    return false;
  }
  MemoryFileSystem& files_;
  const int stopAt_;
  const Mode mode_;
  int done_ = 0;
};

// Runs `change` on record.ini stopped at every operation in turn until it
// runs whole; each time the file must be the one before or the one after it.
void ExpectAllOrNothing(const std::vector<uint8_t>& before,
                        const std::function<bool(IniStore&, DeviceConfig&)>& change) {
  std::vector<uint8_t> after;
  {
    MemoryFileSystem files;
    files.files[L"record.ini"] = before;
    FileIniStore ini(files);
    DeviceConfig config = FactoryConfig();
    ASSERT_TRUE(change(ini, config));
    after = files.files.at(L"record.ini");
    ASSERT_NE(after, before);
  }
  for (StoppingFileSystem::Mode mode : {StoppingFileSystem::Mode::kKill, StoppingFileSystem::Mode::kFail}) {
    for (int stopAt = 0;; ++stopAt) {
      MemoryFileSystem files;
      files.files[L"record.ini"] = before;
      StoppingFileSystem stopping(files, stopAt, mode);
      FileIniStore ini(stopping);
      DeviceConfig config = FactoryConfig();
      bool reported = false;
      try {
        reported = change(ini, config);
      } catch (const Killed&) {
      }
      const std::vector<uint8_t>& now = files.files.at(L"record.ini");
      EXPECT_TRUE(now == before || now == after) << "stopped at operation " << stopAt;
      if (mode == StoppingFileSystem::Mode::kFail && !reported) {
        EXPECT_EQ(now, before) << "failed at " << stopAt;
      }
      if (!stopping.stopped()) break;
    }
  }
}

TEST(MacroStore, ConfirmDeleteAndImportStoppedAnywhereLeaveTheFileBeforeOrAfter) {
  MemoryFileSystem seed;
  FileIniStore seedIni(seed);
  DeviceConfig seedConfig = FactoryConfig();
  for (const wchar_t* name : {L"One", L"Two", L"Three"})
    ConfirmMacro(seedIni, L"record.ini", name, {L"A   Dn", L"50 ms", L"A   Up", L"50 ms"}, seedConfig);
  const std::vector<uint8_t> before = seed.files.at(L"record.ini");
  std::vector<std::wstring> longer;
  for (int i = 0; i < 30; ++i) longer.push_back(i % 2 ? L"20 ms" : L"B   Dn");

  ExpectAllOrNothing(before, [&](IniStore& ini, DeviceConfig& config) {
    return ConfirmMacro(ini, L"record.ini", L"Two", longer, config).written;
  });
  ExpectAllOrNothing(before, [&](IniStore& ini, DeviceConfig& config) {
    return ConfirmMacro(ini, L"record.ini", L"Two", {L"C   Dn"}, config).written;  // surplus keys removed
  });
  ExpectAllOrNothing(before, [&](IniStore& ini, DeviceConfig& config) {
    return ConfirmMacro(ini, L"record.ini", L"Four", longer, config).written;
  });
  ExpectAllOrNothing(before, [&](IniStore& ini, DeviceConfig& config) {
    std::wstring texts[16];
    return DeleteMacro(ini, L"record.ini", L"One", {{config, texts}}, L"Key Off") == MacroDeleteResult::kDeleted;
  });
  ExpectAllOrNothing(before, [&](IniStore& ini, DeviceConfig&) {
    return ReplaceAllMacros(ini, L"record.ini", {{L"Five", longer}, {L"Six", {L"D   Up"}}});
  });
}

TEST(MacroStore, ImportReplacesSectionsNoNameAddressesSoSlotsMatchPositions) {
  Store s;
  const std::string text = "[ Fire ]\r\nItemCount=1\r\nItem0=A   Dn\r\n[]\r\nItemCount=1\r\n";
  s.files.files[s.path] = std::vector<uint8_t>(text.begin(), text.end());
  ASSERT_TRUE(ReplaceAllMacros(s.ini, s.path, {{L"New", {L"B   Dn"}}}));
  // Left in front, " Fire " would make "New" the second macro, played from slot 1.
  EXPECT_THAT(MacroNames(s.ini, s.path), ElementsAre(L"New"));
  EXPECT_EQ(s.ini.Get(s.path, L"New", L"ItemCount"), L"1");
}

TEST(MacroStore, DeleteMovesLaterSlotsAndBindingsAlong) {
  Store s;
  for (const wchar_t* name : {L"One", L"Two", L"Three"}) ConfirmMacro(s.ini, s.path, name, {L"A   Dn"}, s.config);
  SetSlotLoopCount(s.config, 2, 9);
  std::wstring texts[16];
  // Button 1 plays "Two", button 2 "Three" (Mode A), button 3 "Three" in Mode B.
  s.config.modeA.functionIndex[0] = 13;
  s.config.modeA.macroIndex[0] = 1;
  s.config.modeA.functionIndex[1] = 13;
  s.config.modeA.macroIndex[1] = 2;
  s.config.modeB.functionIndex[2] = 13;
  s.config.modeB.macroIndex[2] = 2;
  texts[0] = L"Macro Key-Two";
  DeviceConfig committed = s.config;
  std::wstring committedTexts[16];
  DeleteMacro(s.ini, s.path, L"two", {{s.config, texts}, {committed, committedTexts}}, L"Key Off");
  EXPECT_THAT(MacroNames(s.ini, s.path), ElementsAre(L"One", L"Three"));
  for (DeviceConfig* c : {&s.config, &committed}) {
    EXPECT_EQ(SlotLoopCount(*c, 1), 9);  // "Three" and its loop count moved down
    EXPECT_EQ(SlotLoopCount(*c, 2), 0);
    EXPECT_EQ(c->modeA.functionIndex[0], 15);
    EXPECT_EQ(c->modeA.macroIndex[1], 1);
    EXPECT_EQ(c->modeB.macroIndex[2], 1);
  }
  EXPECT_EQ(texts[0], L"Key Off");
  EXPECT_EQ(committedTexts[0], L"Key Off");
}

TEST(MacroStore, DeletingASectionTheFileKeepsMovesNothing) {
  Store s;
  // Hand-edited: listed as " Fire ", looked up as "Fire", so it cannot be removed.
  s.files.files[s.path] = {'[', ' ', 'F', 'i', 'r', 'e', ' ', ']', '\n', '[', 'B', ']', '\n'};
  s.config.modeA.functionIndex[0] = 13;
  s.config.modeA.macroIndex[0] = 1;  // "B"
  SetSlotLoopCount(s.config, 1, 4);
  std::wstring texts[16];
  EXPECT_EQ(DeleteMacro(s.ini, s.path, L" Fire ", {{s.config, texts}}, L"Key Off"), MacroDeleteResult::kRefused);
  EXPECT_THAT(MacroNames(s.ini, s.path), ElementsAre(L" Fire ", L"B"));
  EXPECT_EQ(s.config.modeA.macroIndex[0], 1);  // was 0: "B"'s binding moved onto " Fire "
  EXPECT_EQ(SlotLoopCount(s.config, 1), 4);
}

TEST(MacroStore, ConfirmStoresNoMoreEntriesThanAMacroIsReadUpTo) {
  // A sequence read up to the limit, with keys recorded after it: the file
  // would hold entries no read gives back, and their events were lost silently.
  Store s;
  std::vector<std::wstring> entries(kMacroEntryLimit, L"");
  entries[0] = L"A   Dn";
  entries.push_back(L"B   Dn");
  entries.push_back(L"50 ms");
  const ConfirmResult result = ConfirmMacro(s.ini, s.path, L"Long", entries, s.config);
  ASSERT_TRUE(result.written);
  EXPECT_EQ(s.ini.Get(s.path, L"Long", L"ItemCount"), std::to_wstring(kMacroEntryLimit));
  EXPECT_EQ(s.ini.Get(s.path, L"Long", L"Item" + std::to_wstring(kMacroEntryLimit)), L"");
  EXPECT_EQ(ReadMacroEntries(s.ini, s.path, L"Long").size(), static_cast<size_t>(kMacroEntryLimit));
  EXPECT_EQ(result.encoding.eventsWritten, 1);
  EXPECT_TRUE(result.encoding.cut());  // "B" is told of
}

TEST(MacroStore, AnItemCountBeyondTheLimitReadsOnlyTheLimit) {
  Store s;
  s.ini.Write(s.path, L"Big", L"ItemCount", L"99999999");
  s.ini.Write(s.path, L"Big", L"Item0", L"A   Dn");
  const std::vector<std::wstring> entries = ReadMacroEntries(s.ini, s.path, L"Big");
  ASSERT_EQ(entries.size(), static_cast<size_t>(kMacroEntryLimit));  // one read per entry, not 100000
  EXPECT_EQ(entries[0], L"A   Dn");
}

TEST(MacroStore, TwelveLongNamesAreAllListedAndAThirteenthIsNot) {
  Store s;
  for (int i = 0; i < 13; ++i) {
    const std::wstring name = std::wstring(29, L'm') + (i < 10 ? L"0" : L"") + std::to_wstring(i);
    s.ini.Write(s.path, name, L"ItemCount", L"0");
  }
  const std::vector<std::wstring> names = MacroNames(s.ini, s.path);
  ASSERT_EQ(names.size(), 12u);  // 12 x 32 characters: past a 255-character listing
  EXPECT_EQ(names[11].substr(29), L"11");
}

TEST(MacroStore, NamesAndLoopCounts) {
  std::vector<std::wstring> listed = {L"Fire"};
  EXPECT_EQ(CheckNewMacroName(listed, L""), MacroNameCheck::Blank);
  EXPECT_EQ(CheckNewMacroName(listed, L"   "), MacroNameCheck::Invalid);
  EXPECT_EQ(CheckNewMacroName(listed, L"a[b]"), MacroNameCheck::Invalid);
  EXPECT_EQ(CheckNewMacroName(listed, std::wstring(32, L'x')), MacroNameCheck::Invalid);
  EXPECT_EQ(CheckNewMacroName(listed, L"FIRE"), MacroNameCheck::Exists);
  // record.ini files these under "Fire" or under no name at all: Confirm
  // would overwrite "Fire" or write nothing.
  EXPECT_EQ(CheckNewMacroName(listed, L"Fire "), MacroNameCheck::Exists);
  EXPECT_EQ(CheckNewMacroName(listed, L"\v"), MacroNameCheck::Invalid);
  listed.resize(12, L"m");
  EXPECT_EQ(CheckNewMacroName(listed, L"New"), MacroNameCheck::Full);
  EXPECT_EQ(CheckLoopCount(L"0").value, 1);
  EXPECT_TRUE(CheckLoopCount(L"70000").corrected);
  EXPECT_TRUE(CheckLoopCount(L"").corrected);
  EXPECT_EQ(CheckLoopCount(L"65535").value, 65535);
  EXPECT_EQ(DelayOfEntry(L"1280 ms"), 1280u);
  EXPECT_EQ(DelayOfEntry(L"A   Dn"), 0u);
}

}  // namespace
}  // namespace kovral::testing
