#include "game/board.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "game/game_fixture.h"
#include "gfx/display_output.h"

namespace {

using Board_ = GameTest;

// A game in the middle of things, so that a deal has something to undo.
void DirtyTheBoard() {
  for (Tile& tile : Board.Tiles) tile = Tile{41, 1, 0, AnimVanish, 7};
  Board.FirstPick = 3;
  Board.SecondPick = 4;
  Board.PairsLeft = 1;
  Board.Moves = 17;
  Board.ElapsedMs = 54321;
  Board.GameState = NewRecord;
  Board.Phase = PhaseTurning;
  ScreenState = ScreenBoardSelect;
}

TEST_F(Board_, EveryDealHoldsEachOfItsPicturesOnExactlyTwoTilesAndStartsAfresh) {
  const int32_t expected[BoardSizes][2] = {{2, 4}, {4, 4}, {4, 6}, {6, 6}, {6, 8}, {8, 8}};
  host::SetTickCounter(777000);
  for (int16_t size = 0; size < BoardSizes; ++size) {
    for (uint32_t seed : {1u, 2u, 40u, 123456u}) {
      SCOPED_TRACE("size " + std::to_string(size) + " seed " + std::to_string(seed));
      SeedRandom(seed);
      DirtyTheBoard();
      BoardSize = size;
      DealBoard();

      ASSERT_EQ(Board.Columns, expected[size][0]);
      ASSERT_EQ(Board.Rows, expected[size][1]);
      int32_t n = Board.Columns * Board.Rows;
      std::map<uint16_t, int32_t> uses;
      for (int32_t k = 0; k < n; ++k) {
        const Tile& tile = Board.Tiles[k];
        EXPECT_GE(tile.Picture, 1);
        EXPECT_LE(tile.Picture, FacePictures);
        EXPECT_EQ(tile.FaceUp, 0);
        EXPECT_EQ(tile.Present, 1);
        EXPECT_EQ(tile.Anim, AnimStill);
        EXPECT_EQ(tile.AnimFrame, 0);
        ++uses[tile.Picture];
      }
      EXPECT_EQ(static_cast<int32_t>(uses.size()), n / 2);
      for (const auto& [picture, count] : uses) EXPECT_EQ(count, 2) << "picture " << picture;

      EXPECT_EQ(Board.FirstPick, -1);
      EXPECT_EQ(Board.SecondPick, -1);
      EXPECT_EQ(Board.PairsLeft, n / 2);
      EXPECT_EQ(Board.Moves, 0);
      EXPECT_EQ(Board.ElapsedMs, 0u);
      EXPECT_EQ(Board.LastTick, 777000u);
      EXPECT_EQ(Board.GameState, Playing);
      EXPECT_EQ(Board.Phase, PhaseIdle);
      EXPECT_EQ(ScreenState, ScreenPlay);
    }
  }
}

TEST_F(Board_, DealsDependOnTheSeedAloneAndPlayNoSound) {
  BoardSize = 5;
  SeedRandom(99);
  DealBoard();
  BoardRecord first = Board;
  SeedRandom(99);
  DealBoard();
  bool same = true;
  for (int32_t k = 0; k < 64; ++k) same = same && Board.Tiles[k].Picture == first.Tiles[k].Picture;
  EXPECT_TRUE(same);
  // The pairs are spread over the board, not dealt side by side.
  int32_t sideBySide = 0;
  for (int32_t k = 0; k < 64; k += 2)
    sideBySide += first.Tiles[k].Picture == first.Tiles[k + 1].Picture;
  EXPECT_LT(sideBySide, 8);
  SeedRandom(100);
  DealBoard();
  bool differs = false;
  for (int32_t k = 0; k < 64; ++k)
    differs = differs || Board.Tiles[k].Picture != first.Tiles[k].Picture;
  EXPECT_TRUE(differs);
  EXPECT_EQ(SoundCount(), 0u);
}

TEST_F(Board_, BoardsAreCentredByWholeCells) {
  // Pixels covered, x0 x1 y0 y1, smallest board first.
  const int32_t covered[BoardSizes][4] = {{90, 149, 60, 179}, {60, 179, 60, 179},
                                          {60, 179, 30, 209}, {30, 209, 30, 209},
                                          {30, 209, 0, 239},  {0, 239, 0, 239}};
  for (int16_t size = 0; size < BoardSizes; ++size) {
    SCOPED_TRACE("size " + std::to_string(size));
    BoardSize = size;
    DealBoard();
    EXPECT_EQ(ColumnOffset() * 30, covered[size][0]);
    EXPECT_EQ((ColumnOffset() + Board.Columns) * 30 - 1, covered[size][1]);
    EXPECT_EQ(RowOffset() * 30, covered[size][2]);
    EXPECT_EQ((RowOffset() + Board.Rows) * 30 - 1, covered[size][3]);

    // What the player sees: tile backs exactly over that area, backdrop around.
    PlayScreen();
    const int32_t x0 = covered[size][0], x1 = covered[size][1];
    const int32_t y0 = covered[size][2], y1 = covered[size][3];
    EXPECT_EQ(Pixel(x0, y0), CardPixel(0, 0, 0));
    EXPECT_EQ(Pixel(x1, y1), CardPixel(0, 29, 29));
    EXPECT_EQ(Pixel(x1, y0), CardPixel(0, 29, 0));
    EXPECT_EQ(Pixel(x0, y1), CardPixel(0, 0, 29));
    if (x0 > 0) {
      EXPECT_EQ(Pixel(x0 - 1, y0), BackdropPixel(x0 - 1, y0));
    }
    if (x1 < 239) {
      EXPECT_EQ(Pixel(x1 + 1, y1), BackdropPixel(x1 + 1, y1));
    }
    if (y0 > 0) {
      EXPECT_EQ(Pixel(x0, y0 - 1), BackdropPixel(x0, y0 - 1));
    }
    if (y1 < 239) {
      EXPECT_EQ(Pixel(x1, y1 + 1), BackdropPixel(x1, y1 + 1));
    }
  }
}

TEST_F(Board_, MuteCrossChangesOnlyTheSoundToggleAndOnlyWhenMuted) {
  for (size_t i = 0; i < BackBufferPixels; ++i) BackBuffer[i] = static_cast<uint16_t>(i * 13 + 1);
  std::vector<uint16_t> before(BackBuffer, BackBuffer + BackBufferPixels);

  SoundOn = 1;
  DrawMuteCross();
  EXPECT_TRUE(std::equal(before.begin(), before.end(), BackBuffer));

  SoundOn = 0;
  DrawMuteCross();
  int32_t changed = 0;
  for (int32_t y = 0; y < 320; ++y) {
    for (int32_t x = 0; x < 240; ++x) {
      if (Pixel(x, y) == before[y * 240 + x]) continue;
      ++changed;
      EXPECT_TRUE(x >= 222 && x <= 239 && y >= 241 && y <= 256) << x << "," << y;
      EXPECT_EQ(Pixel(x, y), 0xF800) << x << "," << y;
    }
  }
  // Two three-pixel strokes over 16 rows, where they cross and where the
  // screen's edge cuts the top of the rising one.
  EXPECT_EQ(changed, 90);
  for (auto [x, y] : {std::pair{222, 241},
                      {224, 241},
                      {239, 241},
                      {237, 256},
                      {239, 256},
                      {223, 256},
                      {225, 256},
                      {230, 249}}) {
    EXPECT_EQ(Pixel(x, y), 0xF800) << x << "," << y;
  }
  EXPECT_NE(Pixel(225, 241), 0xF800);
  EXPECT_NE(Pixel(236, 256), 0xF800);
}

TEST_F(Board_, DealingWhileMutedPresentsTheCallersFrameWithTheCross) {
  ASSERT_EQ(GXOpenDisplay(nullptr, GXFullScreen), 1);
  const DisplayFormatFields saved = DisplayFormat;
  DisplayFormat = {16, 2, 480};
  ClearBackBuffer(0);
  SoundOn = 0;
  uint32_t presented = host::EndDrawCount();
  DealBoard();
  EXPECT_EQ(host::EndDrawCount(), presented + 1);
  std::array<uint8_t, 240 * 320 * 3> rgb{};
  host::ReadDisplayPicture(rgb);
  auto red = [&](int32_t x, int32_t y) { return rgb[(y * 240 + x) * 3]; };
  EXPECT_GT(red(222, 241), 200);
  EXPECT_EQ(red(225, 241), 0);
  DisplayFormat = saved;
  GXCloseDisplay();
}

}  // namespace
