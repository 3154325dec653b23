#include "app/input.h"

#include <gtest/gtest.h>

#include "app/window.h"
#include "platform/platform.h"

namespace {

void Stylus(uint32_t message, uint32_t x, uint32_t y) {
  GameWindowProcedure(nullptr, message, 0, PackStylusPosition(x, y));
}

class TapLatch : public ::testing::Test {
 protected:
  void SetUp() override { TapConsumed = 1; }
};

TEST_F(TapLatch, NothingIsPendingBeforeAnyTouch) { EXPECT_FALSE(TakeTap()); }

TEST_F(TapLatch, TwoTouchesBetweenFramesGiveOneTapAtTheSecondPlace) {
  Stylus(MessageStylusDown, 10, 20);
  Stylus(MessageStylusUp, 10, 20);
  Stylus(MessageStylusDown, 200, 310);
  EXPECT_TRUE(TakeTap());
  EXPECT_EQ(StylusX, 200u);
  EXPECT_EQ(StylusY, 310u);
  EXPECT_FALSE(TakeTap());
}

TEST_F(TapLatch, DraggingAndLiftingElsewhereKeepsTheTouchDownPoint) {
  Stylus(MessageStylusDown, 30, 40);
  Stylus(MessageStylusMove, 90, 100);
  Stylus(MessageStylusUp, 150, 160);
  EXPECT_EQ(StylusX, 30u);
  EXPECT_EQ(StylusY, 40u);
  EXPECT_TRUE(TakeTap());
  // Moving and lifting after the tap was taken do not make a new one.
  Stylus(MessageStylusMove, 1, 1);
  Stylus(MessageStylusUp, 1, 1);
  EXPECT_FALSE(TakeTap());
}

TEST_F(TapLatch, HardwareKeysChangeNothing) {
  Stylus(MessageStylusDown, 5, 6);
  ASSERT_TRUE(TakeTap());
  EXPECT_EQ(GameWindowProcedure(nullptr, MessageKeyDown, 0x0D, 0), 0);
  EXPECT_EQ(GameWindowProcedure(nullptr, MessageKeyUp, 0x0D, 0), 0);
  EXPECT_FALSE(TakeTap());
  EXPECT_EQ(StylusX, 5u);
}

TEST_F(TapLatch, PositionWordIsReadUnsigned) {
  // The largest coordinates a 16-bit half can carry come back whole, never
  // as negative numbers.
  GameWindowProcedure(nullptr, MessageStylusDown, 0, static_cast<intptr_t>(0xFFFF'FFFFu));
  EXPECT_TRUE(TakeTap());
  EXPECT_EQ(StylusX, 0xFFFFu);
  EXPECT_EQ(StylusY, 0xFFFFu);
}

}  // namespace
