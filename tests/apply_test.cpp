// The command set: Apply's exact traffic, the DPI and lighting tables, the
// sensor refresh, and the answers the program must not trust.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "device/commands.h"
#include "device/device_link.h"
#include "device/framing.h"
#include "device_test_support.h"
#include "settings/device_config.h"

namespace kovral {
namespace {

using fake::Bytes;
using fake::LinkHarness;
using Lines = std::vector<std::string>;

std::string S(const std::string& payload) { return fake::Line("SET", payload, 9); }
std::string G(const std::string& payload) { return fake::Line("GET", payload, 9); }
std::string W(const std::string& data) { return fake::Line("WRITE", data, 33); }
std::string R(const std::string& data) { return fake::Line("READ", data, 33); }
std::string Repeat(const std::string& byte, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += byte + " ";
  return s;
}
const std::string kZeroChunk = "";  // W("") / R("") is a chunk of 32 zero bytes
const char* const kPause2 = "PAUSE 2000";
const char* const kPause3 = "PAUSE 3000";

// A mouse with values of its own: the lighting effect 04 07 01, parameter
// triples 11 22 33 and 66 77 88, stage blocks a0..b7 and c0..d7, and macro
// slot n read back as 128 bytes of n.
void ScriptMouse(LinkHarness& h) {
  h.platform.mouse.respond = [](const Payload& q, Payload& a, std::vector<std::vector<uint8_t>>& chunks) {
    switch (q[0]) {
      case 0x8D: a = {0x8D, 0x04, 0x07, 0x01}; break;
      case 0x87:
        if (q[1] == 0) a = {0x87, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
        if (q[1] == 1) a = {0x87, 0x01, 0x66, 0x77, 0x88};
        break;
      case 0x90: {
        a = {0x90, q[1], 24};
        std::vector<uint8_t> block(24);
        for (int i = 0; i < 24; ++i) block[i] = static_cast<uint8_t>((q[1] == 0 ? 0xA0 : 0xC0) + i);
        chunks.push_back(block);
        break;
      }
      case 0x93:
        a = {0x93, q[1], 0x80};
        for (int k = 0; k < 4; ++k) chunks.push_back(std::vector<uint8_t>(32, q[1]));
        break;
    }
  };
}

// The factory assignment in both layers, 1000 Hz, stages 2, 4, 6 and 9 of the
// type-0 list with the fourth disabled, four colours, Standard lighting at
// brightness 2, and two macros.
DeviceConfig FactoryRecord() {
  DeviceConfig c{};
  const uint8_t functions[8] = {0, 1, 2, 3, 4, 6, 15, 15};
  for (int mode = 0; mode < 2; ++mode) {
    std::memcpy(LayerTable(c, mode).functionIndex, functions, 8);
    LayerDpiAction(c, mode)[5] = 3;
  }
  c.reportRate = 1;
  const uint8_t levels[4] = {1, 3, 5, 8};
  const uint8_t enabled[4] = {1, 1, 1, 0};
  const uint8_t colours[12] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
  std::memcpy(c.dpiLevel, levels, 4);
  std::memcpy(c.dpiEnabled, enabled, 4);
  std::memcpy(c.dpiColor, colours, 12);
  c.lightMode = 1;
  c.lightBrightness = 2;
  c.standardEffect = 1;
  c.respirationEffect = 1;
  c.neonEffect = 2;
  const uint8_t macro1[8] = {0x00, 0x03, 0x04, 0x01, 0x10, 0x84, 0x01, 0x10};
  std::memcpy(c.macroSlots[0], macro1, 8);
  c.macroSlots[11][0] = 0x00;
  c.macroSlots[11][1] = 0x01;
  c.macroSlots[11][127] = 0xFF;
  return c;
}

// Everything before the macros: report rate, the four queries, the stage
// blocks, the lighting and the DPI codes.
Lines Head(const std::string& rate, const std::string& block1, const std::string& light0, const std::string& effect,
           const std::string& dpi) {
  const std::string block0 =
      "a0 a1 a2 a3 a4 a5 a6 a7 a8 a9 aa ab ac ad ae af b0 b1 b2 b3 b4 b5 b6 b7";
  return {
      S(rate),
      S("8d 00 00 00 00 00 00 72"), G("8d 04 07 01 00 00 00 66"),
      // The second request carries the first answer's bytes 2..6.
      S("87 00 00 00 00 00 00 78"), G("87 00 11 22 33 44 55 79"), kPause2,
      S("87 01 11 22 33 44 55 78"), G("87 01 66 77 88 00 00 12"), kPause2,
      "DISCARD", S("90 00 00 00 00 00 00 6f"), G("90 00 18 00 00 00 00 57"), R(block0), kPause2,
      "DISCARD", S("90 01 00 00 00 00 00 6e"), G("90 01 18 00 00 00 00 56"),
      R("c0 c1 c2 c3 c4 c5 c6 c7 c8 c9 ca cb cc cd ce cf d0 d1 d2 d3 d4 d5 d6 d7"), kPause2,
      // Block 0 goes back exactly as read; block 1 carries the colours.
      S("10 00 18 00 00 00 00 d7"), W(block0), kPause3, kPause2,
      S("10 01 18 00 00 00 00 d6"), W(block1), kPause3, kPause2,
      S(light0), kPause2,
      S("07 01 66 77 88 00 00 92"), kPause2,
      S(effect),
      S("11 04 08 00 00 00 00 e2"), W(dpi), kPause3,
  };
}

// Slot n's write and read-back; `chunks` are the 4 chunks written.
void AppendMacros(Lines& lines, const std::vector<std::vector<std::string>>& written) {
  const char* writeChecksum[12] = {"6b", "6a", "69", "68", "67", "66", "65", "64", "63", "62", "61", "60"};
  const char* answerChecksum[12] = {"eb", "ea", "e9", "e8", "e7", "e6", "e5", "e4", "e3", "e2", "e1", "e0"};
  const char* slotByte[12] = {"01", "02", "03", "04", "05", "06", "07", "08", "09", "0a", "0b", "0c"};
  for (int n = 0; n < 12; ++n) {
    lines.push_back(S(std::string("13 ") + slotByte[n] + " 80 00 00 00 00 " + writeChecksum[n]));
    for (int k = 0; k < 4; ++k) {
      lines.push_back(W(written[n][k]));
      lines.push_back(kPause3);
    }
    lines.push_back(kPause2);
  }
  for (int n = 0; n < 12; ++n) {
    lines.push_back("DISCARD");
    lines.push_back(S(std::string("93 ") + slotByte[n] + " 00 00 00 00 00 " + writeChecksum[n]));
    lines.push_back(G(std::string("93 ") + slotByte[n] + " 80 00 00 00 00 " + answerChecksum[n]));
    for (int k = 0; k < 4; ++k) lines.push_back(R(Repeat(slotByte[n], 32)));
    lines.push_back(kPause2);
  }
}

void AppendMatrices(Lines& lines, const std::string& m1a, const std::string& m1b) {
  lines.insert(lines.end(), {
      S("12 01 40 00 00 00 00 ac"), W(m1a), kPause3, W(m1b), kPause3, kPause2,
      S("12 02 40 00 00 00 00 ab"), W(kZeroChunk), kPause3, W(kZeroChunk), kPause3, kPause2,
      S("12 03 40 00 00 00 00 aa"), W(m1a), kPause3, W(m1b), kPause3, kPause2,
      S("12 04 40 00 00 00 00 a9"), W(kZeroChunk), kPause3, W(kZeroChunk), kPause3, kPause2,
      "SAVE",
  });
}

// The whole Apply for the factory record, byte for byte and pause for pause.
TEST(ApplyTrafficTest, FactoryRecordGoldenSequence) {
  LinkHarness h;
  h.OpenPlain();
  ScriptMouse(h);
  const DeviceConfig config = FactoryRecord();
  DeviceImage image;
  Apply(h.link, config, image, [&] { h.log.Add("SAVE"); });

  Lines expected = Head("01 01 00 00 00 00 00 fd",
                        "ff 00 00 00 ff 00 00 00 ff ff ff 00",
                        "07 00 01 22 33 00 00 a2",  // Standard: byte 0 of triple 0 becomes 1
                        "0d 01 03 02 00 00 00 ec",  // Standard, brightness 2 + 1, option 2
                        "02 04 06 a5 80 80 80 80");
  std::vector<std::vector<std::string>> macros(12, std::vector<std::string>(4, kZeroChunk));
  macros[0][0] = "00 03 04 01 10 84 01 10";
  macros[11][0] = "00 01";
  macros[11][3] = Repeat("00", 31) + "ff";
  AppendMacros(expected, macros);
  AppendMatrices(expected,
                 "01 00 f0 00 01 00 f1 00 01 00 f2 00 01 00 f3 00 01 00 f4 00 07 00 03 00 00 00 00 00 00 00 00 00",
                 Repeat("00", 24) + "01 00 f7 00 01 00 f8 00");
  EXPECT_EQ(h.log.Lines(), expected);
}

// A zero record (no configuration file) is sent all the same: report rate 0,
// every button "Left Click", every stage disabled, the mouse's own lighting.
TEST(ApplyTrafficTest, ZeroRecordGoldenSequence) {
  LinkHarness h;
  h.OpenPlain();
  ScriptMouse(h);
  const DeviceConfig config{};
  DeviceImage image;
  Apply(h.link, config, image, [&] { h.log.Add("SAVE"); });

  Lines expected = Head("01 00 00 00 00 00 00 fe",
                        kZeroChunk,
                        "07 00 11 22 33 00 00 92",  // the mouse's own triple back
                        "0d 04 07 01 00 00 00 e6",  // the mouse's own effect back
                        "81 81 81 81 80 80 80 80");
  AppendMacros(expected, std::vector<std::vector<std::string>>(12, std::vector<std::string>(4, kZeroChunk)));
  AppendMatrices(expected, Repeat("01 00 f0 00", 8), Repeat("00", 24) + "01 00 f7 00 01 00 f8 00");
  EXPECT_EQ(h.log.Lines(), expected);
}

// What Apply leaves in the image: the answers where they belong, the macro
// read-back over the sent slots.
TEST(ApplyTrafficTest, ImageHoldsTheAnswersAndTheReadBack) {
  LinkHarness h;
  h.OpenPlain();
  ScriptMouse(h);
  const DeviceConfig config = FactoryRecord();
  DeviceImage image;
  bool saved = false;
  Apply(h.link, config, image, [&] { saved = true; });
  EXPECT_TRUE(saved);
  const uint8_t effect[3] = {1, 3, 2};
  EXPECT_EQ(0, std::memcmp(image.lightEffect, effect, 3));
  const uint8_t params[2][3] = {{0x01, 0x22, 0x33}, {0x66, 0x77, 0x88}};
  EXPECT_EQ(0, std::memcmp(image.lightParams, params, 6));
  EXPECT_EQ(image.stageBlocks[0][0], 0xA0);
  EXPECT_EQ(image.stageBlocks[0][23], 0xB7);
  for (int n = 0; n < 12; ++n)
    for (int i = 0; i < 128; ++i) ASSERT_EQ(image.macroImage[n][i], n + 1) << n << " " << i;
  EXPECT_EQ(config.macroSlots[0][1], 0x03);  // the record keeps what the user made
}

// ---------------------------------------------------------------------------
// Tables

TEST(DpiCodeTest, TablesPerSensorTypeAndCodeZeroBeyondThem) {
  const uint8_t type0[12] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x25, 0x26, 0x27, 0x28};
  const uint8_t type1[8] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x23, 0x24, 0x25};
  const uint8_t type2[8] = {0x02, 0x04, 0x06, 0x08, 0x0A, 0x26, 0x28, 0x2A};
  const uint8_t type3[8] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(DpiCode(0, i), type0[i]) << i;
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(DpiCode(1, i), type1[i]) << i;
    EXPECT_EQ(DpiCode(2, i), type2[i]) << i;
    EXPECT_EQ(DpiCode(3, i), type3[i]) << i;
    EXPECT_EQ(DpiCode(4, i), 0) << i;
    EXPECT_EQ(DpiCode(255, i), 0) << i;
  }
  EXPECT_EQ(DpiCode(0, 12), 0);
  EXPECT_EQ(DpiCode(1, 8), 0);
  EXPECT_EQ(DpiCode(2, 8), 0);
  EXPECT_EQ(DpiCode(3, 255), 0);
}

TEST(DpiCodeTest, DisabledStagesCarryBit7AndTheTailIs80) {
  DeviceConfig c{};
  const uint8_t levels[4] = {7, 0, 11, 20};
  const uint8_t enabled[4] = {1, 0, 1, 0};
  std::memcpy(c.dpiLevel, levels, 4);
  std::memcpy(c.dpiEnabled, enabled, 4);
  DeviceImage image;
  image.activeSensorType = 2;
  PrepareDpiCodes(c, image);
  // Type 2: level 7 is 0x2A; level 11 and 20 lie beyond its 8 entries.
  const uint8_t type2[8] = {0x2A, 0x82, 0x00, 0x80, 0x80, 0x80, 0x80, 0x80};
  EXPECT_EQ(0, std::memcmp(image.dpiCodes, type2, 8));
  image.activeSensorType = 0;
  PrepareDpiCodes(c, image);
  const uint8_t type0[8] = {0x08, 0x81, 0x28, 0x80, 0x80, 0x80, 0x80, 0x80};
  EXPECT_EQ(0, std::memcmp(image.dpiCodes, type0, 8));
  image.activeSensorType = 9;
  PrepareDpiCodes(c, image);
  const uint8_t other[8] = {0x00, 0x80, 0x00, 0x80, 0x80, 0x80, 0x80, 0x80};
  EXPECT_EQ(0, std::memcmp(image.dpiCodes, other, 8));
}

TEST(LightingTest, ModesMapToEffectAndFirstTriple) {
  struct Case {
    uint8_t mode, brightness, respPeriod, neonPeriod, respEffect, neonEffect;
    uint8_t effect[3];
    uint8_t triple[3];
    bool effectDefined, tripleDefined;  // set entirely by the mapping
  };
  // The mouse reported effect 09 08 07 and triple 06 05 04 before the mapping.
  const Case cases[] = {
      {1, 4, 0, 0, 0, 0, {1, 5, 2}, {1, 5, 4}, true, false},
      {2, 0, 3, 0, 1, 0, {2, 4, 2}, {1, 5, 4}, true, false},
      {2, 0, 3, 0, 2, 0, {2, 4, 3}, {2, 125, 3}, true, true},
      {2, 0, 255, 0, 7, 0, {2, 0, 7}, {6, 5, 4}, false, false},
      {3, 0, 0, 1, 0, 2, {3, 2, 7}, {2, 100, 10}, false, true},
      {3, 0, 0, 1, 0, 3, {3, 2, 7}, {3, 5, 5}, false, true},
      {3, 0, 0, 6, 0, 1, {3, 7, 7}, {6, 5, 4}, false, false},
      {0, 4, 3, 6, 2, 3, {9, 8, 7}, {6, 5, 4}, false, false},
      {4, 4, 3, 6, 2, 3, {9, 8, 7}, {6, 5, 4}, false, false},
  };
  for (const Case& k : cases) {
    DeviceConfig c{};
    c.lightMode = k.mode;
    c.lightBrightness = k.brightness;
    c.respirationPeriod = k.respPeriod;
    c.neonPeriod = k.neonPeriod;
    c.respirationEffect = k.respEffect;
    c.neonEffect = k.neonEffect;
    DeviceImage image;
    const uint8_t before[3] = {9, 8, 7};
    const uint8_t triple[3] = {6, 5, 4};
    std::memcpy(image.lightEffect, before, 3);
    std::memcpy(image.lightParams[0], triple, 3);
    std::memcpy(image.lightParams[1], triple, 3);
    const LightingDefined defined = MapLighting(c, image);
    SCOPED_TRACE(std::to_string(k.mode) + "/" + std::to_string(k.respEffect) + "/" + std::to_string(k.neonEffect));
    EXPECT_EQ(defined.effect, k.effectDefined);
    EXPECT_EQ(defined.firstTriple, k.tripleDefined);
    EXPECT_EQ(0, std::memcmp(image.lightEffect, k.effect, 3));
    EXPECT_EQ(0, std::memcmp(image.lightParams[0], k.triple, 3));
    EXPECT_EQ(0, std::memcmp(image.lightParams[1], triple, 3));
  }
}

// ---------------------------------------------------------------------------
// Answers that are not trusted

TEST(AnswerGuardTest, LightParamsAnswerNamingAnotherIndexIsIgnored) {
  LinkHarness h;
  h.OpenPlain();
  h.platform.mouse.respond = [](const Payload& q, Payload& a, auto&) {
    a = {0x87, static_cast<uint8_t>(q[1] == 0 ? 2 : 1), 0x31, 0x32, 0x33};
  };
  DeviceImage image;
  const uint8_t mine[3] = {7, 7, 7};
  std::memcpy(image.lightParams[0], mine, 3);
  std::memset(image.dpiCodes, 0x44, sizeof image.dpiCodes);  // the field after the triples
  ReadLightParams(h.link, image);
  EXPECT_EQ(0, std::memcmp(image.lightParams[0], mine, 3));
  for (uint8_t b : image.dpiCodes) EXPECT_EQ(b, 0x44);
  const uint8_t answered[3] = {0x31, 0x32, 0x33};
  EXPECT_EQ(0, std::memcmp(image.lightParams[1], answered, 3));
}

TEST(AnswerGuardTest, StageBlockAnswersOutOfRangeAreIgnoredAndLongOnesCut) {
  LinkHarness h;
  h.OpenPlain();
  h.platform.mouse.respond = [](const Payload& q, Payload& a, std::vector<std::vector<uint8_t>>& chunks) {
    // Index 0 is answered as index 7; index 1 announces 100 bytes.
    a = {0x90, static_cast<uint8_t>(q[1] == 0 ? 7 : 1), static_cast<uint8_t>(q[1] == 0 ? 24 : 100)};
    for (int k = 0; k < 4; ++k) chunks.push_back(std::vector<uint8_t>(32, static_cast<uint8_t>(0x50 + k)));
  };
  DeviceImage image;
  std::memset(image.stageBlocks, 0x11, sizeof image.stageBlocks);
  std::memset(image.keyMatrices, 0x22, sizeof image.keyMatrices);  // the fields after the blocks
  std::memset(image.macroImage, 0x22, sizeof image.macroImage);
  TransferStageBlocks(h.link, image, Transfer::Read);
  for (int i = 0; i < 24; ++i) {
    ASSERT_EQ(image.stageBlocks[0][i], 0x11) << i;
    ASSERT_EQ(image.stageBlocks[1][i], 0x50) << i;
  }
  for (const auto& matrix : image.keyMatrices)
    for (uint8_t b : matrix) ASSERT_EQ(b, 0x22);
  for (const auto& slot : image.macroImage)
    for (uint8_t b : slot) ASSERT_EQ(b, 0x22);
}

TEST(AnswerGuardTest, MacroAnswersOutOfRangeAreIgnoredAndLongOnesCut) {
  LinkHarness h;
  h.OpenPlain();
  h.platform.mouse.respond = [](const Payload& q, Payload& a, std::vector<std::vector<uint8_t>>& chunks) {
    // Slots 1 and 4 are answered as slot 0, slot 2 as slot 13, slot 3
    // announces 255 bytes.
    const uint8_t slot = (q[1] == 1 || q[1] == 4) ? 0 : q[1] == 2 ? 13 : q[1];
    a = {0x93, slot, static_cast<uint8_t>(q[1] == 3 ? 255 : 128)};
    for (int k = 0; k < 8; ++k) chunks.push_back(std::vector<uint8_t>(32, static_cast<uint8_t>(q[1] * 16 + k)));
  };
  DeviceImage image;
  std::memset(image.macroImage, 0x99, sizeof image.macroImage);
  std::memset(image.keyMatrices, 0x22, sizeof image.keyMatrices);  // the field before the slots
  ReadMacroSlots(h.link, image);
  for (const auto& matrix : image.keyMatrices)
    for (uint8_t b : matrix) ASSERT_EQ(b, 0x22);
  for (int i = 0; i < 128; ++i) {
    ASSERT_EQ(image.macroImage[0][i], 0x99) << i;
    ASSERT_EQ(image.macroImage[1][i], 0x99) << i;
    ASSERT_EQ(image.macroImage[2][i], 0x30 + i / 32) << i;  // four chunks, no more
    ASSERT_EQ(image.macroImage[3][i], 0x99) << i;            // nothing spilled over
    ASSERT_EQ(image.macroImage[11][i], 0xC0 + i / 32) << i;
  }
  int reads = 0;
  for (const std::string& line : h.log.Lines()) reads += line.rfind("READ ", 0) == 0;
  EXPECT_EQ(reads, 12 * 4);
}

// ---------------------------------------------------------------------------
// Sensor refresh

TEST(RefreshSensorTest, WritesTheSettingsBackWithBit6OfOption2) {
  LinkHarness h;
  h.OpenPlain();
  h.platform.mouse.respond = [](const Payload&, Payload& a, auto&) { a = {0x83, 0x03, 0x01, 0x20, 0x85}; };
  DeviceImage image;
  RefreshSensor(h.link, image);
  EXPECT_EQ(h.log.Lines(), (Lines{S("83 00 00 00 00 00 00 7c"), G("83 03 01 20 85 00 00 d3"),
                                  S("03 03 01 20 c5 00 00 13")}));
  EXPECT_EQ(image.activeSensorType, 3);
}

// Settings that could not be read are not written back: the zero image would
// reconfigure the sensor with values it never had.
TEST(RefreshSensorTest, SettingsThatCouldNotBeReadAreNotWrittenBack) {
  LinkHarness h;
  h.OpenPlain();
  h.platform.mouse.getFails = true;
  DeviceImage image;
  image.activeSensorType = 2;
  RefreshSensor(h.link, image);
  EXPECT_EQ(h.log.Lines(), (Lines{S("83 00 00 00 00 00 00 7c"), "GET-FAILED eeeeeeeeeeeeeeeeee"}));
  const uint8_t zeros[4] = {};
  EXPECT_EQ(0, std::memcmp(image.sensorSettings, zeros, 4));
  EXPECT_EQ(image.activeSensorType, 0);

  LinkHarness g;
  g.OpenPlain();
  g.platform.mouse.setFails = true;
  RefreshSensor(g.link, image);
  EXPECT_EQ(g.log.Lines().size(), 2u);

  // A scrambled mouse that had no answer ready returns an all-zero report;
  // unscrambled, it would pass for settings.
  LinkHarness k;
  k.platform.interfaces = {fake::ConfigCollection()};
  ASSERT_TRUE(ConnectDevice(k.link));
  ASSERT_EQ(k.link.scrambled, 1);
  k.log.Clear();
  RefreshSensor(k.link, image);
  const Lines lines = k.log.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], G(""));
  EXPECT_EQ(0, std::memcmp(image.sensorSettings, zeros, 4));
}

// ---------------------------------------------------------------------------
// A mouse that stops answering

// Every exchange fails or times out; Apply still runs to the end and saves,
// and the whole of it costs one time-out on top of the protocol's pauses.
TEST(SilentMouseTest, ApplyCostsOneTimeOutAndStillSaves) {
  LinkHarness h;
  h.OpenPlain();
  h.platform.mouse.handshake = fake::FakeMouse::Handshake::Silent;
  DeviceImage image;
  std::memset(image.lightParams, 0x5A, sizeof image.lightParams);
  bool saved = false;
  const Micros start = h.clock.Now();
  Apply(h.link, FactoryRecord(), image, [&] { saved = true; });
  EXPECT_TRUE(saved);
  // The pauses of the writes that carry only the mouse's values back (stage
  // block 0 with its chunk, both lighting triples) go with them.
  EXPECT_EQ(h.clock.Now() - start, Micros{700000 + 249000 - 5000 - 4000});
  int timeouts = 0, writes = 0, reads = 0;
  for (const std::string& line : h.log.Lines()) {
    timeouts += line.find("TIMEOUT") != std::string::npos;
    writes += line.rfind("WRITE ", 0) == 0;
    reads += line.rfind("READ", 0) == 0;
  }
  EXPECT_EQ(timeouts, 1);
  EXPECT_EQ(writes, 0);
  EXPECT_EQ(reads, 0);
  // The failed queries left zeros, not the driver's garbage: the zero answer
  // names index 0, so the first triple holds it (with Standard's 1 in byte 0).
  const uint8_t standard[3] = {1, 0, 0};
  EXPECT_EQ(0, std::memcmp(image.lightParams[0], standard, 3));

  // The next Apply tries again, and with a mouse that answers it sends it all.
  h.platform.mouse.handshake = fake::FakeMouse::Handshake::ScrambledEcho;
  ScriptMouse(h);
  h.log.Clear();
  Apply(h.link, FactoryRecord(), image, [] {});
  writes = 0;
  for (const std::string& line : h.log.Lines()) writes += line.rfind("WRITE ", 0) == 0;
  EXPECT_EQ(writes, 2 + 1 + 48 + 8);
}

// Reads that time out in the middle of the macro read-back: zeros for them,
// and the rest of the sequence is not attempted: the later slots' queries are
// never sent, so their images keep what they held.
TEST(SilentMouseTest, ATimedOutReadLeavesZerosAndSkipsTheRemainingReads) {
  LinkHarness h;
  h.OpenPlain();
  ScriptMouse(h);
  DeviceImage image;
  std::memset(image.macroImage, 0x5A, sizeof image.macroImage);
  int queries = 0;
  auto respond = h.platform.mouse.respond;
  h.platform.mouse.respond = [&](const Payload& q, Payload& a, std::vector<std::vector<uint8_t>>& chunks) {
    respond(q, a, chunks);
    if (q[0] == 0x93 && ++queries == 3) chunks.resize(2);  // slot 3 sends two chunks of four
  };
  ReadMacroSlots(h.link, image);
  for (int i = 0; i < 128; ++i) {
    ASSERT_EQ(image.macroImage[1][i], 2) << i;
    ASSERT_EQ(image.macroImage[2][i], i < 64 ? 3 : 0) << i;
    ASSERT_EQ(image.macroImage[3][i], 0x5A) << i;
    ASSERT_EQ(image.macroImage[11][i], 0x5A) << i;
  }
  int reads = 0;
  for (const std::string& line : h.log.Lines()) reads += line.rfind("READ", 0) == 0;
  EXPECT_EQ(reads, 4 + 4 + 3);
}

// ---------------------------------------------------------------------------
// A mouse that stalls instead of failing

bool IsExchange(const std::string& line) {
  return line.rfind("SET", 0) == 0 || line.rfind("GET", 0) == 0 || line.rfind("WRITE", 0) == 0 ||
         line.rfind("READ", 0) == 0;
}

// Whichever exchange of Apply takes longer than the bound, nothing reaches the
// mouse after it (only the protocol's pauses run), so Apply costs that one
// exchange on top of a healthy Apply's time; it says it was cut short and
// still saves. The next Apply, with the mouse recovered, is the healthy one.
// An exchange of exactly the bound is no stall.
TEST(StalledMouseTest, AfterAnExchangeOverTheBoundTheRestOfApplyFailsAtOnce) {
  LinkHarness healthy;
  healthy.OpenPlain();
  ScriptMouse(healthy);
  DeviceImage image;
  const Micros healthyStart = healthy.clock.Now();
  ASSERT_TRUE(Apply(healthy.link, FactoryRecord(), image, [&] { healthy.log.Add("SAVE"); }));
  const Micros healthyTime = healthy.clock.Now() - healthyStart;
  const Lines golden = healthy.log.Lines();
  const int exchanges = static_cast<int>(std::count_if(golden.begin(), golden.end(), IsExchange));
  ASSERT_GT(exchanges, 140);
  const Micros bound = std::chrono::duration_cast<Micros>(protocol::kDataPhaseTimeout);

  for (int position = 0; position < exchanges; ++position) {
    SCOPED_TRACE(position);
    LinkHarness h;
    h.OpenPlain();
    ScriptMouse(h);
    h.platform.mouse.stallAt = position;
    h.platform.mouse.stallFor = bound + Micros{1};
    DeviceImage stalledImage;
    bool saved = false;
    const Micros start = h.clock.Now();
    EXPECT_FALSE(Apply(h.link, FactoryRecord(), stalledImage, [&] { saved = true; }));
    EXPECT_TRUE(saved);
    EXPECT_LE(h.clock.Now() - start, healthyTime + bound + Micros{1});
    const Lines lines = h.log.Lines();
    int seen = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (seen <= position) {
        ASSERT_LT(i, golden.size());
        ASSERT_EQ(lines[i], golden[i]);
        seen += IsExchange(lines[i]);
      } else {
        ASSERT_EQ(lines[i].rfind("PAUSE", 0), 0u) << lines[i];
      }
    }
    EXPECT_EQ(seen, position + 1);

    h.log.Clear();
    EXPECT_TRUE(Apply(h.link, FactoryRecord(), stalledImage, [&] { h.log.Add("SAVE"); }));
    EXPECT_EQ(h.log.Lines(), golden);
    if (HasFailure()) return;
  }

  LinkHarness h;
  h.OpenPlain();
  ScriptMouse(h);
  h.platform.mouse.stallAt = exchanges / 2;
  h.platform.mouse.stallFor = bound;
  EXPECT_TRUE(Apply(h.link, FactoryRecord(), image, [&] { h.log.Add("SAVE"); }));
  EXPECT_EQ(h.log.Lines(), golden);
}

// ---------------------------------------------------------------------------
// Values the program only carries back from the mouse

const char* const kGetFailed = "GET-FAILED eeeeeeeeeeeeeeeeee";

// The scripted mouse, except that the get of query `code` (for `index`, or for
// any index when it is negative) fails.
void ScriptMouseFailing(LinkHarness& h, uint8_t code, int index) {
  ScriptMouse(h);
  auto script = h.platform.mouse.respond;
  fake::FakeMouse* mouse = &h.platform.mouse;
  mouse->respond = [=](const Payload& q, Payload& a, std::vector<std::vector<uint8_t>>& chunks) {
    mouse->getFails = q[0] == code && (index < 0 || q[1] == index);
    if (!mouse->getFails) script(q, a, chunks);
  };
}

// The factory record's whole traffic with a scripted mouse that answers
// everything, with the first lighting triple and the effect as given.
Lines FactoryTraffic(const std::string& light0, const std::string& effect) {
  Lines lines = Head("01 01 00 00 00 00 00 fd", "ff 00 00 00 ff 00 00 00 ff ff ff 00", light0, effect,
                     "02 04 06 a5 80 80 80 80");
  std::vector<std::vector<std::string>> macros(12, std::vector<std::string>(4, kZeroChunk));
  macros[0][0] = "00 03 04 01 10 84 01 10";
  macros[11][0] = "00 01";
  macros[11][3] = Repeat("00", 31) + "ff";
  AppendMacros(lines, macros);
  AppendMatrices(lines,
                 "01 00 f0 00 01 00 f1 00 01 00 f2 00 01 00 f3 00 01 00 f4 00 07 00 03 00 00 00 00 00 00 00 00 00",
                 Repeat("00", 24) + "01 00 f7 00 01 00 f8 00");
  return lines;
}
const char* const kStandardLight0 = "07 00 01 22 33 00 00 a2";
const char* const kStandardEffect = "0d 01 03 02 00 00 00 ec";

// Replaces the one run of `from` in `lines` by `to`.
void Splice(Lines& lines, const Lines& from, const Lines& to) {
  const auto at = std::search(lines.begin(), lines.end(), from.begin(), from.end());
  ASSERT_NE(at, lines.end()) << from.front();
  ASSERT_EQ(std::search(at + 1, lines.end(), from.begin(), from.end()), lines.end()) << from.front();
  lines.insert(lines.erase(at, at + from.size()), to.begin(), to.end());
}

Lines ApplyTraffic(LinkHarness& h, const DeviceConfig& config) {
  DeviceImage image;
  Apply(h.link, config, image, [&] { h.log.Add("SAVE"); });
  return h.log.Lines();
}

// Stage block 0 is the mouse's own tuning: when it could not be read, its
// write (and its pause) is left out; block 1, the colours, still goes.
TEST(CarriedValuesTest, AnUnreadStageBlock0IsNotWrittenBack) {
  LinkHarness h;
  h.OpenPlain();
  ScriptMouseFailing(h, 0x90, 0);
  Lines expected = FactoryTraffic(kStandardLight0, kStandardEffect);
  const std::string block0 = "a0 a1 a2 a3 a4 a5 a6 a7 a8 a9 aa ab ac ad ae af b0 b1 b2 b3 b4 b5 b6 b7";
  Splice(expected, {G("90 00 18 00 00 00 00 57"), R(block0)}, {kGetFailed});
  Splice(expected, {S("10 00 18 00 00 00 00 d7"), W(block0), kPause3, kPause2}, {});
  EXPECT_EQ(ApplyTraffic(h, FactoryRecord()), expected);

  // A failed query for block 1 leaves block 0's answer alone: both go back.
  LinkHarness g;
  g.OpenPlain();
  ScriptMouseFailing(g, 0x90, 1);
  expected = FactoryTraffic(kStandardLight0, kStandardEffect);
  Splice(expected,
         {G("90 01 18 00 00 00 00 56"),
          R("c0 c1 c2 c3 c4 c5 c6 c7 c8 c9 ca cb cc cd ce cf d0 d1 d2 d3 d4 d5 d6 d7")},
         {kGetFailed});
  EXPECT_EQ(ApplyTraffic(g, FactoryRecord()), expected);
}

// A lighting triple goes back only when it was read, or when the mapping set
// all of it; Standard sets only its first byte.
TEST(CarriedValuesTest, AnUnreadLightingTripleIsNotWrittenBackUnlessTheModeSetsItAll) {
  // The first triple fails: the second request goes out over the zero image.
  const Lines firstFailed = {S("87 00 00 00 00 00 00 78"), kGetFailed, kPause2,
                             S("87 01 00 00 00 00 00 77"), G("87 01 66 77 88 00 00 12")};
  const Lines queries = {S("87 00 00 00 00 00 00 78"), G("87 00 11 22 33 44 55 79"), kPause2,
                         S("87 01 11 22 33 44 55 78"), G("87 01 66 77 88 00 00 12")};
  {
    LinkHarness h;
    h.OpenPlain();
    ScriptMouseFailing(h, 0x87, 0);
    Lines expected = FactoryTraffic(kStandardLight0, kStandardEffect);
    Splice(expected, queries, firstFailed);
    Splice(expected, {S(kStandardLight0), kPause2}, {});
    EXPECT_EQ(ApplyTraffic(h, FactoryRecord()), expected);
  }
  {
    // Neon effect 2 sets the whole first triple: it goes out all the same.
    // The effect was read, so its Option2 (01) goes back with it.
    DeviceConfig neon = FactoryRecord();
    neon.lightMode = 3;
    neon.neonEffect = 2;
    neon.neonPeriod = 0;
    LinkHarness h;
    h.OpenPlain();
    ScriptMouseFailing(h, 0x87, 0);
    Lines expected = FactoryTraffic("07 00 02 64 0a 00 00 88", "0d 03 01 01 00 00 00 ed");
    Splice(expected, queries, firstFailed);
    EXPECT_EQ(ApplyTraffic(h, neon), expected);
  }
  {
    // The second triple fails: its zero answer names index 0 and lands on the
    // first triple, so neither holds what the mouse has and neither goes back.
    LinkHarness h;
    h.OpenPlain();
    ScriptMouseFailing(h, 0x87, 1);
    Lines expected = FactoryTraffic(kStandardLight0, kStandardEffect);
    Splice(expected, {G("87 01 66 77 88 00 00 12")}, {kGetFailed});
    Splice(expected, {S(kStandardLight0), kPause2, S("07 01 66 77 88 00 00 92"), kPause2}, {});
    EXPECT_EQ(ApplyTraffic(h, FactoryRecord()), expected);
  }
}

// The effect goes back only when it was read, or when the mode sets all three
// fields (Standard does; Neon leaves Option2 to the mouse).
TEST(CarriedValuesTest, AnUnreadLightEffectIsSentOnlyWhenTheModeSetsItAll) {
  const Lines answered = {G("8d 04 07 01 00 00 00 66")};
  {
    LinkHarness h;
    h.OpenPlain();
    ScriptMouseFailing(h, 0x8D, -1);
    Lines expected = FactoryTraffic(kStandardLight0, kStandardEffect);
    Splice(expected, answered, {kGetFailed});
    EXPECT_EQ(ApplyTraffic(h, FactoryRecord()), expected);
  }
  {
    DeviceConfig neon = FactoryRecord();
    neon.lightMode = 3;
    neon.neonEffect = 2;
    neon.neonPeriod = 0;
    LinkHarness h;
    h.OpenPlain();
    ScriptMouseFailing(h, 0x8D, -1);
    Lines expected = FactoryTraffic("07 00 02 64 0a 00 00 88", "0d 03 01 01 00 00 00 ed");
    Splice(expected, answered, {kGetFailed});
    Splice(expected, {S("0d 03 01 01 00 00 00 ed")}, {});
    EXPECT_EQ(ApplyTraffic(h, neon), expected);
  }
  {
    // A mode the mapping does not know leaves the whole effect to the mouse.
    DeviceConfig off = FactoryRecord();
    off.lightMode = 0;
    LinkHarness h;
    h.OpenPlain();
    ScriptMouseFailing(h, 0x8D, -1);
    Lines expected = FactoryTraffic("07 00 11 22 33 00 00 92", "0d 04 07 01 00 00 00 e6");
    Splice(expected, answered, {kGetFailed});
    Splice(expected, {S("0d 04 07 01 00 00 00 e6")}, {});
    EXPECT_EQ(ApplyTraffic(h, off), expected);
  }
}

// With every answer in, the traffic is the golden one, and the neon variant
// above differs from it only in its two lighting writes.
TEST(CarriedValuesTest, AMouseThatAnswersEverythingGetsEverything) {
  DeviceConfig neon = FactoryRecord();
  neon.lightMode = 3;
  neon.neonEffect = 2;
  neon.neonPeriod = 0;
  LinkHarness h;
  h.OpenPlain();
  ScriptMouse(h);
  EXPECT_EQ(ApplyTraffic(h, neon), FactoryTraffic("07 00 02 64 0a 00 00 88", "0d 03 01 01 00 00 00 ed"));
  LinkHarness g;
  g.OpenPlain();
  ScriptMouse(g);
  EXPECT_EQ(ApplyTraffic(g, FactoryRecord()), FactoryTraffic(kStandardLight0, kStandardEffect));
}

}  // namespace
}  // namespace kovral
