#include "gfx/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

#include "gfx/back_buffer.h"

constexpr uint16_t Background = 0x0841;
constexpr uint16_t Ink = 0xF81F;

TEST(FontTest, PenPlacesGlyphsAndInkStaysInTheFrame) {
  // Each row: text, x, y, and the glyphs it must show as {glyph, x, y}.
  const std::tuple<const char*, int32_t, int32_t, std::vector<std::array<int, 3>>> cases[] = {
      {"", 10, 10, {}},
      {"ABS", 5, 50, {{0, 5, 50}, {1, 21, 50}, {18, 37, 50}}},  // "S" is "s", not "S"
      {"\ta", 20, 30, {{0, 36, 30}}},                           // no glyph, a full advance
      {"ab", 220, 40, {{0, 220, 40}, {1, 2, 49}}},
      {"\na", 100, 300, {{0, 2, 300}}},
      {"\ba", 2, 10, {{0, 2, 10}}},
      {"\ba", 50, 10, {{0, 42, 10}}},
      // Unclipped, these would land on the next rows or past the frame's end.
      {"#", 230, 100, {{49, 230, 100}}},
      {"###", 216, 310, {{49, 216, 310}, {49, 2, 310}, {49, 18, 310}}},
      {"#", -10, -10, {{49, -10, -10}}},
      {"#", INT32_MAX, INT32_MAX, {}},
  };
  AllocateBackBuffer();
  BuildGlyphFont();
  for (const auto& [text, x, y, glyphs] : cases) {
    // The glyphs from the font's row texts, a cell 2 x 2 pixels, off-frame
    // pixels left out.
    std::vector<uint16_t> expected(BackBufferPixels, Background);
    for (const auto& [g, gx, gy] : glyphs) {
      for (int p = 0; p < 196; ++p) {
        const int px = gx + p % 14, py = gy + p / 14;
        if (GlyphFont[g][p / 28][p % 14 / 2] == 'o' && unsigned(px) < 240 && unsigned(py) < 320)
          expected[py * 240 + px] = Ink;
      }
    }
    std::fill_n(BackBuffer, BackBufferPixels, Background);
    DrawString(text, x, y, Ink);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), BackBuffer))
        << '"' << text << "\" at " << x << "," << y;
  }

  // Numbers: white at the pen, a black shadow one pixel right and down.
  std::fill_n(BackBuffer, BackBufferPixels, Background);
  DrawShadowedText("#", 10, 20);
  EXPECT_EQ(BackBuffer[20 * 240 + 10], 0xFFFF);
  EXPECT_EQ(BackBuffer[33 * 240 + 23], 0xFFFF);
  EXPECT_EQ(BackBuffer[34 * 240 + 24], 0x0000);
  EXPECT_EQ(BackBuffer[34 * 240 + 10], Background);
  FreeGlyphFont();
  ReleaseBackBuffer();
}
