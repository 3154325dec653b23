#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/headless_host.h"

namespace {

using ClockTest = HeadlessHostTest;

TEST_F(ClockTest, VirtualClockMovesOnlyWhileSleepingAndWraps) {
  StartHost("wait 0\n", host::DisplayMode::Rgb565, 4294967290u);
  EXPECT_EQ(ReadTickCounter(), 4294967290u);
  EXPECT_EQ(ReadTickCounter(), 4294967290u);
  // The game's pause: the 32-bit difference still reads 30 across the wrap.
  SleepMilliseconds(30);
  EXPECT_EQ(ReadTickCounter(), 24u);
  EXPECT_EQ(static_cast<int32_t>(ReadTickCounter() - 4294967290u), 30);
}

}  // namespace
