#include "gfx/font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "game/game_fixture.h"

namespace {

constexpr uint16_t Background = 0x0841;
constexpr uint16_t Ink = 0xF81F;

// The font as the game's players know it, in the order of its character set
// "a".."z", "0".."9", ":!?-=+[] .,><#'@/" and the stroke "S": seven rows a
// glyph, the top one in the highest byte, the leftmost of seven cells in bit 6.
constexpr uint64_t Glyphs[54] = {
    0x786C66637F6363, 0x786C307C66637E, 0x1F30606060603F, 0x786C666363637E, 0x7F60607F60607F,
    0x7F60607C606060, 0x1E30606F63633F, 0x6161617F616161, 0x1E0C0C0C0C0C1E, 0x1F03030363361C,
    0x666C78707C6663, 0x6060606060607F, 0x4163777F6B6363, 0x63737B6F676363, 0x1C36636363633E,
    0x7C6663637E6060, 0x1C36636B6F663B, 0x7C66637E6C6663, 0x1F30607F03067C, 0x7F0C0C0C0C0C0C,
    0x6363636363663C, 0x636336361C1C08, 0x636363636B3E14, 0x61331E0C1E3361, 0x61331E0C0C0C0C,
    0x7F060C1830607F, 0x3E63630063633E, 0x00030300030300, 0x3E03033E60603E, 0x3E03033E03033E,
    0x0063633E030300, 0x3E60603E03033E, 0x3E60603E63633E, 0x3E030300030300, 0x3E63633E63633E,
    0x3E63633E03033E, 0x00000800000800, 0x0C0C0C0C000C0C, 0x3C06060C001818, 0x0000001E000000,
    0x0000003E003E00, 0x00080808080800, 0x1C10101010101C, 0x1C04040404041C, 0x00000000000000,
    0x00000000000C0C, 0x00000000040408, 0x20100804081020, 0x04081020100804, 0x7F7F7F7F7F7F7F,
    0x08081000000000, 0x1C224D514F201E, 0x01020408102040, 0x40201008040201};
const std::string Charset = "abcdefghijklmnopqrstuvwxyz0123456789:!?-=+[] .,><#'@/";
constexpr int Hash = 49;

// Glyph g drawn at (x, y): each ink cell a 2 x 2 block, off-frame ink left out.
void Expect(std::vector<uint16_t>& frame, int g, int x, int y, uint16_t ink = Ink) {
  for (int p = 0; p < 196; ++p) {
    const int px = x + p % 14, py = y + p / 14;
    if ((Glyphs[g] >> (8 * (6 - p / 28) + 6 - p % 14 / 2) & 1) != 0 && unsigned(px) < 240 &&
        unsigned(py) < 320)
      frame[py * 240 + px] = ink;
  }
}

// The frame text leaves on the background, drawn in ink or as a number.
std::vector<uint16_t> Draw(const std::string& text, int32_t x, int32_t y, bool shadowed = false) {
  std::fill_n(BackBuffer, BackBufferPixels, Background);
  shadowed ? DrawShadowedText(text.c_str(), x, y) : DrawString(text.c_str(), x, y, Ink);
  return {BackBuffer, BackBuffer + BackBufferPixels};
}

// The game tests' fixture: among the rest, a back buffer and the font.
using FontTest = GameTest;

TEST_F(FontTest, EveryCharacterDrawsItsGlyphAndUpperCaseDrawsLowerCase) {
  // Upper case "S" is the letter too: the stroke glyph is never drawn.
  for (int g = 0; g < 54; ++g) {
    const char c = g < 53 ? Charset[g] : 'S';
    const int shown = g < 53 ? g : 18;
    std::vector<uint16_t> expected(BackBufferPixels, Background);
    Expect(expected, shown, 100, 200);
    for (const char drawn : {c, c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c})
      EXPECT_TRUE(Draw(std::string(1, drawn), 100, 200) == expected) << "'" << drawn << "'";
  }
  // Whatever has no glyph draws the blank space glyph.
  for (char c : {'\t', '\\', '\x7F', '\xE9', '"'})
    EXPECT_TRUE(Draw(std::string(1, c), 100, 200) ==
                std::vector<uint16_t>(BackBufferPixels, Background));
}

TEST_F(FontTest, PenAdvancesWrapsAtX230AndStaysInTheFrame) {
  // Each row: text, x, y, and the glyphs it must show as {glyph, x, y}.
  const std::tuple<const char*, int32_t, int32_t, std::vector<std::array<int, 3>>> cases[] = {
      {"ab", 5, 50, {{0, 5, 50}, {1, 21, 50}}},
      {"\ta", 20, 30, {{0, 36, 30}}},                 // no glyph, a full advance
      {"ab", 214, 40, {{0, 214, 40}, {1, 230, 40}}},  // a pen at 230 does not wrap
      {"ab", 215, 40, {{0, 215, 40}, {1, 2, 49}}},    // at 231 it does
      {"a\na", 100, 291, {{0, 100, 291}, {0, 2, 300}}},
      {"\na", 100, 300, {{0, 2, 300}}},  // no line below y 300
      {"\ra", 100, 10, {{0, 2, 19}}},
      {"\ba", 2, 10, {{0, 2, 10}}},
      {"\ba", 3, 10, {{0, -5, 10}}},
      // Unclipped, these would land on the next rows or past the frame's end.
      {"#", 230, 100, {{Hash, 230, 100}}},
      {"###", 216, 310, {{Hash, 216, 310}, {Hash, 2, 310}, {Hash, 18, 310}}},
      {"#", -10, -10, {{Hash, -10, -10}}},
      {"#", INT32_MAX, INT32_MAX, {}},
  };
  for (const auto& [text, x, y, glyphs] : cases) {
    std::vector<uint16_t> expected(BackBufferPixels, Background);
    for (const auto& [g, gx, gy] : glyphs) Expect(expected, g, gx, gy);
    EXPECT_TRUE(Draw(text, x, y) == expected) << '"' << text << "\" at " << x << "," << y;
  }

  // Numbers: white at the pen over a black copy one pixel right and down.
  std::vector<uint16_t> expected(BackBufferPixels, Background);
  Expect(expected, 26, 11, 21, 0x0000);
  Expect(expected, 26, 10, 20, 0xFFFF);
  EXPECT_TRUE(Draw("0", 10, 20, true) == expected);
}

// Counters and records print with at least three digits, and every one of
// them: the seconds and moves on the panel, the records table.
TEST(FormatNumber, AtLeastThreeDigitsAndAllOfThem) {
  const std::pair<int32_t, const char*> cases[] = {{0, "000"},   {7, "007"},
                                                   {999, "999"}, {1000, "1000"},
                                                   {-1, "-001"}, {INT32_MIN, "-2147483648"}};
  for (const auto& [value, text] : cases) {
    NumberText out;
    FormatNumber(out, value);
    EXPECT_STREQ(out, text);
  }
}

}  // namespace
