#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "kvctl.h"
#include "settings/config_file.h"
#include "settings/defaults.h"
#include "profiles/profile.h"
#include "settings/text_encoding.h"
#include "settings_temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace kovral {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

class Kvctl : public ::testing::Test {
 protected:
  Outcome Call(std::vector<std::wstring> args) {
    std::ostringstream out, err;
    // The tool's own location decides the default files; put it in the scratch folder.
    KvctlIo io{out, err, dir.File(L"kvctl.exe"), dir.File(L"")};
    const int status = RunKvctl(args, io);
    return {status, out.str(), err.str()};
  }
  std::wstring File(const wchar_t* name) { return dir.File(name); }
  std::filesystem::path Path(const char* name) { return dir.path() / name; }
  void WriteFactory() { WriteBytes(Path("config.bin"), ConfigFileBytes(FactoryConfig(), 0)); }

  TempDir dir;
};

std::vector<std::vector<std::string>> TraceLines(const std::filesystem::path& file) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(ReadBytes(file).data()), ReadBytes(file).size()));
  std::vector<std::vector<std::string>> lines;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::vector<std::string> f;
    for (std::string w; fields >> w;) f.push_back(w);
    lines.push_back(f);
  }
  return lines;
}

TEST_F(Kvctl, FactoryThenShowDescribesBothLayersAndWritesNothing) {
  ASSERT_EQ(Call({L"factory", L"--config", File(L"config.bin")}).status, 0);
  const auto bytes = ReadBytes(Path("config.bin"));
  ASSERT_EQ(bytes.size(), 1850u);
  EXPECT_EQ(bytes[0], 0);

  const auto before = std::filesystem::last_write_time(Path("config.bin"));
  const Outcome r = Call({L"show"});  // default files beside the tool
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Mode B\n  Button 1: Left Click [0x00F00001]\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Button 6: DPI Switch: DPI Loop [0x00030007]"), std::string::npos);
  EXPECT_NE(r.out.find("Report rate: 1000 Hz"), std::string::npos);
  EXPECT_EQ(ReadBytes(Path("config.bin")), bytes);
  EXPECT_EQ(std::filesystem::last_write_time(Path("config.bin")), before);
  EXPECT_FALSE(std::filesystem::exists(Path("str.ini")));
  EXPECT_FALSE(std::filesystem::exists(Path("record.ini")));
}

TEST_F(Kvctl, BadInputGetsOneLineAndNonZeroStatus) {
  WriteFactory();
  struct Case {
    std::vector<std::wstring> args;
    const char* says;
  };
  std::vector<uint8_t> shortFile(1849, 0);
  WriteBytes(Path("short.bin"), shortFile);
  std::filesystem::create_directories(Path("folder.ini"));
  const Case cases[] = {
      {{}, "no command"},
      {{L"frobnicate"}, "unknown command"},
      {{L"show", L"--verbose"}, "unknown option '--verbose'"},
      {{L"show", L"--config"}, "needs a file name"},
      {{L"show", L"--config", File(L"absent.bin")}, "config file not found"},
      {{L"show", L"--config", File(L"short.bin")}, "1849 bytes, not 1850"},
      {{L"apply", L"--simulate", L"--sensor-type", L"256"}, "0 to 255"},
      {{L"apply", L"--sensor-type", L"1"}, "needs --simulate"},
      {{L"show", L"--record", File(L"absent.ini")}, "record file not found"},
      {{L"show", L"--record", File(L"folder.ini")}, "record file cannot be read"},
      {{L"apply", L"--stall", L"20:800"}, "--stall needs --simulate"},
      {{L"apply", L"--simulate", L"--stall", L"20:0"}, "--stall needs N:MS"},
      {{L"apply", L"--seconds", L"5"}, "--seconds belongs to listen"},
      {{L"listen", L"--seconds", L"0"}, "1 to 86400"},
  };
  for (const Case& c : cases) {
    const Outcome r = Call(c.args);
    EXPECT_EQ(r.status, 2) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(r.err.rfind("kvctl: ", 0), 0u) << r.err;
  }
  EXPECT_EQ(ReadBytes(Path("short.bin")), shortFile);
}

// Files are never read past the size they may have: a config.bin of 4 GiB
// and 1850 bytes (sparse, so it takes no disk; cut to 32 bits its size is a
// config file's) and a profile one byte over the limit are
// refused by their size in no time, and a device or a pipe without a writer
// is refused by its kind instead of being read to an end it does not have.
TEST_F(Kvctl, FilesAreRefusedByTheirSizeOrKindBeforeTheyAreRead) {
  WriteFactory();
  WriteBytes(Path("huge.bin"), {});
  std::filesystem::resize_file(Path("huge.bin"), (uint64_t{1} << 32) + 1850);
  WriteBytes(Path("big.kvprofile"), {});
  std::filesystem::resize_file(Path("big.kvprofile"), kProfileSizeLimit + 1);
  struct Case {
    std::vector<std::wstring> args;
    std::string says;
  };
  std::vector<Case> cases = {
      {{L"show", L"--config", File(L"huge.bin")}, "config file has 4294969146 bytes, not 1850: "},
      {{L"import", File(L"big.kvprofile")},
       ToUtf8(File(L"big.kvprofile")) + " has 41943041 bytes, more than a profile can have (at most 41943040)"},
      {{L"import", dir.path().wstring()}, "profile cannot be read (not a regular file): "},
  };
#ifndef _WIN32
  ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0600), 0);
  cases.push_back({{L"show", L"--config", L"/dev/zero"}, "config file cannot be read (not a regular file): /dev/zero"});
  cases.push_back({{L"show", L"--config", File(L"pipe")}, "config file cannot be read (not a regular file): "});
  cases.push_back({{L"show", L"--record", File(L"pipe")}, "record file cannot be read (not a regular file): "});
  cases.push_back({{L"import", L"/dev/zero"}, "profile cannot be read (not a regular file): /dev/zero"});
  cases.push_back({{L"import", File(L"pipe")}, "profile cannot be read (not a regular file): "});
#endif
  const auto before = ReadBytes(Path("config.bin"));
  for (const Case& c : cases) {
    const auto start = std::chrono::steady_clock::now();
    const Outcome r = Call(c.args);
    EXPECT_EQ(r.status, 2) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.says;
  }
  EXPECT_EQ(ReadBytes(Path("config.bin")), before);
  EXPECT_FALSE(std::filesystem::exists(Path("record.ini")));
}

TEST_F(Kvctl, ApplyOnTheSimulatedMouseSendsTheFactoryTrafficAndSaves) {
  WriteFactory();
  const Outcome r = Call({L"apply", L"--simulate", L"--trace", File(L"trace.txt")});
  ASSERT_EQ(r.status, 0) << r.err;

  const auto bytes = ReadBytes(Path("config.bin"));
  ASSERT_EQ(bytes.size(), 1850u);
  EXPECT_EQ(bytes[0], 1);
  const auto factory = ConfigFileBytes(FactoryConfig(), 1);
  EXPECT_EQ(bytes, factory);
  // First run: the factory button texts are written with the record.
  EXPECT_TRUE(std::filesystem::exists(Path("str.ini")));

  const auto lines = TraceLines(Path("trace.txt"));
  ASSERT_FALSE(lines.empty());
  ASSERT_GE(lines[0].size(), 5u);
  EXPECT_EQ(lines[0][0], "#");
  EXPECT_EQ(lines[0][1], "key");
  EXPECT_EQ(lines[0][2].substr(0, 2), "00");
  EXPECT_EQ(lines[0][2].substr(14, 2), "00");
  EXPECT_EQ(lines[0][3], "table");

  // Plain payloads of every command in order, and every data chunk.
  std::vector<std::string> commands, writes;
  for (size_t i = 1; i < lines.size(); ++i) {
    const auto& f = lines[i];
    ASSERT_GE(f.size(), 3u);
    if (f[1] == "SET_FEATURE") commands.push_back(f[2].substr(f[2].find('|') + 1));
    if (f[1] == "WRITE") writes.push_back(f[2]);
  }
  std::vector<std::string> codes;
  for (const auto& p : commands) codes.push_back(p.substr(0, 2));
  const std::vector<std::string> expectedCodes = [] {
    std::vector<std::string> v = {"00", "00", "83", "03", "01", "8d", "87", "87", "90", "90",
                                  "10", "10", "07", "07", "0d", "11"};
    v.insert(v.end(), 12, "13");
    v.insert(v.end(), 12, "93");
    v.insert(v.end(), 4, "12");
    return v;
  }();
  EXPECT_EQ(codes, expectedCodes);
  ASSERT_EQ(commands.size(), expectedCodes.size());
  EXPECT_EQ(commands[0], "00aadd3b620000db");
  EXPECT_EQ(commands[2], "830000000000007c");
  EXPECT_EQ(commands[4], "01010000000000fd");  // 1000 Hz
  EXPECT_EQ(commands[5], "8d00000000000072");
  EXPECT_EQ(commands[6], "8700000000000078");
  EXPECT_EQ(commands[15], "11040800000000e2");
  EXPECT_EQ(commands[16], "130180000000006b");  // slot 1, 128 bytes
  EXPECT_EQ(commands[40], "12014000000000ac");  // matrix 1, 64 bytes
  EXPECT_EQ(commands[41], "12024000000000ab");

  // Data chunks: 2 stage blocks, the DPI codes, 12 x 4 macro chunks, 4 x 2 matrix chunks.
  ASSERT_EQ(writes.size(), 2u + 1u + 48u + 8u);
  const std::string zeros24(48, '0');
  // Factory stages use levels 1, 3, 4, 7 of sensor type 0: codes 02 04 05 08, all on.
  EXPECT_EQ(writes[2], "00" "0204050880808080" + zeros24);
  const std::string m1a = "00" "0100f000" "0100f100" "0100f200" "0100f300" "0100f400" "07000300" "00000000" "00000000";
  const std::string m1b = "00" + std::string(48, '0') + "0100f700" "0100f800";
  EXPECT_EQ(writes[51], m1a);
  EXPECT_EQ(writes[52], m1b);
  EXPECT_EQ(writes[53], "00" + std::string(64, '0'));  // matrix 2 stays zero
  EXPECT_EQ(writes[55], m1a);                          // matrix 3 is Mode B
  EXPECT_EQ(writes[56], m1b);
}

// A mouse that stalls in the middle of Apply: the files are saved as the
// program saves them, but the tool says the mouse did not get the record and
// exits with the device status, not 0.
TEST_F(Kvctl, ApplyOnAStalledMouseSavesButReportsTheFailure) {
  WriteFactory();
  const Outcome r = Call({L"apply", L"--simulate", L"--stall", L"20:800"});
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("did not get the whole record"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("applied"), std::string::npos) << r.out;
  EXPECT_EQ(ReadBytes(Path("config.bin")), ConfigFileBytes(FactoryConfig(), 1));
}

// --seconds bounds a listen that waits for more notices than come.
TEST_F(Kvctl, ListenStopsAfterItsSeconds) {
  WriteFactory();
  const auto start = std::chrono::steady_clock::now();
  const Outcome r = Call({L"listen", L"--simulate", L"--emit", L"7:2", L"--count", L"3", L"--seconds", L"1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_NE(r.out.find("Switch DPI into the second stage"), std::string::npos) << r.out;
}

TEST_F(Kvctl, ListenPrintsTheNoticesInTheLanguageOfStrIni) {
  WriteFactory();
  // A UTF-16 str.ini asking for Simplified Chinese.
  const std::u16string text = u"\xFEFF[Skins]\r\nLan=CHS\r\n";
  std::vector<uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  WriteBytes(Path("str.ini"), bytes);
  const Outcome r = Call({L"listen", L"--simulate", L"--emit", L"7:2", L"--emit", L"5:8", L"--emit", L"6:1"});
  ASSERT_EQ(r.status, 0) << r.err;
  // The handshake's notice, then the two notices the program shows; code 6 shows nothing.
  EXPECT_NE(r.out.find("系统检测到游戏鼠标。"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("DPI切换到第二段1000"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("报告率切换到125HZ"), std::string::npos) << r.out;
  EXPECT_EQ(ReadBytes(Path("str.ini")), bytes);  // only read
}

}  // namespace
}  // namespace kovral

namespace kovral {
namespace {

// A bad profile is refused with its line before any file is written.
TEST_F(Kvctl, ImportRefusesABadProfileAndLeavesEveryFileAlone) {
  WriteFactory();
  ASSERT_EQ(Call({L"export", File(L"p.txt")}).status, 0);
  std::vector<uint8_t> text = ReadBytes(Path("p.txt"));
  std::string s(text.begin(), text.end());
  s.replace(s.find("stage2.level = "), 16, "stage2.level = 40");
  WriteBytes(Path("bad.txt"), std::vector<uint8_t>(s.begin(), s.end()));
  const auto before = ReadBytes(Path("config.bin"));
  const Outcome r = Call({L"import", File(L"bad.txt")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(": DPI stage 2 level 40 is out of range 1-12"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("line "), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(Path("config.bin")), before);
  EXPECT_FALSE(std::filesystem::exists(Path("str.ini")));
  EXPECT_FALSE(std::filesystem::exists(Path("record.ini")));
  EXPECT_EQ(Call({L"import", File(L"p.txt")}).status, 0);
  EXPECT_EQ(ReadBytes(Path("config.bin")), before);
}

// Conventions a command-line user tries first.
TEST_F(Kvctl, HelpAndVersionPrintAndExitZero) {
  for (const std::vector<std::wstring>& args : std::vector<std::vector<std::wstring>>{
           {L"--help"}, {L"-h"}, {L"help"}, {L"apply", L"--simulate", L"--help"}, {L"switch", L"a", L"-h"}}) {
    const Outcome r = Call(args);
    EXPECT_EQ(r.status, 0) << ToUtf8(args[0]);
    EXPECT_EQ(r.out.rfind("usage: kvctl ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("switch  send each named profile"), std::string::npos);
    EXPECT_TRUE(r.err.empty()) << r.err;
  }
  const Outcome v = Call({L"--version"});
  EXPECT_EQ(v.status, 0);
  EXPECT_EQ(v.out.rfind("kvctl ", 0), 0u);
  EXPECT_EQ(v.out.find_first_not_of("0123456789.", 6), v.out.size() - 1) << v.out;  // "kvctl 1.2.3\n"
  // "help" is a command only in its place; elsewhere it is a profile name.
  EXPECT_EQ(Call({L"switch", L"help"}).status, 2);
  EXPECT_EQ(Call({L"--helpme"}).status, 2);
}

TEST_F(Kvctl, DefaultFilesAreTheUsersOnLinuxAndBesideTheToolOnWindows) {
  std::map<std::string, std::string> env;
  auto lookup = [&](const char* name) -> const char* {
    const auto found = env.find(name);
    return found == env.end() ? nullptr : found->second.c_str();
  };
#ifdef _WIN32
  env["XDG_CONFIG_HOME"] = "C:\\cfg";
  EXPECT_EQ(KvctlDefaultFolder(L"C:\\Kovral\\kvctl.exe", lookup), L"C:\\Kovral\\");
#else
  // The folder rule itself is UserConfigFolder's (settings_paths_test.cpp).
  EXPECT_EQ(KvctlDefaultFolder(L"/usr/bin/kvctl", lookup), L"/usr/bin/");
  env["XDG_CONFIG_HOME"] = "/tmp/cfg/";
  EXPECT_EQ(KvctlDefaultFolder(L"/usr/bin/kvctl", lookup), L"/tmp/cfg/kovral/");
#endif
  // The default folder and the ones above it are made at the first write.
  ProfileData p;
  p.config = FactoryConfig();
  const std::string text = ExportProfile(p);
  WriteBytes(Path("p.kvprofile"), std::vector<uint8_t>(text.begin(), text.end()));
  std::ostringstream out, err;
  KvctlIo io{out, err, dir.File(L"kvctl.exe"), dir.File(L"cfg") + TempDir::kSeparator + L"kovral" + TempDir::kSeparator};
  ASSERT_EQ(RunKvctl({L"import", File(L"p.kvprofile")}, io), 0) << err.str();
  EXPECT_EQ(ReadBytes(dir.path() / "cfg" / "kovral" / "config.bin"), ConfigFileBytes(FactoryConfig(), p.configFlag));
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "cfg" / "kovral" / "str.ini"));
}

std::vector<uint8_t> WithReportRate(uint8_t interval) {
  DeviceConfig c = FactoryConfig();
  c.reportRate = interval;
  return ConfigFileBytes(c, 1);
}

TEST_F(Kvctl, ProfilesAreSavedListedAndSwitchedOverOneConnection) {
  WriteFactory();
  Outcome r = Call({L"save", L"fps", L"--program", L"game.exe", L"--program", L"Other.EXE"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "saved profile fps in " + ToUtf8(File(L"Profiles")) + " for game.exe, Other.EXE\n");
  r = Call({L"save", L"FPS"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "kvctl: a profile named 'fps' exists already (--replace replaces it)\n");
  EXPECT_EQ(Call({L"save", L"a|b"}).err, "kvctl: profile name 'a|b' holds '|', which a file name cannot hold\n");
  // Letters beyond ASCII in other case are the same profile, not a second file over it.
  ASSERT_EQ(Call({L"save", L"\u0141ucznik", L"--program", L"a.exe"}).status, 0);
  r = Call({L"save", L"\u0142ucznik", L"--program", L"b.exe"});
  EXPECT_EQ(r.err, "kvctl: a profile named '\u0141ucznik' exists already (--replace replaces it)\n");
  EXPECT_EQ(Call({L"profiles"}).out, "fps: game.exe, Other.EXE\n\u0141ucznik: a.exe\n");
  ASSERT_EQ(Call({L"save", L"\u0142ucznik", L"--replace"}).status, 0);  // keeps its spelling and programs
  EXPECT_EQ(Call({L"profiles"}).out, "fps: game.exe, Other.EXE\n\u0141ucznik: a.exe\n");
  std::filesystem::remove(Path("Profiles") / std::filesystem::path(u8"\u0141ucznik.kvprofile"));

  // Replaced from a config.bin at 125 Hz; the programs stay.
  WriteBytes(Path("config.bin"), WithReportRate(8));
  ASSERT_EQ(Call({L"save", L"fps", L"--replace"}).status, 0);
  WriteBytes(Path("config.bin"), WithReportRate(1));
  ASSERT_EQ(Call({L"save", L"work", L"--profiles", File(L"Profiles")}).status, 0);
  std::string broken = "# Kovral profile\n[profile]\nversion = 1\n";
  WriteBytes(Path("Profiles") / "broken.kvprofile", std::vector<uint8_t>(broken.begin(), broken.end()));
  ProfileData other;
  other.programs = {L"GAME.EXE"};
  const std::string otherText = ExportProfile(other);
  WriteBytes(Path("Profiles") / "zz.kvprofile", std::vector<uint8_t>(otherText.begin(), otherText.end()));

  r = Call({L"profiles"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "broken: broken: line 3: [device] report_rate is missing\n"
            "fps: game.exe, Other.EXE\n"
            "work: (no programs)\n"
            "zz: GAME.EXE\n"
            "game.exe is in fps, zz: fps is used\n");

  r = Call({L"switch", L"fps", L"desktop", L"work", L"Fps", L"--simulate", L"--trace", File(L"trace.txt")});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> said;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) said.push_back(line.substr(0, line.rfind(" (")));
  EXPECT_EQ(said, (std::vector<std::string>{"switched to fps: sensor refresh and full apply",
                                            "switched to desktop: sent report rate",
                                            "switched to work: the same as before, nothing sent",
                                            "switched to Fps: sent report rate"}));
  // The mouse holds a profile: the marker beside config.bin says so, as the
  // program's own does, until the Desktop settings are back whole.
  const std::filesystem::path marker = Path("mouse-profile.txt");
  ASSERT_TRUE(std::filesystem::exists(marker));
  const std::vector<uint8_t> named = ReadBytes(marker);
  EXPECT_EQ(std::string(named.begin(), named.end()), "Fps\n");
  // One connection: one handshake (two attempts) for the four switches.
  size_t handshakes = 0;
  for (const auto& f : TraceLines(Path("trace.txt")))
    if (f.size() > 2 && f[1] == "SET_FEATURE" && f[2].substr(f[2].find('|') + 1, 2) == "00") ++handshakes;
  EXPECT_EQ(handshakes, 2u);
  // Nothing is saved.
  EXPECT_EQ(ReadBytes(Path("config.bin")), WithReportRate(1));
  EXPECT_FALSE(std::filesystem::exists(Path("str.ini")));

  // A broken or missing profile anywhere in the list stops the run before the mouse is opened.
  for (const wchar_t* bad : {L"broken", L"none"}) {
    std::filesystem::remove(Path("trace.txt"));
    r = Call({L"switch", L"fps", bad, L"--simulate", L"--trace", File(L"trace.txt")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("nothing was sent"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(std::filesystem::exists(Path("trace.txt")));
  }
  EXPECT_NE(Call({L"switch", L"broken", L"--simulate"}).err.find("line 3: [device] report_rate is missing"),
            std::string::npos);
  EXPECT_EQ(Call({L"switch", L"desktop", L"--simulate", L"--stall", L"30:800"}).status, 3);
  EXPECT_TRUE(std::filesystem::exists(marker)) << "a Desktop switch cut short leaves the mouse unknown";
  ASSERT_EQ(Call({L"switch", L"desktop", L"--simulate"}).status, 0);
  EXPECT_FALSE(std::filesystem::exists(marker));
  EXPECT_EQ(Call({L"profiles", L"--simulate"}).status, 2);
}

// The first switch of a connection is on the wire exactly what apply sends.
TEST_F(Kvctl, TheFirstSwitchSendsWhatApplySends) {
  WriteFactory();
  ASSERT_EQ(Call({L"switch", L"desktop", L"--simulate", L"--sensor-type", L"2", L"--trace", File(L"switch.txt")}).status,
            0);
  ASSERT_EQ(Call({L"apply", L"--simulate", L"--sensor-type", L"2", L"--trace", File(L"apply.txt")}).status, 0);
  auto untimed = [](std::vector<std::vector<std::string>> lines) {
    for (auto& f : lines)
      if (!f.empty() && f[0] != "#") f.erase(f.begin());
    return lines;
  };
  const auto applied = untimed(TraceLines(Path("apply.txt")));
  EXPECT_GT(applied.size(), 100u);
  EXPECT_EQ(untimed(TraceLines(Path("switch.txt"))), applied);
}

// An imported profile that names programs is kept in the library too, since
// config.bin cannot hold them; one without programs is not.
TEST_F(Kvctl, ImportKeepsAProfilesProgramsInTheLibrary) {
  ProfileData p;
  p.config = FactoryConfig();
  p.programs = {L"arena.exe"};
  std::string text = ExportProfile(p);
  WriteBytes(Path("Arena.kvprofile"), std::vector<uint8_t>(text.begin(), text.end()));
  Outcome r = Call({L"import", File(L"Arena.kvprofile")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("kept as profile 'Arena' with its programs"), std::string::npos) << r.out;
  EXPECT_EQ(Call({L"profiles"}).out, "Arena: arena.exe\n");
  p.programs.clear();
  text = ExportProfile(p);
  WriteBytes(Path("plain.kvprofile"), std::vector<uint8_t>(text.begin(), text.end()));
  r = Call({L"import", File(L"plain.kvprofile")});
  EXPECT_EQ(r.out.find("kept"), std::string::npos);
  EXPECT_EQ(Call({L"profiles"}).out, "Arena: arena.exe\n");
}

}  // namespace
}  // namespace kovral
