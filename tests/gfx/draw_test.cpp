#include "gfx/draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "gfx/back_buffer.h"

// -1 writes white: only the low 16 bits of a colour are written.
constexpr int32_t Ink = -1;

// x, y, dx, dy, n: n pixels from (x, y), each (dx, dy) on from the last.
using Span = std::array<int, 5>;

TEST(DrawTest, ShapesSetExactlyTheirPixels) {
  const std::pair<void (*)(), std::vector<Span>> cases[] = {
      {[] { DrawHorizontalRun(10, 5, 3, Ink); }, {{10, 5, 1, 0, 4}}},
      {[] { DrawHorizontalRun(10, 5, -1, Ink), DrawVerticalRun(50, 60, -1, Ink); }, {}},
      {[] { DrawVerticalRun(50, 60, 2, Ink); }, {{50, 60, 0, 1, 3}}},
      {[] { DrawRectOutline(124, 3, 157, 18, Ink); },
       {{124, 3, 1, 0, 34}, {124, 18, 1, 0, 34}, {124, 3, 0, 1, 16}, {157, 3, 0, 1, 16}}},
      // Reversed corners skip the edges whose length goes negative.
      {[] { DrawRectOutline(20, 40, 10, 42, Ink); }, {{10, 40, 0, 1, 3}, {20, 40, 0, 1, 3}}},
      {[] { DrawRectOutline(10, 42, 12, 40, Ink); }, {{10, 40, 1, 0, 3}, {10, 42, 1, 0, 3}}},
      // Lines walk from the upper end (the first given on equal y) and leave
      // the far end out.
      {[] { DrawLine(10.0f, 10.0f, 20.0f, 10.0f, Ink); }, {{10, 10, 1, 0, 10}}},
      {[] { DrawLine(20.0f, 10.0f, 10.0f, 10.0f, Ink); }, {{11, 10, 1, 0, 10}}},
      {[] { DrawLine(222.0f, 241.0f, 238.0f, 257.0f, Ink); }, {{222, 241, 1, 1, 16}}},
      {[] { DrawLine(222.0f, 257.0f, 238.0f, 241.0f, Ink); }, {{238, 241, -1, 1, 16}}},
      {[] { DrawLine(5.0f, 5.0f, 5.5f, 5.9f, Ink); }, {}},
      // Steps of 0.1 added up reach 1.0 and 2.0 exactly at y 10 and 20, where
      // 0.1 times the index would still truncate one column left.
      {[] { DrawLine(0.0f, 0.0f, 3.1f, 31.0f, Ink); },
       {{0, 0, 0, 1, 10}, {1, 10, 0, 1, 10}, {2, 20, 0, 1, 11}}},
      // Pixels off the frame are dropped, not wrapped onto another row.
      {[] { DrawHorizontalRun(230, 7, 100, Ink); }, {{230, 7, 1, 0, 10}}},
      {[] { DrawHorizontalRun(-50, 9, 52, Ink); }, {{0, 9, 1, 0, 3}}},
      {[] { DrawVerticalRun(3, 310, INT32_MAX, Ink); }, {{3, 310, 0, 1, 10}}},
      {[] { DrawVerticalRun(3, -5, 6, Ink); }, {{3, 0, 0, 1, 2}}},
  };
  AllocateBackBuffer();
  for (size_t i = 0; i < std::size(cases); ++i) {
    ClearBackBuffer(0);
    cases[i].first();
    std::vector<uint16_t> expected(BackBufferPixels);
    for (const auto& [x, y, dx, dy, n] : cases[i].second) {
      for (int k = 0; k < n; ++k) expected[(y + k * dy) * 240 + x + k * dx] = 0xFFFF;
    }
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), BackBuffer)) << "case " << i;
  }
  ReleaseBackBuffer();
}
