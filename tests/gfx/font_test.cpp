#include "gfx/font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gfx/back_buffer.h"

namespace {

constexpr uint16_t Background = 0x0841;
constexpr uint16_t Ink = 0xF81F;

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AllocateBackBuffer();
    BuildGlyphFont();
    Clear();
  }
  void TearDown() override {
    FreeGlyphFont();
    ReleaseBackBuffer();
  }

  static void Clear() { std::fill(BackBuffer, BackBuffer + BackBufferPixels, Background); }
  static std::vector<uint16_t> Frame() { return {BackBuffer, BackBuffer + BackBufferPixels}; }
  static std::vector<uint16_t> Drawn(const char* text, int32_t x, int32_t y) {
    Clear();
    DrawString(text, x, y, Ink);
    return Frame();
  }
  // What glyph g looks like at (x, y), built from the font's row texts.
  static std::vector<uint16_t> GlyphAt(int g, int x, int y) {
    std::vector<uint16_t> frame(BackBufferPixels, Background);
    for (int k = 0; k < 7; ++k) {
      for (int j = 0; j < 7; ++j) {
        if (GlyphFont[g][k][j] != 'o') continue;
        for (int py = y + 2 * k; py < y + 2 * k + 2; ++py) {
          for (int px = x + 2 * j; px < x + 2 * j + 2; ++px) {
            if (px >= 0 && px < 240 && py >= 0 && py < 320) frame[py * 240 + px] = Ink;
          }
        }
      }
    }
    return frame;
  }
  static size_t InkCount() { return std::count(BackBuffer, BackBuffer + BackBufferPixels, Ink); }
};

TEST_F(FontTest, BuildsRowTextsAndTheCharacterMap) {
  for (int g = 0; g < GlyphCount; ++g) {
    for (int k = 0; k < GlyphRows; ++k) {
      ASSERT_NE(GlyphFont[g][k], nullptr);
      EXPECT_EQ(std::strlen(GlyphFont[g][k]), 7u) << g << "/" << k;
      EXPECT_EQ(std::strspn(GlyphFont[g][k], "o:"), 7u) << g << "/" << k;
    }
    EXPECT_EQ(GlyphIndexMap[static_cast<uint8_t>(FontCharset[g])], g);
  }
  EXPECT_STREQ(GlyphFont[0][0], "oooo:::");
  EXPECT_STREQ(GlyphFont[27][1], ":::::oo");
  EXPECT_STREQ(GlyphFont[51][2], "o::oo:o");
  EXPECT_STREQ(GlyphFont[53][6], "::::::o");
  for (const int unmapped : {0, 9, int{'\\'}, int{'A'}, int{'Z'}, int{'"'}, 127, 128, 255}) {
    EXPECT_EQ(GlyphIndexMap[unmapped], SpaceGlyph) << unmapped;
  }
  EXPECT_EQ(GlyphIndexMap['S'], 53);
}

TEST_F(FontTest, GlyphsAreDoubledCellsAndUpperCaseDrawsLowerCase) {
  EXPECT_EQ(Drawn("", 10, 10), GlyphAt(SpaceGlyph, 0, 0));
  EXPECT_EQ(Drawn("#", 10, 20), GlyphAt(49, 10, 20));
  EXPECT_EQ(InkCount(), 14u * 14u);
  EXPECT_EQ(Drawn("S", 30, 40), GlyphAt(18, 30, 40));
  EXPECT_EQ(Drawn("ABC", 5, 50), Drawn("abc", 5, 50));
  // Each character one advance (16) further on.
  std::vector<uint16_t> expected(BackBufferPixels, Background);
  for (int i = 0; i < 3; ++i) {
    const std::vector<uint16_t> digit = GlyphAt(27 + i, 2 + 16 * i, 100);
    for (size_t p = 0; p < digit.size(); ++p) expected[p] = digit[p] == Ink ? Ink : expected[p];
  }
  EXPECT_EQ(Drawn("123", 2, 100), expected);
}

TEST_F(FontTest, ControlCharactersMoveThePen) {
  // A tab has no glyph of its own: blank, but a full advance.
  EXPECT_EQ(Drawn("\ta", 20, 30), GlyphAt(0, 36, 30));
  // Line feed and carriage return wrap to the next line, 9 pixels down...
  EXPECT_EQ(Drawn("\na", 100, 50), GlyphAt(0, 2, 59));
  EXPECT_EQ(Drawn("\ra", 100, 50), GlyphAt(0, 2, 59));
  // ...but not below 300.
  EXPECT_EQ(Drawn("\na", 100, 300), GlyphAt(0, 2, 300));
  // Backspace goes half an advance back, never past the margin.
  EXPECT_EQ(Drawn("\ba", 2, 10), GlyphAt(0, 2, 10));
  EXPECT_EQ(Drawn("\ba", 50, 10), GlyphAt(0, 42, 10));
}

TEST_F(FontTest, TextWrapsPastX230) {
  std::vector<uint16_t> expected = GlyphAt(0, 220, 40);
  const std::vector<uint16_t> second = GlyphAt(1, 2, 49);
  for (size_t i = 0; i < expected.size(); ++i) {
    if (second[i] == Ink) expected[i] = Ink;
  }
  EXPECT_EQ(Drawn("ab", 220, 40), expected);

  // A line started at 2 holds fifteen characters, the last ending at 239.
  Drawn("###############", 2, 0);
  EXPECT_EQ(BackBuffer[239], Ink);
  EXPECT_EQ(BackBuffer[14 * 240 + 2], Background);
  Drawn("################", 2, 0);
  EXPECT_EQ(BackBuffer[14 * 240 + 2], Ink);
}

TEST_F(FontTest, InkNeverLeavesTheFrame) {
  // Unclipped, the columns past 239 would land at the start of the next rows.
  EXPECT_EQ(Drawn("#", 230, 100), GlyphAt(49, 230, 100));
  EXPECT_EQ(InkCount(), 10u * 14u);
  // Lines pile up at y 300 and beyond; everything drawn stays inside.
  const std::string longText(200, '#');
  Drawn(longText.c_str(), 200, 310);
  EXPECT_EQ(BackBuffer[319 * 240 + 239], Ink);
  EXPECT_EQ(BackBuffer[309 * 240 + 239], Background);
  EXPECT_EQ(Drawn("#", -10, -10), GlyphAt(49, -10, -10));
  EXPECT_EQ(Drawn("#", INT32_MAX, INT32_MAX), GlyphAt(SpaceGlyph, 0, 0));
  EXPECT_EQ(Drawn("#", INT32_MIN, INT32_MIN), GlyphAt(SpaceGlyph, 0, 0));
}

TEST_F(FontTest, NumbersHaveAtLeastThreeDigitsAndAShadow) {
  NumberText text;
  FormatNumber(text, 7);
  EXPECT_STREQ(text, "007");
  FormatNumber(text, 1234);
  EXPECT_STREQ(text, "1234");
  FormatNumber(text, -5);
  EXPECT_STREQ(text, "-005");
  FormatNumber(text, INT32_MIN);
  EXPECT_STREQ(text, "-2147483648");
  FormatUnsignedNumber(text, 42);
  EXPECT_STREQ(text, "042");
  FormatUnsignedNumber(text, UINT32_MAX);
  EXPECT_STREQ(text, "4294967295");

  Clear();
  DrawShadowedText("#", 10, 20);
  EXPECT_EQ(BackBuffer[20 * 240 + 10], 0xFFFF);
  EXPECT_EQ(BackBuffer[33 * 240 + 23], 0xFFFF);  // white is drawn over the shadow
  EXPECT_EQ(BackBuffer[34 * 240 + 24], 0x0000);
  EXPECT_EQ(BackBuffer[34 * 240 + 11], 0x0000);
  EXPECT_EQ(BackBuffer[34 * 240 + 10], Background);
}

}  // namespace
