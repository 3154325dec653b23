#include "gfx/back_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class BackBufferTest : public ::testing::Test {
 protected:
  void SetUp() override { AllocateBackBuffer(); }
  void TearDown() override { ReleaseBackBuffer(); }
};

TEST_F(BackBufferTest, ClearFillsEveryPixelWithTheByteTwice) {
  ASSERT_NE(BackBuffer, nullptr);
  EXPECT_EQ(GetBackBuffer(), BackBuffer);
  const uint16_t* const begin = BackBuffer;
  const uint16_t* const end = begin + BackBufferPixels;
  for (const uint8_t value : {uint8_t{0}, uint8_t{255}, uint8_t{0x12}}) {
    ClearBackBuffer(value);
    const uint16_t expected = static_cast<uint16_t>(value * 0x101);
    EXPECT_TRUE(std::all_of(begin, end, [&](uint16_t p) { return p == expected; }))
        << "value " << int{value};
  }
}

}  // namespace
