#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "settings/config_file.h"
#include "settings/defaults.h"

namespace kovral {
namespace {

std::vector<uint8_t> RecordBytes(const DeviceConfig& config) {
  std::vector<uint8_t> bytes(sizeof(DeviceConfig));
  std::memcpy(bytes.data(), &config, sizeof(DeviceConfig));
  return bytes;
}

// The factory record written out byte by byte from the record's table.
std::vector<uint8_t> ExpectedFactoryBytes() {
  std::vector<uint8_t> b(1849, 0);
  const uint8_t functions[8] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x06, 0x0F, 0x0F};
  for (int i = 0; i < 8; ++i) {
    b[0 + i] = functions[i];     // Mode A functionIndex
    b[1705 + i] = functions[i];  // Mode B functionIndex
  }
  b[133] = 1;  // reportRate: 1000 Hz
  b[135] = 1, b[136] = 3, b[137] = 4, b[138] = 7;  // dpiLevel
  b[139] = b[140] = b[141] = b[142] = 1;             // dpiEnabled
  const uint8_t colors[12] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
  for (int i = 0; i < 12; ++i) b[143 + i] = colors[i];
  b[155] = 1;  // lightMode Standard
  b[156] = 9;  // lightBrightness 100%
  b[157] = 2;  // respirationPeriod
  b[158] = 3;  // neonPeriod
  b[159] = 1;  // standardEffect
  b[160] = 1;  // respirationEffect
  b[161] = 2;  // neonEffect
  b[1701] = 6, b[1702] = 3, b[1703] = 6;  // pointer speed, scroll lines, double-click
  b[1833 + 5] = 3;                        // Mode A button 6: DPI Loop
  b[1841 + 5] = 3;                        // Mode B button 6: DPI Loop
  return b;
}

TEST(FactoryConfig, MatchesTheFactoryRecordByteForByte) {
  EXPECT_EQ(RecordBytes(FactoryConfig()), ExpectedFactoryBytes());
}

TEST(FactoryConfig, LevelsFitEverySensorsStepListAndColoursDiffer) {
  const DeviceConfig c = FactoryConfig();
  for (int s = 0; s < kDpiStageCount; ++s) {
    EXPECT_LT(c.dpiLevel[s], 8) << "the shortest step list has 8 levels";
    if (s > 0) {
      EXPECT_GT(c.dpiLevel[s], c.dpiLevel[s - 1]);
    }
    for (int t = 0; t < s; ++t) EXPECT_NE(std::memcmp(c.dpiColor + 3 * s, c.dpiColor + 3 * t, 3), 0);
  }
  EXPECT_TRUE(c.neonEffect == 2 || c.neonEffect == 3);
}

TEST(FactoryConfig, InstallationFileHasFlagZeroThenTheRecord) {
  const std::vector<uint8_t> file = ConfigFileBytes(FactoryConfig(), 0);
  ASSERT_EQ(file.size(), 1850u);
  EXPECT_EQ(file[0], 0);
  EXPECT_EQ(file[134], 1);     // reportRate at file offset 134
  EXPECT_EQ(file[1706 + 5], 6);  // Mode B button 6 at file offset 1711: DPI Switch
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 1, file.end()), ExpectedFactoryBytes());
}

TEST(RestoreDefaultAssignment, ResetsOnlyFunctionsAndButtonSixDpiAction) {
  DeviceConfig c;
  std::memset(&c, 0xAB, sizeof c);
  RestoreDefaultAssignment(c);
  std::vector<uint8_t> expected(1849, 0xAB);
  const uint8_t functions[8] = {0, 1, 2, 3, 4, 6, 15, 15};
  for (int i = 0; i < 8; ++i) expected[i] = expected[1705 + i] = functions[i];
  expected[1838] = 3;
  expected[1846] = 3;
  EXPECT_EQ(RecordBytes(c), expected);  // editedMode, other arrays and DPI actions untouched
}

TEST(RestorePointerDefaults, SetsTheFivePointerFieldsOnly) {
  DeviceConfig c;
  std::memset(&c, 0xAB, sizeof c);
  RestorePointerDefaults(c);
  std::vector<uint8_t> expected(1849, 0xAB);
  expected[1699] = 0, expected[1700] = 0, expected[1701] = 6, expected[1702] = 3, expected[1703] = 6;
  EXPECT_EQ(RecordBytes(c), expected);
}

}  // namespace
}  // namespace kovral
