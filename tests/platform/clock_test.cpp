#include <gtest/gtest.h>

#include "platform/headless_run.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace {

using ClockTest = HeadlessRun;

TEST_F(ClockTest, VirtualClockMovesOnlyWhileSleeping) {
  host::Options options;
  options.TickStart = 5000;
  Restart(options);
  EXPECT_EQ(ReadTickCounter(), 5000u);
  EXPECT_EQ(ReadTickCounter(), 5000u);
  SleepMilliseconds(30);
  EXPECT_EQ(ReadTickCounter(), 5030u);
  SleepMilliseconds(0);
  SleepMilliseconds(7);
  EXPECT_EQ(ReadTickCounter(), 5037u);
  host::SetTickCounter(12);
  EXPECT_EQ(ReadTickCounter(), 12u);
}

TEST_F(ClockTest, CounterWrapsAtTwoToTheThirtyTwo) {
  host::Options options;
  options.TickStart = 4294967290u;
  Restart(options);
  const uint32_t mark = ReadTickCounter();
  // The game's own pause: sleep until 30 ms have passed since the mark.
  int32_t elapsed;
  int sleeps = 0;
  while ((elapsed = static_cast<int32_t>(ReadTickCounter() - mark)) < 30) {
    SleepMilliseconds(static_cast<uint32_t>(30 - elapsed));
    ++sleeps;
  }
  EXPECT_EQ(sleeps, 1);
  EXPECT_EQ(ReadTickCounter(), 24u);
}

}  // namespace
