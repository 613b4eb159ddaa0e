#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <string>

#include "assign/key_names.h"
#include "assign/key_tables.h"

namespace kovral {
namespace {

uint32_t KeyData(unsigned scan, bool extended) { return (scan << 16) | (extended ? 1u << 24 : 0u) | 1u; }

// Every keyboard usage of the key-name table is reached by exactly one key,
// whose name maps back to that usage (the ISO key "Eurpo(Note 2)" has no key
// of its own on a standard layout and is named by stored text only).
TEST(KeyNames, EveryKeyboardUsageHasOneKeyThatNamesIt) {
  std::set<uint8_t> reached;
  for (unsigned scan = 0; scan < 0x100; ++scan) {
    for (bool extended : {false, true}) {
      const wchar_t* name = KeyNameOfScanCode(scan, extended);
      if (!name) continue;
      const uint8_t usage = KeyNameToUsage(name);
      ASSERT_NE(usage, 0) << "scan " << scan << " names an unknown key";
      EXPECT_TRUE(reached.insert(usage).second) << "two keys give usage " << int(usage);
    }
  }
  for (const KeyNameEntry& entry : KeyNames()) {
    const bool keyboard = entry.usage < 0xF0 && std::wstring(entry.name) != L"Eurpo(Note 2)";
    EXPECT_EQ(reached.count(entry.usage), keyboard ? 1u : 0u) << "usage " << int(entry.usage);
  }
}

TEST(KeyNames, SharedScanCodesAndTheSystemsOwnNames) {
  EXPECT_EQ(KeyNameOfKeystroke(KeyData(0x45, true), L"Num_Lock"), L"Num Lock");
  EXPECT_EQ(KeyNameOfKeystroke(KeyData(0x45, false), L"Pause"), L"Pause");
  EXPECT_EQ(KeyNameOfKeystroke(KeyData(0x37, true), L"Print"), L"Prnt Scrn");
  EXPECT_EQ(KeyNameOfKeystroke(KeyData(0x37, false), L"KP_Multiply"), L"Num *");
  EXPECT_EQ(KeyNameOfKeystroke(KeyData(0x36, false), L"Shift_R"), L"Right Shift");
  EXPECT_EQ(KeyNameOfKeystroke(KeyData(0x3A, false), L"Caps_Lock"), L"Caps Lock");
  EXPECT_EQ(KeyNameOfKeystroke(KeyData(0x1D, true), L"Control"), L"Right Ctrl");
  // A key the table does not know keeps the system's name.
  EXPECT_EQ(KeyNameOfKeystroke(KeyData(0x70, false), L"Katakana"), L"Katakana");
}

}  // namespace
}  // namespace kovral

namespace kovral {
namespace {

// Linux key codes whose key Windows marks extended, or whose number differs
// from its scan code, name the same key as on Windows.
TEST(KeyNames, LinuxKeyCodesNameTheSameKeys) {
  const std::pair<unsigned, const wchar_t*> cases[] = {
      {30, L"A"},          {28, L"Enter"},      {96, L"Num Enter"},     {29, L"Ctrl"},   {97, L"Right Ctrl"},
      {54, L"Right Shift"}, {100, L"Right Alt"}, {69, L"Num Lock"},      {119, L"Pause"}, {99, L"Prnt Scrn"},
      {55, L"Num *"},      {98, L"Num /"},      {111, L"Delete"},       {83, L"Num Del"}, {103, L"Up"},
      {72, L"Num 8"},      {125, L"Left Windows"}, {126, L"Right Windows"}, {87, L"F11"},
  };
  for (const auto& [code, name] : cases) {
    const wchar_t* got = KeyNameOfEvdevCode(code);
    ASSERT_NE(got, nullptr) << code;
    EXPECT_STREQ(got, name) << code;
  }
  EXPECT_EQ(KeyNameOfEvdevCode(0), nullptr);
  EXPECT_EQ(KeyNameOfEvdevCode(240), nullptr);  // KEY_UNKNOWN
}

}  // namespace
}  // namespace kovral
