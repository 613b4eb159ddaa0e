#include <gtest/gtest.h>

#include "profiles/config_report.h"

namespace kovral {
namespace {

TEST(ConfigReport, ButtonsNameTheirFunctionParametersAndWireWord) {
  DeviceConfig c{};
  AssignmentTable& a = c.modeA;
  a.functionIndex[0] = 10;  // Fire Key, R-Button, speed 5, until released
  a.fireKeyCode[0] = 0xF1;
  a.fireSpeed[0] = 5;
  a.fireTimes[0] = 0;
  a.functionIndex[1] = 12;  // Combo: Left Ctrl + C
  a.comboModifiers[1] = 0x01;
  a.comboKey1[1] = 0x06;
  a.functionIndex[2] = 8;  // Windows: Calculator
  a.windowsUsageLow[2] = 0x92;
  a.windowsUsageHigh[2] = 0x01;
  a.functionIndex[3] = 6;  // DPI Switch without an action
  a.functionIndex[4] = 200;
  EXPECT_EQ(DescribeButton(c, 0, 0), L"Fire Key: R-Button, speed 5, times 0 (until released) [0x0005F10A]");
  EXPECT_EQ(DescribeButton(c, 0, 1), L"Combo Key: Left Ctrl + C [0x00060100]");
  EXPECT_EQ(DescribeButton(c, 0, 2), L"Windows: Calculator (usage 0x0192) [0x01920003]");
  EXPECT_EQ(DescribeButton(c, 0, 3), L"DPI Switch: no action 0 [0x00000007]");
  EXPECT_EQ(DescribeButton(c, 0, 4), L"invalid function 200 (sent as Key Off) [0x00000000]");
  // The other layer is read from its own table.
  EXPECT_EQ(DescribeButton(c, 1, 0), L"Left Click [0x00F00001]");
}

TEST(ConfigReport, RecordSummaryCoversStagesRateLightingAndMacros) {
  DeviceConfig c{};
  c.reportRate = 2;
  c.dpiEnabled[0] = 1;
  c.dpiColor[0] = 0xFF;
  c.dpiLevel[1] = 40;  // beyond every list
  c.lightMode = 3;
  c.neonEffect = 2;
  const uint8_t slot[] = {0x00, 0x02, 0x05, 0x04, 0x85, 0x04};
  std::copy(std::begin(slot), std::end(slot), c.macroSlots[1]);
  const std::wstring text = DescribeConfig(c, 1, 0, {L"first", L"second"});
  EXPECT_NE(text.find(L"Report rate: 500 Hz\n"), std::wstring::npos) << std::string(text.begin(), text.end());
  EXPECT_NE(text.find(L"Stage 1: level 0"), std::wstring::npos);
  EXPECT_NE(text.find(L", on, colour #FF0000\n"), std::wstring::npos);
  EXPECT_NE(text.find(L"Stage 2: level 40 (beyond the list), off"), std::wstring::npos);
  EXPECT_NE(text.find(L"Lighting: Neon"), std::wstring::npos);
  EXPECT_NE(text.find(L"Slot 2 \"second\": loop 2: A Dn 50 ms, A Up 50 ms\n"), std::wstring::npos);
  EXPECT_EQ(text.find(L"Slot 1 "), std::wstring::npos);
  EXPECT_NE(text.find(L"Edited layer: Mode A\n"), std::wstring::npos);

  // Switch bytes beyond 1 as the program takes them, with what the file holds:
  // the edited layer and precision count only 1 as set, a stage and the
  // one-screen box any byte but 0.
  c.editedMode = 7;
  c.enhancePrecision = 5;
  c.dpiEnabled[0] = 9;
  c.scrollOneScreen = 2;
  const std::wstring odd = DescribeConfig(c, 1, 0, {});
  EXPECT_NE(odd.find(L"Edited layer: Mode A (stored 7)\n"), std::wstring::npos) << std::string(odd.begin(), odd.end());
  EXPECT_NE(odd.find(L"Stage 1: level 0"), std::wstring::npos);
  EXPECT_NE(odd.find(L", on (stored 9), colour #FF0000\n"), std::wstring::npos);
  EXPECT_NE(odd.find(L", precision off (stored 5), scroll one screen (stored 2),"), std::wstring::npos);
  c.editedMode = 1;
  EXPECT_NE(DescribeConfig(c, 1, 0, {}).find(L"Edited layer: Mode B\n"), std::wstring::npos);
}

}  // namespace
}  // namespace kovral
