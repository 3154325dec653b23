#include "game/board.h"

#include <map>
#include <tuple>

#include "game/game_fixture.h"
#include "game/random.h"

namespace {

using Board_ = GameTest;

TEST_F(Board_, EveryDealHoldsEachOfItsPicturesOnExactlyTwoTilesAndStartsAfresh) {
  const std::pair<int32_t, int32_t> expected[] = {{2, 4}, {4, 4}, {4, 6}, {6, 6}, {6, 8}, {8, 8}};
  for (int16_t size = 0; size < BoardSizes; ++size) {
    for (uint32_t seed : {1u, 40u, 123456u}) {
      SCOPED_TRACE("size " + std::to_string(size) + " seed " + std::to_string(seed));
      // A game in the middle of things, so that the deal has something to undo.
      Board = BoardRecord{3, 3, {}, 3, 4, 1, 17, 54321, 0, NewRecord, PhaseTurning};
      for (Tile& tile : Board.Tiles) tile = Tile{41, 1, 0, AnimVanish, 7};
      SeedRandom(seed);
      BoardSize = size;
      DealBoard();

      ASSERT_EQ(std::pair(Board.Columns, Board.Rows), expected[size]);
      const int32_t n = Board.Columns * Board.Rows;
      std::map<uint16_t, int32_t> uses;
      for (int32_t k = 0; k < n; ++k) {
        const Tile& t = Board.Tiles[k];
        EXPECT_TRUE(t.Picture >= 1 && t.Picture <= FacePictures) << t.Picture;
        EXPECT_TRUE(t.FaceUp == 0 && t.Present == 1 && t.Anim == AnimStill && t.AnimFrame == 0);
        ++uses[t.Picture];
      }
      for (const auto& [picture, count] : uses) EXPECT_EQ(count, 2) << "picture " << picture;
      EXPECT_EQ(std::tuple(Board.PairsLeft, Board.FirstPick, Board.Moves),
                std::tuple(n / 2, -1, 0));
      EXPECT_EQ(std::tuple(Board.ElapsedMs, Board.GameState), std::tuple(0u, Playing));
    }
  }
}

TEST_F(Board_, TheMuteCrossIsNinetyRedPixelsOverTheSoundToggleOnlyWhenMuted) {
  for (uint8_t on : {1, 0}) {
    for (size_t i = 0; i < BackBufferPixels; ++i) BackBuffer[i] = static_cast<uint16_t>(i * 13 + 1);
    SoundOn = on;
    DrawMuteCross();
    int32_t changed = 0;
    for (size_t i = 0; i < BackBufferPixels; ++i) {
      if (BackBuffer[i] == static_cast<uint16_t>(i * 13 + 1)) continue;
      ++changed;
      const size_t x = i % 240, y = i / 240;  // inside x 222..239, y 241..256
      EXPECT_TRUE(x >= 222 && y >= 241 && y <= 256 && BackBuffer[i] == 0xF800) << x << "," << y;
    }
    // Two three-pixel strokes over 16 rows, less where they cross and where
    // the screen's edge cuts the rising one.
    EXPECT_EQ(changed, on == 1 ? 0 : 90);
  }
  // The strokes run corner to corner.
  const int32_t corners[][2] = {{222, 241}, {239, 241}, {223, 256}, {239, 256}};
  for (const auto& c : corners) EXPECT_EQ(Pixel(c[0], c[1]), 0xF800) << c[0] << "," << c[1];
}

}  // namespace
