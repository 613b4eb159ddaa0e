#include <gtest/gtest.h>

#include "device/clock.h"

namespace kovral {
namespace {

// Counter frequencies seen on Windows: the 10 MHz of current systems and the
// ACPI timer's 3.579545 MHz. The long runs overflow ticks * 1000000.
TEST(TicksToMicros, IsExactFromTheFirstTickToAYearOfRunning) {
  constexpr int64_t k10MHz = 10000000;
  constexpr int64_t kAcpi = 3579545;
  EXPECT_EQ(TicksToMicros(19, k10MHz).count(), 1);
  EXPECT_EQ(TicksToMicros(3, kAcpi).count(), 0);
  EXPECT_EQ(TicksToMicros(3580, kAcpi).count(), 1000);
  // 30 days and 365 days, plus part of a second.
  EXPECT_EQ(TicksToMicros(25920001234567, k10MHz).count(), 2592000123456);
  EXPECT_EQ(TicksToMicros(315360009999999, k10MHz).count(), 31536000999999);
  EXPECT_EQ(TicksToMicros(9278182429772, kAcpi).count(), 2592000499999);
  EXPECT_EQ(TicksToMicros(112884534699544, kAcpi).count(), 31536000999999);
  EXPECT_EQ(TicksToMicros(1000, 0).count(), 0);
}

}  // namespace
}  // namespace kovral
