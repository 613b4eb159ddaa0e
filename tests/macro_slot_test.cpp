#include <gtest/gtest.h>

#include "macro/macro_slot.h"

namespace kovral {
namespace {

TEST(MacroSlotDecode, ShortFormsOfPressAndRelease) {
  // Press "A", 50 ms, release "A", 50 ms, loop count 1.
  uint8_t slot[kMacroSlotSize]{0x00, 0x01, 0x05, 0x04, 0x85, 0x04};
  const auto d = DecodeMacroSlot(slot);
  EXPECT_EQ(d.loopCount, 1);
  ASSERT_EQ(d.events.size(), 2u);
  EXPECT_FALSE(d.events[0].up);
  EXPECT_EQ(d.events[0].code, 0x04);
  EXPECT_EQ(d.events[0].delayMs, 50u);
  EXPECT_TRUE(d.events[1].up);
  EXPECT_EQ(d.events[1].delayMs, 50u);
  EXPECT_FALSE(MacroSlotIsEmpty(slot));
}

TEST(MacroSlotDecode, LongFormAndTheLongestShortDelay) {
  // Press "B" then 1280 ms (long form), release "B" then 1270 ms (short, 127 + flag).
  uint8_t slot[kMacroSlotSize]{0x01, 0x2C, 0x50, 0x05, 0x0C, 0x03, 0xFF, 0x05};
  const auto d = DecodeMacroSlot(slot);
  EXPECT_EQ(d.loopCount, 300);
  ASSERT_EQ(d.events.size(), 2u);
  EXPECT_EQ(d.events[0].delayMs, 1280u);
  EXPECT_FALSE(d.events[0].up);
  EXPECT_EQ(d.events[1].delayMs, 1270u);
  EXPECT_TRUE(d.events[1].up);
  EXPECT_EQ(d.events[1].code, 0x05);
}

TEST(MacroSlotDecode, EmptyAndFullSlotsStayInside) {
  uint8_t empty[kMacroSlotSize]{};
  EXPECT_TRUE(MacroSlotIsEmpty(empty));
  EXPECT_TRUE(DecodeMacroSlot(empty).events.empty());

  uint8_t full[kMacroSlotSize];
  for (int i = 0; i < kMacroSlotSize; ++i) full[i] = (i % 2) ? 0x04 : 0x01;  // 63 presses of "A", 10 ms
  const auto d = DecodeMacroSlot(full);
  EXPECT_EQ(d.events.size(), 63u);
}

}  // namespace
}  // namespace kovral
