#include "gfx/back_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(BackBufferTest, ClearGivesEveryPixelTheByteTwice) {
  AllocateBackBuffer();
  for (const auto& [value, pixel] : {std::pair{255, 0xFFFF}, std::pair{0, 0x0000}}) {
    ClearBackBuffer(static_cast<uint8_t>(value));
    EXPECT_EQ(std::count(BackBuffer, BackBuffer + BackBufferPixels, pixel), 76800) << value;
  }
  ReleaseBackBuffer();
}
