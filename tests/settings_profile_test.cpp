#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "macro/macro_store.h"
#include "settings/config_file.h"
#include "settings/ini_store.h"
#include "settings/profile.h"
#include "settings/text_encoding.h"
#include "settings_memory_fs.h"

namespace kovral {
namespace {

using testing::MemoryFileSystem;

const std::wstring kRecord = L"record.ini";
const std::wstring kStr = L"str.ini";

class Random {
 public:
  explicit Random(uint32_t seed) : rng_(seed) {}
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  // Letters, digits, punctuation and Chinese, never white space at either end
  // and never enclosed in a pair of quotes: the INI store trims the one and
  // drops the other when it reads, as the system's profile functions do, so
  // such a value is never what a file holds.
  std::wstring Text(int maxLength) {
    static const std::wstring kChars = L"abcXYZ019 -_.,:=()\"'#;[]\\中文設定鼠標按鍵宏左键右鍵";
    std::wstring t;
    for (int n = Int(0, maxLength); n > 0; --n) t += kChars[static_cast<size_t>(Int(0, int(kChars.size()) - 1))];
    while (!t.empty() && t.back() == L' ') t.pop_back();
    while (!t.empty() && t.front() == L' ') t.erase(0, 1);
    if (t.size() >= 2 && (t.front() == L'"' || t.front() == L'\'') && t.back() == t.front()) t.back() = L'x';
    return t;
  }

 private:
  std::mt19937 rng_;
};

DeviceConfig RandomConfig(Random& r) {
  DeviceConfig c;
  uint8_t* bytes = reinterpret_cast<uint8_t*>(&c);
  for (size_t i = 0; i < sizeof c; ++i) bytes[i] = static_cast<uint8_t>(r.Int(0, 255));
  const uint8_t rates[] = {1, 2, 4, 8};
  c.reportRate = rates[r.Int(0, 3)];
  c.editedMode = static_cast<uint8_t>(r.Int(0, 1));
  for (int s = 0; s < kDpiStageCount; ++s) {
    c.dpiLevel[s] = static_cast<uint8_t>(r.Int(0, 11));
    c.dpiEnabled[s] = static_cast<uint8_t>(r.Int(0, 1));
  }
  c.lightMode = static_cast<uint8_t>(r.Int(0, 3));
  c.lightBrightness = static_cast<uint8_t>(r.Int(0, 9));
  c.respirationPeriod = static_cast<uint8_t>(r.Int(0, 4));
  c.neonPeriod = static_cast<uint8_t>(r.Int(0, 29));
  c.standardEffect = static_cast<uint8_t>(r.Int(0, 3));
  c.respirationEffect = static_cast<uint8_t>(r.Int(0, 3));
  c.neonEffect = static_cast<uint8_t>(r.Int(0, 3));
  c.enhancePrecision = static_cast<uint8_t>(r.Int(0, 1));
  c.scrollOneScreen = static_cast<uint8_t>(r.Int(0, 1));
  for (int mode = 0; mode < 2; ++mode) {
    AssignmentTable& t = LayerTable(c, mode);
    for (int b = 0; b < kButtonCount; ++b) {
      t.functionIndex[b] = static_cast<uint8_t>(r.Int(0, 15));
      t.macroIndex[b] = static_cast<uint8_t>(r.Int(0, 11));
      t.macroMode[b] = static_cast<uint8_t>(r.Int(0, 2));
      LayerDpiAction(c, mode)[b] = static_cast<uint8_t>(r.Int(0, 3));
    }
  }
  return c;
}

std::wstring RandomEntry(Random& r) {
  const wchar_t* keys[] = {L"A", L"Z", L"L-Button", L"Enter", L"F12", L"Num 5"};
  switch (r.Int(0, 5)) {
    case 0: return DownEntry(keys[r.Int(0, 5)]);
    case 1: return UpEntry(keys[r.Int(0, 5)]);
    case 2: return std::to_wstring(r.Int(0, 30000)) + L" ms";
    case 3: return DownEntry(r.Text(8) + L"x");
    default: return r.Text(20);
  }
}

// The files as the program leaves them: record.ini written as Confirm writes
// a macro, str.ini's three language sections in key order.
void WriteFiles(Random& r, MemoryFileSystem& fs, ProfileData& p) {
  FileIniStore ini(fs);
  const int count = r.Int(0, 12);
  for (int m = 0; m < count; ++m) {
    // A section name cannot hold brackets; the macro panel refuses them.
    std::wstring name = L"M" + std::to_wstring(m) + r.Text(6) + L"宏";
    std::replace_if(name.begin(), name.end(), [](wchar_t c) { return c == L'[' || c == L']'; }, L'_');
    std::vector<std::wstring> entries;
    for (int n = r.Int(0, 30); n > 0; --n) entries.push_back(RandomEntry(r));
    ini.Write(kRecord, name, L"ItemCount", std::to_wstring(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) ini.Write(kRecord, name, L"Item" + std::to_wstring(i), entries[i]);
    // Half the slots hold what their entries encode to, the rest stray bytes.
    if (r.Int(0, 1)) EncodeMacroSlot(entries, p.config.macroSlots[m]);
  }
  if (r.Int(0, 3) == 0) std::memset(p.config.macroSlots[11], 0, kMacroSlotSize);
  for (int lang = 0; lang < kProfileLanguageCount; ++lang)
    for (int i = 0; i < kButtonTextCount; ++i) ini.Write(kStr, kProfileTextSections[lang], ButtonTextKey(i), r.Text(12));
}

TEST(SettingsProfile, ExportThenImportReproducesEveryFileByteForByte) {
  Random r(20261208);
  constexpr int kRecords = 120;
  for (int round = 0; round < kRecords; ++round) {
    SCOPED_TRACE(round);
    MemoryFileSystem original;
    ProfileData source;
    source.config = RandomConfig(r);
    source.configFlag = static_cast<uint8_t>(r.Int(0, 1));
    WriteFiles(r, original, source);
    FileIniStore originalIni(original);
    ReadProfileFiles(originalIni, original, kRecord, kStr, source);
    const std::string text = ExportProfile(source);

    const ProfileImport imported = ImportProfile(text);
    ASSERT_TRUE(imported.profile) << imported.error << "\n" << text;
    MemoryFileSystem copy;
    // An earlier record.ini with other macros must give way entirely.
    FileIniStore copyIni(copy);
    copyIni.Write(kRecord, L"Old", L"ItemCount", L"1");
    copyIni.Write(kRecord, L"Old", L"Item0", L"A   Dn");
    ASSERT_TRUE(WriteProfileIniFiles(copyIni, kRecord, kStr, *imported.profile));
    EXPECT_EQ(ConfigFileBytes(imported.profile->config, imported.profile->configFlag),
              ConfigFileBytes(source.config, source.configFlag));
    if (source.macros.empty()) {
      EXPECT_TRUE(copyIni.SectionNames(kRecord).empty());
    } else {
      EXPECT_EQ(copy.files[kRecord], original.files[kRecord]);
    }
    EXPECT_EQ(copy.files[kStr], original.files[kStr]);
    // The text itself is stable: exporting the import gives the same profile.
    EXPECT_EQ(ExportProfile(*imported.profile), text);
  }
}

// Each mistake names its line; the first line of the profile is line 1.
TEST(SettingsProfile, BadProfilesAreRefusedWithTheirLine) {
  ProfileData p;
  p.config.reportRate = 1;
  const std::string good = ExportProfile(p);
  ASSERT_TRUE(ImportProfile(good).profile) << ImportProfile(good).error;
  auto lineOf = [&](const std::string& key) {
    const size_t at = good.find("\n" + key);
    return static_cast<int>(std::count(good.begin(), good.begin() + static_cast<long>(at) + 1, '\n')) + 1;
  };
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string t = good;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  struct Case {
    std::string text, error;
  };
  const Case cases[] = {
      {replaced("stage3.level = 1", "stage3.level = 15"),
       "line " + std::to_string(lineOf("stage3.level")) + ": DPI stage 3 level 15 is out of range 1-12"},
      {replaced("report_rate = 1000 Hz", "report_rate = 300 Hz"),
       "line " + std::to_string(lineOf("report_rate")) + ": report rate '300 Hz' is not one of 125, 250, 500, 1000 Hz"},
      {replaced("version = 1", "version = 2"), "line 4: profile version 2 is not the version this program reads (1)"},
      {replaced("[texts.EN]", "[macro.2]\nname = X\nloop = 1\n[texts.EN]"),
       "line " + std::to_string(lineOf("[texts.EN]")) +
           ": macro 2 has a name but macro 1 has none: named macros fill the slots from 1 on"},
      {replaced("function = left_click", "function = jump"),
       "line " + std::to_string(lineOf("function")) +
           ": mode A button 1 function 'jump' is not one of left_click, right_click, middle_click, forward, "
           "backward, triple_click, dpi_switch, light_toggle, windows, multimedia, fire_key, single_key, "
           "combo_key, macro_key, shift, key_off"},
      {replaced("neon_effect = 0\n", ""), "line " + std::to_string(lineOf("[lighting]")) + ": [lighting] neon_effect is missing"},
  };
  for (const Case& c : cases) {
    const ProfileImport result = ImportProfile(c.text);
    EXPECT_FALSE(result.profile);
    EXPECT_EQ(result.error, c.error);
  }
}

}  // namespace
}  // namespace kovral
