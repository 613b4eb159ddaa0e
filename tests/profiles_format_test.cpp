#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "macro/macro_store.h"
#include "settings/config_file.h"
#include "settings/ini_store.h"
#include "profiles/profile.h"
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

// Random bytes everywhere, or (when `inRange`) the values the program's own
// lists give wherever they are narrower than a byte.
DeviceConfig RandomConfig(Random& r, bool inRange) {
  DeviceConfig c;
  uint8_t* bytes = reinterpret_cast<uint8_t*>(&c);
  for (size_t i = 0; i < sizeof c; ++i) bytes[i] = static_cast<uint8_t>(r.Int(0, 255));
  if (!inRange) return c;
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
    source.config = RandomConfig(r, round % 2 == 0);
    source.configFlag = static_cast<uint8_t>(r.Int(0, 255));
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

// The programs a profile is for are optional [profile] lines: a profile
// without them is the text every earlier export wrote, one with them reads
// back with their spelling and order, and a bad or repeated one is refused at
// its line like any other value.
TEST(SettingsProfile, ProgramLinesAreOptionalAndCheckedLikeEveryValue) {
  ProfileData p;
  p.config.reportRate = 1;
  const std::string without = ExportProfile(p);
  EXPECT_EQ(without.find("program"), std::string::npos);
  ASSERT_TRUE(ImportProfile(without).profile);
  EXPECT_TRUE(ImportProfile(without).profile->programs.empty());

  p.programs = {L"Game.exe", L"\u6e38\u620f.exe", L"other game.EXE"};
  const std::string with = ExportProfile(p);
  const ProfileImport back = ImportProfile(with);
  ASSERT_TRUE(back.profile) << back.error;
  EXPECT_EQ(back.profile->programs, p.programs);
  EXPECT_EQ(ExportProfile(*back.profile), with);
  // Nothing but the program lines differs from the export without them.
  std::string stripped = with;
  for (size_t at; (at = stripped.find("program = ")) != std::string::npos;)
    stripped.erase(at, stripped.find('\n', at) - at + 1);
  EXPECT_EQ(stripped, without);

  const int programLine = 5;  // after the header comments, [profile], version and config_flag
  auto withLine = [&](const std::string& line) {
    std::string t = without;
    t.insert(t.find("config_flag"), line + "\n");
    return t;
  };
  ASSERT_TRUE(ImportProfile(withLine("program = a.exe")).profile);
  struct Case {
    std::string line, error;
  };
  const Case cases[] = {
      {"program = ", "program name is empty"},
      {"program = bin/game.exe", "program name 'bin/game.exe' holds '/', which a file name cannot hold"},
      {"program = game?.exe", "program name 'game?.exe' holds '?', which a file name cannot hold"},
      {"program = CON.exe", "program name 'CON.exe' is a name Windows reserves for a device"},
      {"program = a.exe\nprogram = A.EXE", "program 'A.EXE' appears twice in [profile]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ProfileImport result = ImportProfile(withLine(c.line));
    EXPECT_FALSE(result.profile);
    const int line = programLine + static_cast<int>(std::count(c.line.begin(), c.line.end(), '\n'));
    EXPECT_EQ(result.error, "line " + std::to_string(line) + ": " + c.error);
  }
}

// What Windows cannot keep as a file name is refused before any file is made:
// each rule on its own, beside names that only just pass it.
TEST(SettingsProfile, FileNamesWindowsCannotHoldAreRefused) {
  const std::pair<std::wstring, std::string> refused[] = {
      {L"", "x is empty"},
      {L"   ", "x is empty"},
      {L"a<b", "x 'a<b' holds '<', which a file name cannot hold"},
      {L"a|b", "x 'a|b' holds '|', which a file name cannot hold"},
      {L"a\\b", "x 'a\\b' holds '\\', which a file name cannot hold"},
      {L"a\"b", "x 'a\"b' holds '\"', which a file name cannot hold"},
      {L"a:b", "x 'a:b' holds ':', which a file name cannot hold"},
      {L"a*", "x 'a*' holds '*', which a file name cannot hold"},
      {L"a\tb", "x holds a control character"},
      {std::wstring(L"a\0b", 3), "x holds a control character"},
      {L"name.", "x 'name.' ends in a dot, which Windows drops from file names"},
      {L"name ", "x 'name ' ends in a space, which Windows drops from file names"},
      {L"nul", "x 'nul' is a name Windows reserves for a device"},
      {L"Com7", "x 'Com7' is a name Windows reserves for a device"},
      {L"LPT1 .txt", "x 'LPT1 .txt' is a name Windows reserves for a device"},
      {L"aux.tar.gz", "x 'aux.tar.gz' is a name Windows reserves for a device"},
      {std::wstring(11, L'n'), "x 'nnnnnnnnnnn' is longer than 10 characters"},
  };
  for (const auto& [name, error] : refused) EXPECT_EQ(FileNameProblem(name, 10, "x"), error) << ToUtf8(name);
  for (const std::wstring& name : std::vector<std::wstring>{L"console", L"COM", L"com10", L"lpt", L"nul_", L".hidden", L"a.b c",
                                  L"\u4e2d\u6587", std::wstring(10, L'n')})
    EXPECT_EQ(FileNameProblem(name, 10, "x"), "") << ToUtf8(name);
  EXPECT_TRUE(SameFileName(L"\u00c9T\u00c9.EXE", L"\u00e9t\u00e9.exe"));
  EXPECT_TRUE(SameFileName(L"\u0418\u0413\u0420\u0410", L"\u0438\u0433\u0440\u0430"));
  EXPECT_FALSE(SameFileName(L"game.exe", L"game.ex"));
  // Windows takes these for one name too: Latin Extended-A and -B (the pairs
  // alternate, with exceptions), full-width forms, Armenian, Georgian, the
  // Kelvin sign; each pair was a second file the disk did not allow.
  const std::pair<std::wstring, std::wstring> same[] = {
      {L"\u0141ucznik", L"\u0142ucznik"},  // Łucznik
      {L"\u010c\u0160\u017d", L"\u010d\u0161\u017e"},
      {L"\u0178", L"\u00ff"},                          // Ÿ ÿ, far apart
      {L"\u01c4\u01c5", L"\u01c6\u01c6"},             // DŽ Dž dž
      {L"\u0187\u01a0\u0220", L"\u0188\u01a1\u019e"},  // irregular Latin Extended-B
      {L"\uff27\uff21\uff2d\uff25", L"\uff47\uff41\uff4d\uff45"},  // ＧＡＭＥ
      {L"\u0531\u0556", L"\u0561\u0586"},
      {L"\u10a0", L"\u2d00"},
      {L"\u212a", L"k"},
      {L"\u03c2", L"\u03a3"},  // final sigma
      {L"\u1e9e", L"\u00df"},
  };
  for (const auto& [a, b] : same) {
    EXPECT_TRUE(SameFileName(a, b)) << ToUtf8(a) << " " << ToUtf8(b);
    EXPECT_EQ(FoldFileNameCase(a), FoldFileNameCase(b)) << ToUtf8(a);
  }
  // Lower case letters next to folded ones, digits, marks and other scripts stay.
  for (const std::wstring& name : std::vector<std::wstring>{L"\u0142\u0101\u0188\u00e9\u0300", L"\u4e2d\u0661\uff10",
                                                             L"\u00df\u0131", L"\uff41"})
    EXPECT_EQ(FoldFileNameCase(name), name) << ToUtf8(name);
  EXPECT_FALSE(SameFileName(L"\u0141", L"L"));
  EXPECT_FALSE(SameFileName(L"\u00df", L"ss"));
}

// A profile names at most kProfileProgramLimit programs: the line past the
// bound is refused as any other mistake, and a file of many thousand lines
// is read no further (it took minutes when every line was compared with all
// the earlier ones).
TEST(SettingsProfile, ProgramsAreBoundedAndATwiceNamedOneIsFoundInAnySpelling) {
  ProfileData p;
  for (size_t i = 0; i < kProfileProgramLimit; ++i) p.programs.push_back(L"game" + std::to_wstring(i) + L".exe");
  const std::string most = ExportProfile(p);
  const ProfileImport read = ImportProfile(most);
  ASSERT_TRUE(read.profile) << read.error;
  EXPECT_EQ(read.profile->programs.size(), kProfileProgramLimit);

  const size_t firstProgram = most.find("program = ");
  const int firstLine = static_cast<int>(std::count(most.begin(), most.begin() + firstProgram, '\n')) + 1;
  std::string more = most;
  more.insert(firstProgram, "program = extra.exe\n");
  EXPECT_EQ(ImportProfile(more).error, "line " + std::to_string(firstLine + static_cast<int>(kProfileProgramLimit)) +
                                           ": a profile is for at most 256 programs");

  std::string many = ExportProfile(ProfileData{});
  std::string lines;
  for (int i = 0; i < 20000; ++i) lines += "program = g" + std::to_string(i) + ".exe\n";
  many.insert(many.find("config_flag"), lines);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(ImportProfile(many).error.find(": a profile is for at most 256 programs"), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  std::string twice = ExportProfile(ProfileData{});
  twice.insert(twice.find("config_flag"), "program = \u0141ucznik.exe\nprogram = a.exe\nprogram = \u0142UCZNIK.EXE\n");
  EXPECT_NE(ImportProfile(twice).error.find("program '\u0142UCZNIK.EXE' appears twice in [profile]"), std::string::npos)
      << ImportProfile(twice).error;
}

// Every config.bin the program loads comes back byte for byte from its
// export, however far its bytes lie outside the interface's lists; the text
// is then stable too.
TEST(SettingsProfile, ExportThenImportGivesBackEveryConfigBinTheProgramLoads) {
  std::mt19937 rng(20261209);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 500; ++round) {
    SCOPED_TRACE(round);
    MemoryFileSystem files;
    std::vector<uint8_t> file(kConfigFileSize);
    for (uint8_t& b : file) b = static_cast<uint8_t>(byte(rng));
    files.files[L"config.bin"] = file;
    RecordingMessageSink messages;
    ProfileData source;
    ASSERT_EQ(LoadConfig(files, messages, L"config.bin", source.config, source.configFlag), ConfigLoadResult::kLoaded);
    FileIniStore ini(files);
    ReadProfileFiles(ini, files, kRecord, kStr, source);
    const std::string text = ExportProfile(source);
    const ProfileImport imported = ImportProfile(text);
    ASSERT_TRUE(imported.profile) << imported.error;
    ASSERT_EQ(ConfigFileBytes(imported.profile->config, imported.profile->configFlag), file);
    EXPECT_EQ(ExportProfile(*imported.profile), text);
  }
}

ProfileData ProfileWith(void (*edit)(DeviceConfig&)) {
  ProfileData p;
  p.config.reportRate = 1;
  p.config.lightMode = 1;
  edit(p.config);
  return p;
}

// A stored byte outside a field's words is written as "byte N" ("interval N"
// for the report rate) and read back as that byte; any other spelling, and
// the word for a byte that has a name of its own, is still refused.
TEST(SettingsProfile, OutOfRangeWordsImportToTheBytesTheyCameFrom) {
  struct Golden {
    std::string line;
    void (*edit)(DeviceConfig&);
  };
  const Golden golden[] = {
      {"report_rate = interval 79\n", [](DeviceConfig& c) { c.reportRate = 79; }},
      {"report_rate = interval 0\n", [](DeviceConfig& c) { c.reportRate = 0; }},
      {"edited_mode = byte 2\n", [](DeviceConfig& c) { c.editedMode = 2; }},
      {"stage1.level = byte 12\n", [](DeviceConfig& c) { c.dpiLevel[0] = 12; }},
      {"stage4.enabled = byte 255\n", [](DeviceConfig& c) { c.dpiEnabled[3] = 255; }},
      {"mode = byte 4\n", [](DeviceConfig& c) { c.lightMode = 4; }},
      {"brightness = byte 10\n", [](DeviceConfig& c) { c.lightBrightness = 10; }},
      {"respiration_period = byte 5\n", [](DeviceConfig& c) { c.respirationPeriod = 5; }},
      {"neon_period = byte 30\n", [](DeviceConfig& c) { c.neonPeriod = 30; }},
      {"neon_effect = byte 4\n", [](DeviceConfig& c) { c.neonEffect = 4; }},
      {"enhance_precision = byte 2\n", [](DeviceConfig& c) { c.enhancePrecision = 2; }},
      {"function = byte 16\n", [](DeviceConfig& c) { c.modeA.functionIndex[0] = 16; }},
      {"dpi_action = byte 4\n", [](DeviceConfig& c) { c.dpiActionA[0] = 4; }},
      {"macro = byte 12\n", [](DeviceConfig& c) { c.modeA.macroIndex[0] = 12; }},
      {"macro_mode = byte 3\n", [](DeviceConfig& c) { c.modeA.macroMode[0] = 3; }},
  };
  for (const Golden& g : golden) {
    SCOPED_TRACE(g.line);
    const ProfileData p = ProfileWith(g.edit);
    const std::string text = ExportProfile(p);
    EXPECT_NE(text.find("\n" + g.line), std::string::npos) << text;
    // Written by hand, in other case and spacing, the line means the same byte.
    std::string typed = ExportProfile(ProfileWith([](DeviceConfig&) {}));
    const std::string key = g.line.substr(0, g.line.find(" = ") + 3);
    const size_t at = typed.find("\n" + key) + 1;
    std::string word = g.line.substr(key.size(), g.line.size() - key.size() - 1);
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    word.replace(word.find(' '), 1, " \t ");
    typed.replace(at, typed.find('\n', at) - at, key + word);
    for (const std::string& t : {text, typed}) {
      const ProfileImport imported = ImportProfile(t);
      ASSERT_TRUE(imported.profile) << imported.error;
      EXPECT_EQ(ConfigFileBytes(imported.profile->config, 1), ConfigFileBytes(p.config, 1));
    }
  }

  const std::string good = ExportProfile(ProfileWith([](DeviceConfig&) {}));
  auto refusal = [&](const std::string& from, const std::string& to) {
    std::string t = good;
    t.replace(t.find(from), from.size(), to);
    const ProfileImport imported = ImportProfile(t);
    EXPECT_FALSE(imported.profile) << to;
    const size_t colon = imported.error.find(": ");
    return colon == std::string::npos ? imported.error : imported.error.substr(colon + 2);
  };
  EXPECT_EQ(refusal("report_rate = 1000 Hz", "report_rate = interval 1"),
            "report rate 'interval 1' has a word of its own: write 1000 Hz");
  EXPECT_EQ(refusal("report_rate = 1000 Hz", "report_rate = interval 256"),
            "report rate 'interval 256' is not a stored byte (interval 0-255)");
  EXPECT_EQ(refusal("report_rate = 1000 Hz", "report_rate = byte 79"),
            "report rate 'byte 79' is not one of 125, 250, 500, 1000 Hz");
  EXPECT_EQ(refusal("edited_mode = A", "edited_mode = byte 1"), "edited mode 'byte 1' has a word of its own: write B");
  EXPECT_EQ(refusal("edited_mode = A", "edited_mode = 2"), "edited mode '2' is not one of A, B");
  EXPECT_EQ(refusal("edited_mode = A", "edited_mode = interval 2"), "edited mode 'interval 2' is not one of A, B");
  EXPECT_EQ(refusal("stage1.level = 1", "stage1.level = byte 0"),
            "DPI stage 1 level 'byte 0' has a word of its own: write 1");
  EXPECT_EQ(refusal("stage1.level = 1", "stage1.level = 13"), "DPI stage 1 level 13 is out of range 1-12");
  EXPECT_EQ(refusal("stage1.level = 1", "stage1.level = byte"), "DPI stage 1 level 'byte' is not a number");
  EXPECT_EQ(refusal("stage1.level = 1", "stage1.level = byte -1"),
            "DPI stage 1 level 'byte -1' is not a stored byte (byte 0-255)");
  EXPECT_EQ(refusal("enabled = off", "enabled = byte 1"),
            "DPI stage 1 enabled 'byte 1' has a word of its own: write on");
  EXPECT_EQ(refusal("enabled = off", "enabled = 2"), "DPI stage 1 enabled '2' is neither on nor off");
  EXPECT_EQ(refusal("speed = 0", "speed = byte 7"), "pointer speed 'byte 7' has a word of its own: write 7");
  EXPECT_EQ(refusal("media_usage = 0x00", "media_usage = byte 7"),
            "mode A button 1 media usage 'byte 7' is not a number from 0x00 to 0xFF");
}

// Control characters other than the tab and a CR before the line's end are
// refused where they stand: str.ini and record.ini could not keep them.
TEST(SettingsProfile, ControlCharactersAreRefusedWithTheirLine) {
  ProfileData p;
  p.config.reportRate = 1;
  p.macros.push_back({L"Mac", {DownEntry(L"A"), L"20 ms", UpEntry(L"A")}});
  p.texts[1][2] = L"tab\there";
  const std::string good = ExportProfile(p);
  auto lineOf = [&](const std::string& text) {
    const size_t at = good.find(text);
    return "line " + std::to_string(std::count(good.begin(), good.begin() + static_cast<long>(at), '\n') + 1) + ": ";
  };
  const std::string rule = "; a profile holds no control characters but tabs and its line ends";
  struct Case {
    std::string from, to, error;
  };
  const Case cases[] = {
      {"Item1 = \n", std::string("Item1 = left\rright\n"),
       lineOf("Item1 = \n") + "the line holds a carriage return (0x0D) that does not end the line" + rule},
      {"Item2 = \n", std::string("Item2 = a\0b\n", 12),
       lineOf("Item2 = \n") + "the line holds a NUL character (0x00)" + rule},
      {"Item3 = \n", "Item3 = x\x1B[31m\n", lineOf("Item3 = \n") + "the line holds the control character 0x1B" + rule},
      {"Item4 = \n", "Item4 = end\r\r\n",
       lineOf("Item4 = \n") + "the line holds a carriage return (0x0D) that does not end the line" + rule},
      {"name = Mac", "name = M\x01" "c", lineOf("name = Mac") + "the line holds the control character 0x01" + rule},
      {"entry = delay 20 ms", "entry = text 20\x0Bms",
       lineOf("entry = delay") + "the line holds the control character 0x0B" + rule},
      {"# Kovral profile", "# Kovral\x7F profile\x0C", "line 1: the line holds the control character 0x0C" + rule},
  };
  for (const Case& c : cases) {
    std::string t = good;
    t.replace(t.find(c.from), c.from.size(), c.to);
    const ProfileImport imported = ImportProfile(t);
    EXPECT_FALSE(imported.profile);
    EXPECT_EQ(imported.error, c.error);
  }

  // CR LF line ends and a tab inside a text are the format's own.
  std::string crlf;
  for (char c : good) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const ProfileImport imported = ImportProfile(crlf);
  ASSERT_TRUE(imported.profile) << imported.error;
  EXPECT_EQ(imported.profile->texts[1][2], L"tab\there");
  EXPECT_EQ(imported.profile->macros[0].entries, p.macros[0].entries);
}

// A hand-edited profile: hex bytes in any spacing and letter case read as
// the bytes they spell; a malformed value, a line twice, a missing line and
// bytes that are not UTF-8 are refused at their line.
TEST(SettingsProfile, HandEditedLinesAreReadOrRefusedAtTheirLine) {
  ProfileData p;
  p.config.reportRate = 1;
  p.macros.push_back({L"Mac", {DownEntry(L"A"), L"20 ms", UpEntry(L"A")}});
  for (size_t i = 2; i < kMacroSlotSize; ++i) p.config.macroSlots[0][i] = static_cast<uint8_t>(i * 37);
  p.config.dpiColor[0] = 0xAB, p.config.dpiColor[1] = 0x0C, p.config.dpiColor[2] = 0xF1;
  const std::string good = ExportProfile(p);
  ASSERT_TRUE(ImportProfile(good).profile) << ImportProfile(good).error;
  const size_t slotAt = good.find("slot = ") + 7;
  const std::string slotBytes = good.substr(slotAt, good.find('\n', slotAt) - slotAt);
  // "line N: " for the line `text` starts on, or `later` lines after it.
  auto lineOf = [&](const std::string& text, int later = 0) {
    const size_t at = good.find(text);
    const long line = std::count(good.begin(), good.begin() + static_cast<long>(at), '\n') + 1 + later;
    return "line " + std::to_string(line) + ": ";
  };
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string t = good;
    t.replace(t.find(from), from.size(), to);
    return t;
  };

  std::string packed, spread;  // no spaces at all; tabs, and a space inside a pair
  for (char c : slotBytes)
    if (c != ' ') packed += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (size_t i = 0; i < packed.size(); ++i) {
    if (i % 4 == 1) spread += ' ';
    else if (i % 2 == 0 && i > 0) spread += '\t';
    spread += packed[i];
  }
  for (const std::string& form : {packed, spread}) {
    const ProfileImport imported = ImportProfile(replaced(slotBytes, form));
    ASSERT_TRUE(imported.profile) << imported.error;
    EXPECT_EQ(std::memcmp(imported.profile->config.macroSlots[0], p.config.macroSlots[0], kMacroSlotSize), 0);
  }
  const ProfileImport colour = ImportProfile(replaced("color = AB0CF1", "color = ab0cF1"));
  ASSERT_TRUE(colour.profile) << colour.error;
  EXPECT_EQ(std::memcmp(colour.profile->config.dpiColor, p.config.dpiColor, 3), 0);

  const std::string slotError = lineOf("slot = ") + "macro 1 slot must be 126 hex bytes";
  const std::string withUtf8Error = replaced("Item5 = ", "Item5 = caf\xC3\xA9 ok");
  struct Case {
    std::string text, error;
  };
  const Case cases[] = {
      {replaced(slotBytes, slotBytes.substr(1)), slotError},                            // a digit short
      {replaced(slotBytes, slotBytes + " 7"), slotError},                               // a digit over
      {replaced(slotBytes, slotBytes.substr(3)), slotError},                            // a byte short
      {replaced(slotBytes, "0x" + slotBytes.substr(3)), slotError},                     // no prefix in pairs
      {replaced(slotBytes, "G" + slotBytes.substr(1)), slotError},                      // not a hex digit
      {replaced("color = AB0CF1", "color = AB 0C F1"),
       lineOf("color = AB0CF1") + "DPI stage 1 colour 'AB 0C F1' is not RRGGBB"},
      {replaced("color = AB0CF1", "color = AB0CF"), lineOf("color = AB0CF1") + "DPI stage 1 colour 'AB0CF' is not RRGGBB"},
      {replaced("report_rate = 1000 Hz\n", "report_rate = 1000 Hz\nREPORT_RATE = 500 Hz\n"),
       lineOf("report_rate", 1) + "'report_rate' appears twice in [device]"},
      {replaced("[texts.CHS]\nItem1 = \n", "[texts.CHS]\nItem1 = \nitem1 = x\n"),
       lineOf("[texts.CHS]", 2) + "'item1' appears twice in [texts.chs]"},
      {replaced("[texts.CHT]\nItem1 = \n", "[texts.CHT]\n"),
       lineOf("[texts.CHT]") + "[texts.CHT] Item1 is missing"},
      {replaced("Item5 = ", "Item5 = caf\xE9"), lineOf("Item5 = ") + "the text is not valid UTF-8"},
      {replaced("# Kovral profile", "# Kovral profile \xF0\x9F\x98"), "line 1: the text is not valid UTF-8"},
  };
  for (const Case& c : cases) {
    const ProfileImport imported = ImportProfile(c.text);
    EXPECT_FALSE(imported.profile);
    EXPECT_EQ(imported.error, c.error);
  }
  const ProfileImport utf8 = ImportProfile(withUtf8Error);
  ASSERT_TRUE(utf8.profile) << utf8.error;
  EXPECT_EQ(utf8.profile->texts[0][4], L"caf\u00E9 ok");
}

// The largest profile export can write, every value as long as the INI
// files keep it, stays within the size import reads, and imports.
TEST(SettingsProfile, TheLargestExportFitsTheSizeImportReads) {
  ProfileData p;
  for (int m = 0; m < kMacroSlotCount; ++m) {
    ProfileMacro macro{std::wstring(kMacroNameLimit - 2, L'\u5B8F') + std::to_wstring(10 + m), {}};
    macro.entries.assign(kMacroEntryLimit, std::wstring(kIniValueLimit, L'\u4E2D'));
    p.macros.push_back(std::move(macro));
  }
  for (auto& language : p.texts)
    for (std::wstring& text : language) text.assign(kIniValueLimit, L'\u4E2D');
  const std::string text = ExportProfile(p);
  EXPECT_GT(text.size(), size_t{36} << 20);
  EXPECT_LE(text.size(), kProfileSizeLimit);
  const ProfileImport imported = ImportProfile(text);
  ASSERT_TRUE(imported.profile) << imported.error;
  EXPECT_EQ(imported.profile->macros.size(), 12u);
  EXPECT_EQ(imported.profile->macros[11].entries, p.macros[11].entries);
}

}  // namespace
}  // namespace kovral
