#include "screens/board_select_screen.h"

#include "game/game_fixture.h"

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

}  // namespace
