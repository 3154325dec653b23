#include "game/board.h"

#include <cstring>
#include <tuple>

#include "game/game_fixture.h"
#include "game/random.h"
#include "gfx/display_output.h"

namespace {

using Board_ = GameTest;

// A deal also presents the calling screen's frame at once, untouched with the
// sound on; muted, with the cross over the sound toggle, which the golden run
// long_game.txt shows in dealt-muted.png.
TEST_F(Board_, DealsFollowBothShufflesDrawForDrawForEverySizeAndPresentTheCallersFrame) {
  const std::pair<int32_t, int32_t> layouts[] = {{2, 4}, {4, 4}, {4, 6}, {6, 6}, {6, 8}, {8, 8}};
  host::SetTickCounter(777'777);
  GXOpenDisplay(nullptr, GXFullScreen);
  DisplayFormat = {16, 2, 480};
  for (int16_t size = 0; size < BoardSizes; ++size) {
    for (uint32_t seed : {1u, 40u, 123456u}) {
      SCOPED_TRACE("size " + std::to_string(size) + " seed " + std::to_string(seed));
      // The steps of a deal: 40 exchanges in a deck of the pictures 1..40,
      // tiles 2k and 2k + 1 take entry k, then n exchanges of the tiles.
      SeedRandom(seed);
      std::array<uint16_t, 40> deck{};
      std::iota(deck.begin(), deck.end(), uint16_t{1});
      for (int32_t i = 0; i < 40; ++i) {
        const int32_t a = NextRandom() % 40;
        std::swap(deck[a], deck[NextRandom() % 40]);
      }
      const int32_t n = layouts[size].first * layouts[size].second;
      std::vector<uint16_t> pictures(n);
      for (int32_t k = 0; k < n; ++k) pictures[k] = deck[k / 2];
      for (int32_t i = 0; i < n; ++i) {
        const int32_t a = NextRandom() % n;
        std::swap(pictures[a], pictures[NextRandom() % n]);
      }
      const int32_t next = NextRandom();

      // A game in the middle of things, so that the deal has something to undo.
      Board = BoardRecord{3, 3, {}, 3, 4, 1, 17, 54321, 0, NewRecord, PhaseTurning};
      for (Tile& tile : Board.Tiles) tile = Tile{41, 1, 0, AnimVanish, 7};
      ScreenState = ScreenBoardSelect;
      BoardSize = size;
      std::iota(BackBuffer, BackBuffer + BackBufferPixels, static_cast<uint16_t>(seed));
      const Pixels expected = Frame();
      const uint32_t presented = host::EndDrawCount();
      SeedRandom(seed);
      DealBoard();
      EXPECT_EQ(NextRandom(), next) << "a deal draws exactly its exchanges";
      ASSERT_EQ(std::pair(Board.Columns, Board.Rows), layouts[size]);
      for (int32_t k = 0; k < n; ++k) {
        const Tile& t = Board.Tiles[k];
        EXPECT_EQ(std::tuple(t.Picture, t.FaceUp, t.Present, t.Anim, t.AnimFrame),
                  std::tuple(pictures[k], 0, 1, AnimStill, 0));
      }
      EXPECT_EQ(std::tuple(Board.PairsLeft, Board.FirstPick, Board.SecondPick, Board.Moves),
                std::tuple(n / 2, -1, -1, 0));
      EXPECT_EQ(std::tuple(Board.ElapsedMs, Board.LastTick, Board.GameState, Board.Phase),
                std::tuple(0u, 777'777u, Playing, PhaseIdle));
      EXPECT_EQ(std::tuple(ScreenState, host::EndDrawCount()),
                std::tuple(ScreenPlay, presented + 1));
      EXPECT_TRUE(Frame() == expected);
      EXPECT_EQ(std::memcmp(host::DisplayMemory().data() + host::DisplayOrigin(), expected.data(),
                            BackBufferBytes),
                0);
    }
  }
}

}  // namespace
