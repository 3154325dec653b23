#include "app/input.h"

#include <gtest/gtest.h>

#include <utility>

#include "app/window.h"
#include "platform/platform.h"

namespace {

void Stylus(uint32_t message, uint32_t x, uint32_t y) {
  GameWindowProcedure(nullptr, message, 0, PackStylusPosition(x, y));
}

TEST(TapLatch, OneTapPerTouchDownAtTheLastTouchDownPoint) {
  TapConsumed = 1;
  EXPECT_FALSE(TakeTap()) << "nothing is pending before any touch";

  // Two touches between frames: one tap, at the second place.
  Stylus(MessageStylusDown, 10, 20);
  Stylus(MessageStylusUp, 10, 20);
  Stylus(MessageStylusDown, 200, 310);
  // Dragging and lifting elsewhere keep the touch-down point; keys do nothing.
  Stylus(MessageStylusMove, 90, 100);
  Stylus(MessageStylusUp, 150, 160);
  EXPECT_EQ(GameWindowProcedure(nullptr, MessageKeyDown, 0x0D, 0), 0);
  EXPECT_EQ(GameWindowProcedure(nullptr, MessageKeyUp, 0x0D, 0), 0);
  EXPECT_TRUE(TakeTap());
  EXPECT_EQ(std::pair(StylusX, StylusY), std::pair(200u, 310u));
  EXPECT_FALSE(TakeTap());

  // The position word is read unsigned: the largest halves come back whole.
  GameWindowProcedure(nullptr, MessageStylusDown, 0, static_cast<intptr_t>(0xFFFF'FFFFu));
  EXPECT_TRUE(TakeTap());
  EXPECT_EQ(std::pair(StylusX, StylusY), std::pair(0xFFFFu, 0xFFFFu));
}

}  // namespace
