#include "screens/board_select_screen.h"

#include <gtest/gtest.h>

#include <cstring>

#include "game/random.h"
#include "game/records.h"
#include "gfx/draw.h"
#include "screens/screen_fixture.h"

namespace {

// The buttons include their edge pixels and not the gaps between them. Back
// to the title restores the size the screen was opened with.
TEST_F(ScreenTest, SelectButtonsIncludeTheirEdgesNotTheGaps) {
  const int Select = ScreenBoardSelect, Play = ScreenPlay, Title = ScreenTitle;
  // x, y, then the size, the screen and the sound that follow.
  const std::tuple<uint32_t, uint32_t, int, int, std::string> cases[] = {
      {124, 3, 0, Select, "select"},  {157, 18, 0, Select, "select"}, {158, 10, 2, Select, ""},
      {231, 36, 5, Select, "select"}, {232, 36, 2, Select, ""},       {0, 44, 2, Play, "new"},
      {60, 72, 2, Play, "new"},       {61, 50, 2, Select, ""},        {30, 43, 2, Select, ""},
      {180, 44, 4, Title, "startup"}, {239, 72, 4, Title, "startup"}, {179, 50, 2, Select, ""}};
  for (const auto& [x, y, size, screen, sound] : cases) {
    host::Stop();
    StartHost();
    BoardSize = 2;
    SavedBoardSize = 4;
    ReturnScreen = 2;
    ScreenState = Select;
    Tap(x, y, BoardSelectScreen);
    EXPECT_EQ((std::vector<int>{BoardSize, ScreenState}), (std::vector<int>{size, screen})) << x;
    EXPECT_EQ(LastSound(), sound) << x << ", " << y;
  }
}

TEST_F(ScreenTest, SelectBackToPlayResumesTheSameBoardAndSkipsTheTimeAway) {
  BoardSize = SavedBoardSize = 1;
  DealBoard();
  BoardRecord expected = Board;
  expected.LastTick = 987654u;
  ReturnScreen = 0;
  host::SetTickCounter(987654);
  Tap(230, 30, BoardSelectScreen);
  Tap(200, 50, BoardSelectScreen);
  EXPECT_EQ((std::vector<int>{ScreenState, BoardSize}), (std::vector<int>{ScreenPlay, 1}));
  EXPECT_EQ(std::memcmp(&Board, &expected, sizeof Board), 0) << "the board must be untouched";
  EXPECT_EQ(LastSound(), "new");
}

// Records print with at least three digits and all of them, clipped to the
// frame; the highlight is two outlines in fresh random colours.
TEST_F(ScreenTest, SelectRecordsAndHighlightDrawExactly) {
  const uint32_t seconds[] = {5, 999, 1234, UINT32_MAX, 0, 1000};
  const int32_t moves[] = {5, 999, 1234, INT32_MAX, 42, INT32_MIN};
  const char* const texts[12] = {"005", "999", "1234", "-001",       "000", "1000",
                                 "005", "999", "1234", "2147483647", "042", "-2147483648"};
  std::memcpy(BestSeconds, seconds, sizeof seconds);
  std::memcpy(BestMoves, moves, sizeof moves);
  for (const auto& [size, x0, y0] : {std::tuple{0, 124, 3}, {3, 124, 21}, {5, 198, 21}}) {
    SeedRandom(99);
    std::memcpy(BackBuffer, select_.data(), BackBufferBytes);
    DrawRectOutline(x0, y0, x0 + 33, y0 + 15, NextRandom() & 0xFFFF);
    DrawRectOutline(x0 + 1, y0 + 1, x0 + 32, y0 + 14, NextRandom() & 0xFFFF);
    for (int32_t i = 0; i < 12; ++i)
      DrawShadowedText(texts[i], i < 6 ? 95 : 174, 96 + 40 * (i % 6));
    const std::vector<uint16_t> expected(BackBuffer, BackBuffer + 240 * 320);
    BoardSize = static_cast<int16_t>(size);
    SeedRandom(99);
    BoardSelectScreen();
    for (uint32_t i = 0; i < 240 * 320; ++i) ASSERT_EQ(BackBuffer[i], expected[i]) << i;
  }
}

}  // namespace
