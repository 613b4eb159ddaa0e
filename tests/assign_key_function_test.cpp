#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "assign/key_function.h"
#include "assign/key_tables.h"

namespace kovral {
namespace {

using Bytes4 = std::array<uint8_t, 4>;
using Image = uint8_t[kKeyMatrixCount][kKeyMatrixBytes];

Bytes4 SlotBytes(const Image& image, int matrix, int slot) {
  const uint8_t* p = image[matrix] + 4 * slot;
  return {p[0], p[1], p[2], p[3]};
}

Bytes4 BytesOf(KeyFunction f) { return {f.type, f.param1, f.param2, f.param3}; }

void SetFactoryLayer(DeviceConfig& c, int mode) {
  static constexpr uint8_t kIndex[kButtonCount] = {0, 1, 2, 3, 4, 6, 15, 15};
  std::memcpy(LayerTable(c, mode).functionIndex, kIndex, kButtonCount);
  LayerDpiAction(c, mode)[5] = 3;
}

// The factory matrix worked out by hand, slot 0 to 15, as it goes on the wire.
constexpr uint8_t kFactoryMatrix[kKeyMatrixBytes] = {
    0x01, 0x00, 0xF0, 0x00,  0x01, 0x00, 0xF1, 0x00,  0x01, 0x00, 0xF2, 0x00,
    0x01, 0x00, 0xF3, 0x00,  0x01, 0x00, 0xF4, 0x00,  0x07, 0x00, 0x03, 0x00,
    0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,
    0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,
    0x01, 0x00, 0xF7, 0x00,  0x01, 0x00, 0xF8, 0x00,
};

TEST(KeyMatrices, FactoryAssignmentGivesTheFactoryMatrixInMatrixOneAndThree) {
  DeviceConfig c{};
  SetFactoryLayer(c, 0);
  SetFactoryLayer(c, 1);
  Image image;
  std::memset(image, 0xAA, sizeof image);  // stale content must not survive
  BuildKeyMatrices(c, image);

  const uint8_t zeros[kKeyMatrixBytes] = {};
  EXPECT_EQ(0, std::memcmp(image[0], kFactoryMatrix, kKeyMatrixBytes));
  EXPECT_EQ(0, std::memcmp(image[1], zeros, kKeyMatrixBytes));
  EXPECT_EQ(0, std::memcmp(image[2], kFactoryMatrix, kKeyMatrixBytes));
  EXPECT_EQ(0, std::memcmp(image[3], zeros, kKeyMatrixBytes));

  // The same matrix read as little-endian words.
  constexpr uint32_t kWords[kKeyMatrixSlots] = {0x00F00001, 0x00F10001, 0x00F20001, 0x00F30001,
                                                0x00F40001, 0x00030007, 0, 0, 0, 0, 0, 0, 0, 0,
                                                0x00F70001, 0x00F80001};
  const KeyMatrix m = KeyMatrix::ReadWireImage(image[2]);
  for (int s = 0; s < kKeyMatrixSlots; ++s) EXPECT_EQ(m.slots[s].WordLE(), kWords[s]) << "slot " << s;
}

TEST(KeyMatrices, ModeBComesFromItsOwnTableAndDpiActions) {
  DeviceConfig c{};
  SetFactoryLayer(c, 0);
  SetFactoryLayer(c, 1);
  c.dpiActionA[5] = kDpiActionUp;
  c.dpiActionB[5] = kDpiActionDown;
  c.modeB.functionIndex[0] = 15;
  c.modeB.functionIndex[1] = 0;
  Image image;
  BuildKeyMatrices(c, image);
  EXPECT_EQ(SlotBytes(image, 0, 5), (Bytes4{7, 0, 1, 0}));
  EXPECT_EQ(SlotBytes(image, 2, 5), (Bytes4{7, 0, 2, 0}));
  EXPECT_EQ(SlotBytes(image, 0, 0), (Bytes4{1, 0, 0xF0, 0}));
  EXPECT_EQ(SlotBytes(image, 2, 0), (Bytes4{0, 0, 0, 0}));
  EXPECT_EQ(SlotBytes(image, 2, 1), (Bytes4{1, 0, 0xF0, 0}));
}

TEST(KeyMatrices, ButtonsFourAndFiveTradeSlots) {
  const uint8_t expected[] = {0, 1, 2, 4, 3, 5, 6, 7};
  for (int b = 0; b < kButtonCount; ++b) EXPECT_EQ(SlotOfButton(b), expected[b]) << "button " << b;
  EXPECT_EQ(SlotOfButton(-1), kNoSlot);
  EXPECT_EQ(SlotOfButton(8), kNoSlot);

  // Interface button 4 (index 3) switched off clears slot 4, not slot 3.
  DeviceConfig c{};
  SetFactoryLayer(c, 0);
  c.modeA.functionIndex[3] = 15;
  Image image;
  BuildKeyMatrices(c, image);
  EXPECT_EQ(SlotBytes(image, 0, 4), (Bytes4{0, 0, 0, 0}));
  EXPECT_EQ(SlotBytes(image, 0, 3), (Bytes4{1, 0, 0xF3, 0}));
}

// Button index 3 carries parameters that differ from every other button's,
// so a code built from the wrong button's bytes shows.
TEST(KeyFunctionFor, EveryFunctionIndexBuildsItsCode) {
  struct Case {
    uint8_t index;
    Bytes4 bytes;
  };
  const Case cases[] = {
      {0, {1, 0, 0xF0, 0}},     {1, {1, 0, 0xF1, 0}},      {2, {1, 0, 0xF2, 0}},
      {3, {1, 0, 0xF4, 0}},     {4, {1, 0, 0xF3, 0}},      {5, {10, 0xF0, 0x22, 3}},
      {6, {7, 0, 2, 0}},        {7, {8, 0, 3, 0}},         {8, {3, 0, 0x92, 0x01}},
      {9, {3, 0, 0xE9, 0}},     {10, {10, 0x3E, 0x40, 7}}, {11, {0, 0, 0x39, 0}},
      {12, {0, 0x10, 0x04, 0x05}}, {13, {9, 2, 5, 0}},     {14, {8, 0, 2, 0}},
      {15, {0, 0, 0, 0}},       {16, {0, 0, 0, 0}},        {255, {0, 0, 0, 0}},
  };
  for (const Case& k : cases) {
    DeviceConfig c{};
    std::memset(&c.modeA, 0xEE, sizeof c.modeA);
    std::memset(c.dpiActionA, 0xEE, sizeof c.dpiActionA);
    AssignmentTable& t = c.modeA;
    const int b = 3;
    t.functionIndex[b] = k.index;
    c.dpiActionA[b] = kDpiActionDown;
    t.windowsUsageLow[b] = 0x92;
    t.windowsUsageHigh[b] = 0x01;
    t.mediaUsage[b] = 0xE9;
    t.fireKeyCode[b] = 0x3E;
    t.fireSpeed[b] = 0x40;
    t.fireTimes[b] = 7;
    t.singleKeyCode[b] = 0x39;
    t.comboModifiers[b] = 0x10;
    t.comboKey1[b] = 0x04;
    t.comboKey2[b] = 0x05;
    t.macroIndex[b] = 4;
    t.macroMode[b] = 2;
    EXPECT_EQ(BytesOf(KeyFunctionFor(t, c.dpiActionA, b)), k.bytes) << "index " << int(k.index);
    Image image;
    BuildKeyMatrices(c, image);
    EXPECT_EQ(SlotBytes(image, 0, 4), k.bytes) << "matrix slot of index " << int(k.index);
  }
}

TEST(KeyFunctionFor, ParameterEdgeCases) {
  AssignmentTable t{};
  uint8_t dpi[kButtonCount] = {};
  const int b = 2;

  // "DPI Switch" whose action was never set.
  t.functionIndex[b] = 6;
  EXPECT_EQ(KeyFunctionFor(t, dpi, b).WordLE(), 0x00000007u);
  EXPECT_EQ(KeyFunctionFor(t, nullptr, b).WordLE(), 0x00000007u);

  // "Windows" at the first and the last list position, through the lookups.
  t.functionIndex[b] = 8;
  t.windowsUsageLow[b] = WindowsToUsage(0);
  t.windowsUsageHigh[b] = WindowsUsageHigh(0);
  EXPECT_EQ(BytesOf(KeyFunctionFor(t, dpi, b)), (Bytes4{3, 0, 0x83, 0x01}));
  t.windowsUsageLow[b] = WindowsToUsage(10);
  t.windowsUsageHigh[b] = WindowsUsageHigh(10);
  EXPECT_EQ(BytesOf(KeyFunctionFor(t, dpi, b)), (Bytes4{3, 0, 0x2A, 0x02}));

  // First macro, second repeat mode; then the mode a failed dialog leaves
  // (0 - 1 = 255) and an index that wraps when the mouse's 1-based number is made.
  t.functionIndex[b] = 13;
  t.macroIndex[b] = 0;
  t.macroMode[b] = 1;
  EXPECT_EQ(BytesOf(KeyFunctionFor(t, dpi, b)), (Bytes4{9, 1, 1, 0}));
  t.macroMode[b] = 255;
  EXPECT_EQ(BytesOf(KeyFunctionFor(t, dpi, b)), (Bytes4{9, 0xFF, 1, 0}));
  t.macroIndex[b] = 255;
  EXPECT_EQ(BytesOf(KeyFunctionFor(t, dpi, b)), (Bytes4{9, 0xFF, 0, 0}));

  // Fire "R-Button" at the fastest speed until release.
  t.functionIndex[b] = 10;
  t.fireKeyCode[b] = FireKeyToCode(55);
  t.fireSpeed[b] = 5;
  t.fireTimes[b] = 0;
  EXPECT_EQ(BytesOf(KeyFunctionFor(t, dpi, b)), (Bytes4{10, 0xF1, 5, 0}));

  // A combo of a modifier alone.
  t.functionIndex[b] = 12;
  t.comboModifiers[b] = ModifierNameToBit(L"Right Alt");
  EXPECT_EQ(BytesOf(KeyFunctionFor(t, dpi, b)), (Bytes4{0, 0x40, 0, 0}));

  // No such button.
  t.functionIndex[0] = 0;
  EXPECT_EQ(KeyFunctionFor(t, dpi, -1).WordLE(), 0u);
  EXPECT_EQ(KeyFunctionFor(t, dpi, 8).WordLE(), 0u);
}

TEST(KeyFunctionWord, ByteZeroIsTheLeastSignificant) {
  const KeyFunction f = KeyFunction::FromWordLE(0x0322F00A);
  EXPECT_EQ(BytesOf(f), (Bytes4{0x0A, 0xF0, 0x22, 0x03}));
  EXPECT_EQ(f.WordLE(), 0x0322F00Au);
  uint8_t raw[4] = {};
  f.WriteLE(raw);
  EXPECT_EQ(raw[0], 0x0A);
  EXPECT_EQ(raw[3], 0x03);
  EXPECT_EQ(KeyFunction::ReadLE(raw), f);
}

}  // namespace
}  // namespace kovral
