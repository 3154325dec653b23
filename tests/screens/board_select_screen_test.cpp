#include "screens/board_select_screen.h"

#include "game/game_fixture.h"
#include "game/random.h"
#include "gfx/draw.h"

namespace {

using Select = GameTest;

// Every button on each of its edges from inside, then one pixel past each
// edge (nothing lies left of x 0). Opened from the title with size 4 saved
// and size 2 chosen; back restores the saved size.
TEST_F(Select, ButtonsActOnEveryEdgeAndNotOnePixelOutside) {
  // Size, screen, effect played.
  using Effect = std::tuple<int, int, std::string>;
  const Effect nothing{2, ScreenBoardSelect, ""};
  std::vector<std::tuple<std::array<uint32_t, 4>, Effect>> buttons = {
      {{0, 44, 60, 72}, {2, ScreenPlay, "new"}},           // start
      {{180, 44, 240, 72}, {4, ScreenTitle, "startup"}}};  // back
  for (int j = 0; j < 6; ++j) {
    const uint32_t x = 124 + 37 * (j % 3), y = 3 + 18 * (j / 3);
    buttons.push_back({{x, y, x + 33, y + 15}, {j, ScreenBoardSelect, "select"}});
  }
  for (const auto& [rect, effect] : buttons) {
    for (const auto& [x, y, inside] : EdgePoints(rect)) {
      std::tie(BoardSize, SavedBoardSize, ReturnScreen, ScreenState) =
          std::tuple(2, 4, 2, ScreenBoardSelect);
      Tap(x, y);
      BoardSelectScreen();
      EXPECT_EQ(Effect(BoardSize, ScreenState, NewSounds()), inside ? effect : nothing)
          << x << "," << y;
    }
  }
}

// Records print with at least three digits and all of them; the highlight is
// two outlines in fresh random colours over the chosen button.
TEST_F(Select, RecordsAndHighlightDrawExactly) {
  std::ranges::copy(std::array<uint32_t, 6>{5, 999, 1234, UINT32_MAX, 0, 1000}, BestSeconds);
  std::ranges::copy(std::array<int32_t, 6>{5, 999, 1234, INT32_MAX, 42, INT32_MIN}, BestMoves);
  const char* const texts[12] = {"005", "999", "1234", "-001",       "000", "1000",
                                 "005", "999", "1234", "2147483647", "042", "-2147483648"};
  for (const auto& [size, x0, y0] : {std::tuple{0, 124, 3}, {3, 124, 21}, {5, 198, 21}}) {
    for (uint32_t seed = 1; seed < 4; ++seed) {
      SeedRandom(seed);
      std::ranges::copy(select_, BackBuffer);
      DrawRectOutline(x0, y0, x0 + 33, y0 + 15, NextRandom() & 0xFFFF);
      DrawRectOutline(x0 + 1, y0 + 1, x0 + 32, y0 + 14, NextRandom() & 0xFFFF);
      for (int32_t i = 0; i < 12; ++i)
        DrawShadowedText(texts[i], i < 6 ? 95 : 174, 96 + 40 * (i % 6));
      const Pixels expected = Frame();
      BoardSize = static_cast<int16_t>(size);
      SeedRandom(seed);
      BoardSelectScreen();
      EXPECT_TRUE(Frame() == expected) << size << " " << seed;
    }
  }
}

}  // namespace
