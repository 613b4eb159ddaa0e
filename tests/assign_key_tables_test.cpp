#include <gtest/gtest.h>

#include <set>
#include <iterator>
#include <string>
#include <vector>

#include "assign/key_tables.h"

namespace kovral {
namespace {

TEST(KeyNameToUsage, RunBoundariesAndOneCharacterNames) {
  struct Case {
    const wchar_t* name;
    uint8_t usage;
  };
  const Case cases[] = {
      {L"A", 0x04},           {L"Z", 0x1D},         {L"1", 0x1E},          {L"9", 0x26},
      {L"0", 0x27},           {L"Enter", 0x28},     {L"Esc", 0x29},        {L"Space", 0x2C},
      {L"-", 0x2D},           {L"=", 0x2E},         {L"[", 0x2F},          {L"]", 0x30},
      {L"\\", 0x31},          {L"Eurpo(Note 2)", 0x32}, {L";", 0x33},      {L"'", 0x34},
      {L"`", 0x35},           {L",", 0x36},         {L".", 0x37},          {L"/", 0x38},
      {L"Caps Lock", 0x39},   {L"F1", 0x3A},        {L"F12", 0x45},        {L"Prnt Scrn", 0x46},
      {L"Up", 0x52},          {L"Num Lock", 0x53},  {L"Num Enter", 0x58},  {L"Num 1", 0x59},
      {L"Num 0", 0x62},       {L"Num Del", 0x63},   {L"Ctrl", 0xE0},       {L"Left Windows", 0xE3},
      {L"Right Windows", 0xE7}, {L"L-Button", 0xF0}, {L"M-Button", 0xF2},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyNameToUsage(c.name), c.usage) << std::wstring(c.name).size();
}

// Every name with its usage, typed out from the key table rather than taken
// from it: a swapped pair of neighbours ("K" and "L") fails here, which the
// consistency checks below cannot see.
TEST(KeyNameToUsage, EveryNameHasItsOwnUsage) {
  struct Run {
    uint8_t first;
    std::vector<std::wstring> names;
  };
  const Run runs[] = {
      {0x04, {L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H", L"I", L"J", L"K", L"L", L"M",
              L"N", L"O", L"P", L"Q", L"R", L"S", L"T", L"U", L"V", L"W", L"X", L"Y", L"Z"}},
      {0x1E, {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"0"}},
      {0x28, {L"Enter", L"Esc", L"Backspace", L"Tab", L"Space", L"-", L"=", L"[", L"]", L"\\",
              L"Eurpo(Note 2)", L";", L"'", L"`", L",", L".", L"/", L"Caps Lock"}},
      {0x3A, {L"F1", L"F2", L"F3", L"F4", L"F5", L"F6", L"F7", L"F8", L"F9", L"F10", L"F11", L"F12"}},
      {0x46, {L"Prnt Scrn", L"Scroll Lock", L"Pause", L"Insert", L"Home", L"Page Up", L"Delete", L"End",
              L"Page Down", L"Right", L"Left", L"Down", L"Up"}},
      {0x53, {L"Num Lock", L"Num /", L"Num *", L"Num -", L"Num +", L"Num Enter", L"Num 1", L"Num 2", L"Num 3",
              L"Num 4", L"Num 5", L"Num 6", L"Num 7", L"Num 8", L"Num 9", L"Num 0", L"Num Del"}},
      {0xE0, {L"Ctrl", L"Shift", L"Alt", L"Left Windows", L"Right Ctrl", L"Right Shift", L"Right Alt",
              L"Right Windows"}},
      {0xF0, {L"L-Button", L"R-Button", L"M-Button"}},
  };
  size_t count = 0;
  for (const Run& run : runs) {
    for (size_t i = 0; i < run.names.size(); ++i) {
      const uint8_t usage = static_cast<uint8_t>(run.first + i);
      EXPECT_EQ(KeyNameToUsage(run.names[i]), usage) << run.names[i].size() << " chars, 0x" << std::hex << int(usage);
      const wchar_t* name = KeyUsageName(usage);
      ASSERT_NE(name, nullptr) << std::hex << int(usage);
      EXPECT_EQ(std::wstring(name), run.names[i]) << std::hex << int(usage);
    }
    count += run.names.size();
  }
  EXPECT_EQ(count, KeyNames().size());
}

// The fire-key list, the media list and the Windows list, position by
// position, as the dialogs show them.
TEST(FireKeyToCode, EveryPositionHasItsOwnCode) {
  const wchar_t* names[] = {
      L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H", L"I", L"J", L"K", L"L", L"M", L"N", L"O", L"P",
      L"Q", L"R", L"S", L"T", L"U", L"V", L"W", L"X", L"Y", L"Z", L"1", L"2", L"3", L"4", L"5", L"6",
      L"7", L"8", L"9", L"0", L"L-CTRL", L"L-SHIFT", L"L-ALT", L"R-CTRL", L"R-SHIFT", L"R-ALT",
      L"F1", L"F2", L"F3", L"F4", L"F5", L"F6", L"F7", L"F8", L"F9", L"F10", L"F11", L"F12",
      L"L-Button", L"R-Button", L"M-Button", L"B4-Button", L"B5-Button", L"L-Tilt Wheel", L"R-Tilt Wheel"};
  const uint8_t codes[] = {
      0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11, 0x12, 0x13,
      0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23,
      0x24, 0x25, 0x26, 0x27, 0xE0, 0xE1, 0xE2, 0xE4, 0xE5, 0xE6,
      0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45,
      0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6};
  static_assert(std::size(names) == 61 && std::size(codes) == 61);
  ASSERT_EQ(FireKeys().size(), std::size(names));
  for (size_t p = 0; p < std::size(names); ++p) {
    EXPECT_EQ(FireKeyToCode(static_cast<uint8_t>(p)), codes[p]) << p;
    EXPECT_STREQ(FireKeys()[p].name, names[p]) << p;
    EXPECT_STREQ(FireKeyCodeName(codes[p]), names[p]) << p;
  }
}

TEST(ConsumerLists, EveryPositionHasItsOwnUsage) {
  const uint8_t media[] = {0xB5, 0xB6, 0xB7, 0xCD, 0xE2, 0xE9, 0xEA};
  for (size_t p = 0; p < std::size(media); ++p) {
    EXPECT_EQ(MediaToUsage(static_cast<uint8_t>(p)), media[p]) << p;
    EXPECT_EQ(MediaPositionOfUsage(media[p]), static_cast<int>(p));
  }
  const uint16_t windows[] = {0x0183, 0x018A, 0x0192, 0x0194, 0x0221, 0x0223,
                              0x0224, 0x0225, 0x0226, 0x0227, 0x022A};
  for (size_t p = 0; p < std::size(windows); ++p) {
    const auto position = static_cast<uint8_t>(p);
    EXPECT_EQ(WindowsToUsage(position), windows[p] & 0xFF) << p;
    EXPECT_EQ(WindowsUsageHigh(position), windows[p] >> 8) << p;
    EXPECT_EQ(WindowsPositionOfUsage(windows[p] & 0xFF, windows[p] >> 8), static_cast<int>(p));
  }
}

TEST(KeyNameToUsage, WholeTableIsConsistent) {
  ASSERT_EQ(KeyNames().size(), 107u);
  std::set<std::wstring> names;
  std::set<uint8_t> usages;
  for (const KeyNameEntry& e : KeyNames()) {
    names.insert(e.name);
    usages.insert(e.usage);
    EXPECT_NE(e.usage, 0);
    EXPECT_EQ(KeyNameToUsage(e.name), e.usage);
    EXPECT_STREQ(KeyUsageName(e.usage), e.name);
  }
  EXPECT_EQ(names.size(), 107u);
  EXPECT_EQ(usages.size(), 107u);
}

TEST(KeyNameToUsage, OnlyExactSpellingsMatch) {
  for (const wchar_t* miss : {L"a", L"enter", L"ENTER", L" A", L"A ", L"Num  1", L"", L"Strg",
                              L"Left Win", L"Right Win", L"Left Ctrl", L"B4-Button"})
    EXPECT_EQ(KeyNameToUsage(miss), 0) << std::wstring(miss).size();
  // A text that holds a known name followed by more characters after a zero.
  EXPECT_EQ(KeyNameToUsage(std::wstring(L"A\0B", 3)), 0);
}

TEST(ModifierNameToBit, ListPositionsGiveBitsAndSpellingsStaySeparate) {
  const wchar_t* names[] = {L"Left Ctrl",  L"Left Shift",  L"Left Alt",  L"Left Win",
                            L"Right Ctrl", L"Right Shift", L"Right Alt", L"Right Win"};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(ModifierNameToBit(names[i]), 1u << i) << i;
    EXPECT_STREQ(ModifierBitName(static_cast<uint8_t>(1u << i)), names[i]);
  }
  EXPECT_EQ(ModifierNameToBit(L"Left Windows"), 0);
  EXPECT_EQ(ModifierNameToBit(L"Ctrl"), 0);
  EXPECT_EQ(ModifierNameToBit(L"left ctrl"), 0);
  // The same name means a usage in one table and a bit in the other.
  EXPECT_EQ(KeyNameToUsage(L"Right Ctrl"), 0xE4);
  EXPECT_EQ(ModifierNameToBit(L"Right Ctrl"), 0x10);
  EXPECT_EQ(ModifierBitName(0x03), nullptr);
  EXPECT_EQ(ModifierBitName(0), nullptr);
}

TEST(FireKeyToCode, ListBoundaries) {
  struct Case {
    uint8_t position;
    uint8_t code;
    const wchar_t* name;
  };
  const Case cases[] = {
      {0, 0x04, L"A"},        {25, 0x1D, L"Z"},         {26, 0x1E, L"1"},        {35, 0x27, L"0"},
      {36, 0xE0, L"L-CTRL"},  {38, 0xE2, L"L-ALT"},     {39, 0xE4, L"R-CTRL"},   {40, 0xE5, L"R-SHIFT"},
      {41, 0xE6, L"R-ALT"},   {42, 0x3A, L"F1"},        {53, 0x45, L"F12"},      {54, 0xF0, L"L-Button"},
      {57, 0xF3, L"B4-Button"}, {60, 0xF6, L"R-Tilt Wheel"},
  };
  ASSERT_EQ(FireKeys().size(), 61u);
  for (const Case& c : cases) {
    EXPECT_EQ(FireKeyToCode(c.position), c.code) << int(c.position);
    EXPECT_STREQ(FireKeys()[c.position].name, c.name);
  }
  EXPECT_EQ(FireKeyToCode(61), 0);
  EXPECT_EQ(FireKeyToCode(255), 0);
}

TEST(ConsumerLists, MediaAndWindowsPositions) {
  EXPECT_EQ(MediaToUsage(0), 0xB5);
  EXPECT_EQ(MediaToUsage(3), 0xCD);
  EXPECT_EQ(MediaToUsage(6), 0xEA);
  EXPECT_EQ(MediaToUsage(7), 0);
  EXPECT_EQ(MediaToUsage(255), 0);

  struct Case {
    uint8_t position, low, high;
  };
  const Case cases[] = {{0, 0x83, 1}, {3, 0x94, 1}, {4, 0x21, 2}, {9, 0x27, 2},
                        {10, 0x2A, 2}, {11, 0, 0}, {255, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(WindowsToUsage(c.position), c.low) << int(c.position);
    EXPECT_EQ(WindowsUsageHigh(c.position), c.high) << int(c.position);
  }
}

TEST(ReverseLookups, NameStoredCodesForDisplay) {
  EXPECT_STREQ(MouseButtonName(0xF0), L"L-Button");
  EXPECT_STREQ(MouseButtonName(0xF3), L"B4-Button");
  EXPECT_STREQ(MouseButtonName(0xF6), L"R-Tilt Wheel");
  EXPECT_EQ(MouseButtonName(0xEF), nullptr);
  EXPECT_EQ(MouseButtonName(0xF7), nullptr);

  EXPECT_STREQ(KeyUsageName(0xE0), L"Ctrl");
  EXPECT_EQ(KeyUsageName(0), nullptr);
  EXPECT_EQ(KeyUsageName(0x64), nullptr);

  EXPECT_STREQ(FireKeyCodeName(0xE4), L"R-CTRL");
  EXPECT_EQ(FireKeyCodeName(0xE3), nullptr);  // the fire list has no Windows key
  EXPECT_EQ(FireKeyCodeName(0), nullptr);

  EXPECT_EQ(MediaPositionOfUsage(0xEA), 6);
  EXPECT_EQ(MediaPositionOfUsage(0), -1);
  EXPECT_EQ(WindowsPositionOfUsage(0x2A, 2), 10);
  EXPECT_EQ(WindowsPositionOfUsage(0x83, 1), 0);
  EXPECT_EQ(WindowsPositionOfUsage(0x2A, 1), -1);
}

}  // namespace
}  // namespace kovral
