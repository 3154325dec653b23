#include "gfx/draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "gfx/back_buffer.h"

namespace {

using Points = std::vector<std::pair<int, int>>;

constexpr uint16_t Ink = 0x1234;

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AllocateBackBuffer();
    ClearBackBuffer(0);
  }
  void TearDown() override { ReleaseBackBuffer(); }

  // Every pixel that is no longer background, in row-major order.
  static Points Inked() {
    Points points;
    for (int y = 0; y < ScreenHeight; ++y) {
      for (int x = 0; x < ScreenWidth; ++x) {
        if (BackBuffer[y * ScreenWidth + x] != 0) points.emplace_back(x, y);
      }
    }
    return points;
  }

  static Points Sorted(Points points) {
    std::sort(points.begin(), points.end(), [](const auto& a, const auto& b) {
      return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    return points;
  }
};

TEST_F(DrawTest, PutPixelWritesTheLowSixteenBitsOfTheColour) {
  PutPixel(0, 0, -1);
  PutPixel(239, 319, 0x7ABCD);
  PutPixel(10, 20, Ink);
  EXPECT_EQ(BackBuffer[0], 0xFFFF);
  EXPECT_EQ(BackBuffer[319 * 240 + 239], 0xABCD);
  EXPECT_EQ(BackBuffer[20 * 240 + 10], Ink);
  EXPECT_EQ(Inked().size(), 3u);
}

TEST_F(DrawTest, PixelsOffTheFrameAreDroppedNotWrappedOntoOtherRows) {
  // Unclipped, (240, 0) would land on (0, 1) and (-1, 5) on (239, 4).
  PutPixel(240, 0, Ink);
  PutPixel(-1, 5, Ink);
  PutPixel(0, 320, Ink);
  PutPixel(5, -1, Ink);
  PutPixel(INT32_MIN, INT32_MAX, Ink);
  EXPECT_TRUE(Inked().empty());
  DrawHorizontalRun(230, 7, 100, Ink);
  DrawVerticalRun(3, 310, INT32_MAX, Ink);
  DrawHorizontalRun(-50, 9, 52, Ink);
  Points expected;
  for (int x = 0; x <= 2; ++x) expected.emplace_back(x, 9);
  for (int x = 230; x <= 239; ++x) expected.emplace_back(x, 7);
  for (int y = 310; y <= 319; ++y) expected.emplace_back(3, y);
  EXPECT_EQ(Inked(), Sorted(expected));
}

TEST_F(DrawTest, RunsCoverLengthPlusOnePixels) {
  DrawHorizontalRun(10, 5, 0, Ink);
  EXPECT_EQ(Inked(), (Points{{10, 5}}));
  DrawHorizontalRun(10, 6, 3, Ink);
  DrawHorizontalRun(10, 7, -1, Ink);
  DrawVerticalRun(50, 60, 2, Ink);
  DrawVerticalRun(51, 60, -1, Ink);
  EXPECT_EQ(Inked(),
            (Points{{10, 5}, {10, 6}, {11, 6}, {12, 6}, {13, 6}, {50, 60}, {50, 61}, {50, 62}}));
}

TEST_F(DrawTest, RectOutlineIncludesBothCornersAndSkipsReversedEdges) {
  DrawRectOutline(124, 3, 157, 18, Ink);
  Points expected;
  for (int y = 3; y <= 18; ++y) {
    for (int x = 124; x <= 157; ++x) {
      if (y == 3 || y == 18 || x == 124 || x == 157) expected.emplace_back(x, y);
    }
  }
  EXPECT_EQ(Inked(), expected);

  ClearBackBuffer(0);
  DrawRectOutline(20, 40, 10, 42, Ink);  // x reversed: only the two columns
  EXPECT_EQ(Inked(), (Points{{10, 40}, {20, 40}, {10, 41}, {20, 41}, {10, 42}, {20, 42}}));
  ClearBackBuffer(0);
  DrawRectOutline(10, 42, 12, 40, Ink);  // y reversed: only the two rows
  EXPECT_EQ(Inked(), (Points{{10, 40}, {11, 40}, {12, 40}, {10, 42}, {11, 42}, {12, 42}}));
}

TEST_F(DrawTest, LineWalksFromTheUpperEndAndLeavesTheFarEndOut) {
  Points expected;
  DrawLine(10.0f, 10.0f, 20.0f, 10.0f, Ink);
  for (int x = 10; x <= 19; ++x) expected.emplace_back(x, 10);
  EXPECT_EQ(Inked(), expected);

  // Equal y keeps the given order, so the walk starts at 20.
  ClearBackBuffer(0);
  DrawLine(20.0f, 10.0f, 10.0f, 10.0f, Ink);
  expected.clear();
  for (int x = 11; x <= 20; ++x) expected.emplace_back(x, 10);
  EXPECT_EQ(Inked(), expected);

  ClearBackBuffer(0);
  DrawLine(5.0f, 20.0f, 5.0f, 10.0f, Ink);
  expected.clear();
  for (int y = 10; y <= 19; ++y) expected.emplace_back(5, y);
  EXPECT_EQ(Inked(), expected);
}

TEST_F(DrawTest, TheSoundCrossDiagonalsAreSixteenPixelsEach) {
  DrawLine(222.0f, 241.0f, 238.0f, 257.0f, Ink);
  Points expected;
  for (int i = 0; i < 16; ++i) expected.emplace_back(222 + i, 241 + i);
  EXPECT_EQ(Inked(), expected);

  ClearBackBuffer(0);
  DrawLine(222.0f, 257.0f, 238.0f, 241.0f, Ink);
  expected.clear();
  for (int i = 0; i < 16; ++i) expected.emplace_back(238 - i, 241 + i);
  EXPECT_EQ(Inked(), Sorted(expected));
}

TEST_F(DrawTest, LineTruncatesItsStepsAndSkipsSubPixelSpans) {
  DrawLine(5.0f, 5.0f, 5.5f, 5.9f, Ink);
  DrawLine(7.9f, 3.0f, 7.1f, 3.2f, Ink);
  EXPECT_TRUE(Inked().empty());
  // count 2 from trunc(2.5): steps of 1.25 across, 0.5 down.
  DrawLine(0.5f, 0.5f, 3.0f, 1.5f, Ink);
  EXPECT_EQ(Inked(), (Points{{0, 0}, {1, 1}}));

  // Steps of 0.1 added up reach exactly 1.0 and 2.0 at the 10th and 20th
  // pixel, where 0.1 times the index would still truncate one column left.
  ClearBackBuffer(0);
  DrawLine(0.0f, 0.0f, 3.1f, 31.0f, Ink);
  Points expected;
  for (int y = 0; y <= 30; ++y) expected.emplace_back(y < 20 ? y / 10 : 2, y);
  EXPECT_EQ(Inked(), expected);
}

}  // namespace
