#include <gtest/gtest.h>

#include "simctl/sim_command.h"

namespace kovral {
namespace {

SimCommand Parsed(const wchar_t* text) {
  SimCommandParse p = ParseSimCommand(text);
  EXPECT_TRUE(p.command) << "rejected: " << std::string(p.error.begin(), p.error.end());
  return p.command.value_or(SimCommand{});
}

TEST(SimCommand, MagicIsKvsmInAscii) {
  EXPECT_EQ(kSimControlMagic, ('K' << 24 | 'V' << 16 | 'S' << 8 | 'M'));
}

TEST(SimCommand, NotifyTakesDecimalOrHexBytes) {
  SimCommand c = Parsed(L"notify 7 2");
  EXPECT_EQ(c.kind, SimCommandKind::Notify);
  EXPECT_EQ(c.code, 7);
  EXPECT_EQ(c.value, 2);
  c = Parsed(L"  notify\t0x09   0xFF \r\n");
  EXPECT_EQ(c.code, 9);
  EXPECT_EQ(c.value, 255);
  EXPECT_FALSE(ParseSimCommand(L"notify 7").command);
  EXPECT_FALSE(ParseSimCommand(L"notify 7 2 1").command);
  EXPECT_FALSE(ParseSimCommand(L"notify 256 1").command);
  EXPECT_FALSE(ParseSimCommand(L"notify 7 0x100").command);
  EXPECT_FALSE(ParseSimCommand(L"notify seven 1").command);
  EXPECT_FALSE(ParseSimCommand(L"notify 0x 1").command);
}

TEST(SimCommand, RawAcceptsSpacedOrRunTogetherHex) {
  EXPECT_EQ(Parsed(L"raw 06 07 00 02").report, (std::vector<uint8_t>{0x06, 0x07, 0x00, 0x02}));
  EXPECT_EQ(Parsed(L"raw 06090003").report, (std::vector<uint8_t>{0x06, 0x09, 0x00, 0x03}));
  EXPECT_EQ(Parsed(L"raw 0x6 a Bc").report, (std::vector<uint8_t>{0x06, 0x0A, 0xBC}));
  EXPECT_FALSE(ParseSimCommand(L"raw").command);
  EXPECT_FALSE(ParseSimCommand(L"raw 060").command);  // odd run: which nibble is alone?
  EXPECT_FALSE(ParseSimCommand(L"raw 0g").command);
  std::wstring forty = L"raw";
  for (int i = 0; i < 40; ++i) forty += L" 01";
  EXPECT_EQ(Parsed(forty.c_str()).report.size(), 40u);
  EXPECT_FALSE(ParseSimCommand(forty + L" 01").command);
}

TEST(SimCommand, PlugUnplugAndSilent) {
  EXPECT_EQ(Parsed(L"unplug").kind, SimCommandKind::Unplug);
  EXPECT_EQ(Parsed(L"plug").kind, SimCommandKind::Plug);
  EXPECT_EQ(Parsed(L"reenumerate").kind, SimCommandKind::Reenumerate);
  EXPECT_FALSE(ParseSimCommand(L"plug now").command);
  SimCommand c = Parsed(L"silent on");
  EXPECT_EQ(c.kind, SimCommandKind::Silent);
  EXPECT_TRUE(c.on);
  EXPECT_FALSE(Parsed(L"silent off").on);
  EXPECT_FALSE(ParseSimCommand(L"silent").command);
  EXPECT_FALSE(ParseSimCommand(L"silent yes").command);
}

TEST(SimCommand, StallTakesACountAndMillisecondsOrOff) {
  SimCommand c = Parsed(L"stall 3 800");
  EXPECT_EQ(c.kind, SimCommandKind::Stall);
  EXPECT_EQ(c.count, 3u);
  EXPECT_EQ(c.milliseconds, 800u);
  c = Parsed(L"stall 100000 600000");
  EXPECT_EQ(c.count, 100000u);
  EXPECT_EQ(c.milliseconds, 600000u);
  EXPECT_EQ(Parsed(L"stall off").count, 0u);
  EXPECT_FALSE(ParseSimCommand(L"stall").command);
  EXPECT_FALSE(ParseSimCommand(L"stall 3").command);
  EXPECT_FALSE(ParseSimCommand(L"stall 0 800").command);
  EXPECT_FALSE(ParseSimCommand(L"stall 3 0").command);
  EXPECT_FALSE(ParseSimCommand(L"stall 100001 1").command);
  EXPECT_FALSE(ParseSimCommand(L"stall 1 600001").command);
  EXPECT_FALSE(ParseSimCommand(L"stall 1 0x10").command);
  EXPECT_FALSE(ParseSimCommand(L"stall off 1").command);
}

TEST(SimCommand, UnknownOrEmptyIsExplained) {
  SimCommandParse p = ParseSimCommand(L"Notify 7 2");  // words are lower case
  EXPECT_FALSE(p.command);
  EXPECT_NE(p.error.find(L"Notify"), std::wstring::npos);
  EXPECT_FALSE(ParseSimCommand(L"   ").command);
}

TEST(SimCommand, JoinedCommandLineParsesBack) {
  std::wstring text = JoinSimCommand({L"raw", L"06", L"07", L"00", L"03"});
  EXPECT_EQ(text, L"raw 06 07 00 03");
  EXPECT_EQ(Parsed(text.c_str()).report, (std::vector<uint8_t>{6, 7, 0, 3}));
}

}  // namespace
}  // namespace kovral
