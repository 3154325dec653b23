#include "services/input.h"

#include <gtest/gtest.h>

#include <utility>

#include "platform/platform.h"

namespace {

TEST(TapLatch, OneTapPerTouchDownAtTheLastTouchDownPoint) {
  TapConsumed = 1;
  EXPECT_FALSE(TakeTap()) << "nothing is pending before any touch";

  // Two touches between frames: one tap, at the second place.
  RecordStylusDown(PackStylusPosition(10, 20));
  RecordStylusDown(PackStylusPosition(200, 310));
  EXPECT_TRUE(TakeTap());
  EXPECT_EQ(std::pair(StylusX, StylusY), std::pair(200u, 310u));
  EXPECT_FALSE(TakeTap());

  // The position word is read unsigned: the largest halves come back whole.
  RecordStylusDown(static_cast<intptr_t>(0xFFFF'FFFFu));
  EXPECT_TRUE(TakeTap());
  EXPECT_EQ(std::pair(StylusX, StylusY), std::pair(0xFFFFu, 0xFFFFu));
}

}  // namespace
