#include "game/play_screen.h"

#include "game/game_fixture.h"
#include "screens/about_screen.h"

namespace {

class PlayScreen_ : public GameTest {
 protected:
  // The centre of tile k on the 2 x 4 board (cells from x 90, y 60).
  void TapTile(int32_t k) const {
    Tap(105 + 30 * (k % 2), 75 + 30 * (k / 2));
    Step();
  }
  // One play frame, which must show the board as it lay before the frame; a
  // pair vanishes as one.
  void Step() const {
    const Pixels expected = BoardArea();
    PlayScreen();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), BackBuffer)) << "a wrong frame";
    EXPECT_TRUE(Board.Phase != PhaseVanishing ||
                Board.Tiles[Board.FirstPick].AnimFrame == Board.Tiles[Board.SecondPick].AnimFrame)
        << "a pair shrinks as one";
  }
  // Runs play frames until the board is idle again; returns how many.
  int32_t RunUntilIdle() const {
    int32_t frames = 0;
    for (; Board.Phase != PhaseIdle && frames < 100; ++frames) Step();
    return frames;
  }
  // The board area as the rules draw it from the board's state: the
  // backdrop, then every present tile: still as its picture (the back when
  // face down), turning squeezed about its vertical axis, vanishing shrunk
  // towards the centre of its cell.
  Pixels BoardArea() const {
    Pixels area(backdrop_);
    const int32_t c0 = (8 - Board.Columns) / 2, r0 = (8 - Board.Rows) / 2;
    for (int32_t t = 0; t < Board.Columns * Board.Rows; ++t) {
      const Tile& tile = Board.Tiles[t];
      if (tile.Present != 1) continue;
      const int32_t x = (c0 + t % Board.Columns) * 30, y = (r0 + t / Board.Columns) * 30;
      const int32_t f = tile.AnimFrame, d = f < 15 ? f : 29 - f, turned = 30 - 2 * d;
      const int32_t shrunk = 30 - 2 * f;
      const Pixels& face = cards_[tile.Anim == AnimVanish || tile.FaceUp == 1 ? tile.Picture : 0];
      for (int32_t j = 0; j < 30; ++j) {
        for (int32_t k = 0; k < 30; ++k) {
          if (tile.Anim == AnimTurn && k < turned) {
            area[(y + j) * 240 + x + d + k] = face[j * 30 + 30 * k / turned];
          } else if (tile.Anim == AnimVanish && f < 15 && j < shrunk && k < shrunk) {
            area[(y + f + j) * 240 + x + f + k] = face[30 * j / shrunk * 30 + 30 * k / shrunk];
          } else if (tile.Anim == AnimStill) {
            area[(y + j) * 240 + x + k] = face[j * 30 + k];
          }
        }
      }
    }
    return area;
  }
  static std::vector<int32_t> TilesWhere(bool (*test)(const Tile&)) {
    std::vector<int32_t> found;
    for (int32_t k = 0; k < Board.Columns * Board.Rows; ++k)
      if (test(Board.Tiles[k])) found.push_back(k);
    return found;
  }
};

TEST_F(PlayScreen_, TapsMapToTheCellsUpToEveryEdgeOfEveryLayout) {
  // The top left pixel of each board, smallest first: centred by whole cells.
  const int32_t corners[BoardSizes][2] = {{90, 60}, {60, 60}, {60, 30}, {30, 30}, {30, 0}, {0, 0}};
  for (int16_t size = 0; size < BoardSizes; ++size) {
    SCOPED_TRACE("size " + std::to_string(size));
    const auto [columns, rows] = BoardLayouts[size];
    const auto [x0, y0] = corners[size];
    const int32_t x1 = x0 + 30 * columns - 1, y1 = y0 + 30 * rows - 1, n = columns * rows;
    // Each corner cell, the second column, and one pixel past each side (past
    // the right on the top row, where a wrong mapping would reach the next row).
    const int32_t points[][3] = {{x0, y0, 0},      {x1, y0, columns - 1}, {x0, y1, n - columns},
                                 {x1, y1, n - 1},  {x0 + 30, y0 + 29, 1}, {x0 - 1, y0, -1},
                                 {x0, y0 - 1, -1}, {x1 + 1, y0, -1},      {x1, y1 + 1, -1}};
    for (const auto& p : points) {
      LayOut(size, {});
      Tap(static_cast<uint32_t>(p[0]), static_cast<uint32_t>(p[1]));
      PlayScreen();
      EXPECT_EQ(TapConsumed, 1);
      EXPECT_EQ(Board.FirstPick, p[2]) << p[0] << "," << p[1];
    }
  }
}

TEST_F(PlayScreen_, ATapOnATileActsByWhatLiesFaceUp) {
  // Pictures 1 2 3 4 1 2 3 4 with tile 7 gone: no two picks below match.
  const struct {
    const char* what;
    int16_t first, second, tap, newFirst, newSecond, moves;
    std::vector<int32_t> turning, faceUpAfter;
  } cases[] = {{"a first pick", -1, -1, 0, 0, -1, 0, {0}, {0}},
               {"the face-up first pick again", 0, -1, 0, 0, -1, 0, {}, {0}},
               {"a second pick is a move", 0, -1, 2, 0, 2, 1, {2}, {0, 2}},
               {"the second of a shown pair", 0, 2, 2, 2, -1, 0, {0}, {2}},
               {"the first of a shown pair", 0, 2, 0, 0, -1, 0, {2}, {0}},
               {"a third tile", 0, 2, 5, 5, -1, 0, {0, 2, 5}, {5}},
               {"a tile that is gone", -1, -1, 7, -1, -1, 0, {}, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LayOut(0, {1, 2, 3, 4, 1, 2, 3, 4});
    Board.Tiles[7].Present = 0;
    std::tie(Board.FirstPick, Board.SecondPick) = std::tuple(c.first, c.second);
    for (int16_t pick : {c.first, c.second})
      if (pick >= 0) Board.Tiles[pick].FaceUp = 1;
    TapTile(c.tap);
    EXPECT_EQ(std::tuple(Board.FirstPick, Board.SecondPick, Board.Moves, NewSounds()),
              std::tuple(c.newFirst, c.newSecond, c.moves, c.turning.empty() ? "" : "click"));
    EXPECT_EQ(TilesWhere([](const Tile& t) { return t.Anim == AnimTurn; }), c.turning);
    // All turns run side by side: ten frames, and one to look at the result.
    EXPECT_EQ(RunUntilIdle(), c.turning.empty() ? 0 : 11);
    EXPECT_EQ(TilesWhere([](const Tile& t) { return t.FaceUp == 1; }), c.faceUpAfter);
  }
}

TEST_F(PlayScreen_, AFoundPairTurnsForTenFramesIsCheckedInOneAndVanishesInFifteenWhileTapsWait) {
  LayOut(0, {40, 2, 2, 40, 3, 3, 4, 4});  // the last face, as every other, turns and vanishes
  TapTile(0);
  // Two taps while the tile turns: only the last position counts, once, and
  // not in the frame that ends the turn.
  TapTile(1);
  Tap(135, 105);  // tile 3
  EXPECT_EQ(RunUntilIdle(), 10);
  EXPECT_EQ(Board.SecondPick, -1);
  Step();
  EXPECT_EQ(std::tuple(Board.SecondPick, NewSounds()), std::tuple(3, "click click"));
  // Ten frames of turning, and the next one sees the pair and starts the fade.
  for (int32_t frame = 0; frame < 10; ++frame) Step();
  EXPECT_EQ(NewSounds(), "");
  Tap(200, 300);  // quit, which must wait for the pair to go
  Step();
  EXPECT_EQ(NewSounds(), "fade");
  EXPECT_EQ(RunUntilIdle(), 15);
  EXPECT_EQ(std::tuple(QuitFlag, Board.PairsLeft), std::tuple(0, 3));
  EXPECT_EQ(TilesWhere([](const Tile& t) { return t.Present == 0; }), (std::vector{0, 3}));
  PlayScreen();
  EXPECT_EQ(QuitFlag, 1);
}

TEST_F(PlayScreen_, RecordsTakeOnlyStrictlyBetterResultsInFullSecondsAndLandOnDisk) {
  BoardSize = 0;
  // Held moves and seconds, elapsed ms, the state after, then the records
  // read back from the file.
  const std::tuple<int32_t, uint32_t, uint32_t, uint8_t, int32_t, uint32_t> cases[] = {
      {10, 20, 20'999, Finished, 10, 20},  // equalled: nothing is written
      // Moves are signed, seconds not; a file holding -1 moves reads back
      // as no record, since no game can make them.
      {-1, 0xFFFFFFFFu, 20'000, NewRecord, 999, 20},
      {11, 2000, 1'500'400, NewRecord, 10, 1500}};  // both at once; the panel shows 501
  for (auto [heldMoves, heldSeconds, ms, state, moves, seconds] : cases) {
    SCOPED_TRACE(ms);
    std::tie(Board.Moves, Board.ElapsedMs, Board.GameState) = std::tuple(10, ms, Finished);
    std::tie(BestMoves[0], BestSeconds[0]) = std::tuple(heldMoves, heldSeconds);
    CheckRecords();
    EXPECT_EQ(Board.GameState, state);
    ASSERT_EQ(std::filesystem::exists(Folder() / "quill.dat"), state == NewRecord);
    if (state == NewRecord) {  // what memory holds must be what the file holds
      std::tie(BestMoves[0], BestSeconds[0]) = std::tuple(0, 0u);
      LoadRecords();
    }
    EXPECT_EQ(std::tuple(BestMoves[0], BestSeconds[0]), std::tuple(moves, seconds));
  }
}

TEST_F(PlayScreen_, TheMoveCountStopsAt32767AndNeverReachesTheRecordsNegative) {
  BoardSize = 0;
  BestMoves[0] = 40'000;  // a damaged file may hold anything
  LayOut(0, {1, 2, 1, 2, 3, 3, 4, 4});
  Board.Moves = 32'765;
  const auto pick = [this](std::initializer_list<int32_t> tiles) {
    for (int32_t k : tiles) {
      TapTile(k);
      RunUntilIdle();
    }
  };
  pick({0, 3, 0, 3, 0, 3});  // 0 with 3 is no pair: three moves
  EXPECT_EQ(Board.Moves, 32'767);
  pick({0, 2, 1, 3, 4, 5, 6, 7});
  ASSERT_EQ(Board.PairsLeft, 0);
  EXPECT_EQ(std::tuple(Board.Moves, BestMoves[0], Board.GameState),
            std::tuple(32'767, 32'767, NewRecord));
}

TEST_F(PlayScreen_, PanelControlsActOnEveryEdgeAndNotOnePixelOutside) {
  // Screen, quit flag, sound flag, saved size, return screen, effect played.
  using Effect = std::tuple<int, int, int, int, int, std::string>;
  const Effect nothing{ScreenPlay, 0, 1, 1, 2, ""};
  const std::tuple<std::array<uint32_t, 4>, Effect> areas[] = {
      {{223, 241, 240, 255}, {ScreenPlay, 0, 0, 1, 2, ""}},  // sound off, silently
      {{0, 295, 55, 320}, {ScreenAbout, 0, 1, 1, 2, "new"}},
      {{63, 295, 173, 320}, {ScreenBoardSelect, 0, 1, 5, 0, "new"}},
      {{190, 295, 240, 320}, {ScreenPlay, 1, 1, 1, 2, "startup"}}};
  for (const auto& [rect, effect] : areas) {
    for (const auto& [x, y, inside] : EdgePoints(rect)) {
      LayOut(5, {});  // the board covers every row above the panel
      std::tie(ScreenState, QuitFlag, SoundOn, SavedBoardSize, ReturnScreen) =
          std::tuple(ScreenPlay, 0, 1, 1, 2);
      Tap(x, y);
      PlayScreen();
      const Effect got{ScreenState, QuitFlag, SoundOn, SavedBoardSize, ReturnScreen, NewSounds()};
      EXPECT_EQ(got, inside ? effect : nothing) << x << "," << y;
      EXPECT_EQ(Board.FirstPick, -1);
    }
  }
  SoundOn = 0;  // and the speaker turns sound back on, as silently
  Tap(240, 255);
  PlayScreen();
  EXPECT_EQ(std::tuple(SoundOn, NewSounds()), std::tuple(1, ""));
}

// The clock counts milliseconds of play: not while the about or selection
// screen is up (coming back skips the time away and goes on with the same
// game), right across the tick counter's wrap, and not after the last pair
// has gone.
TEST_F(PlayScreen_, TheClockCountsOnlyPlayAcrossTheTickWrapAndStopsWithTheLastPair) {
  const auto at = [](uint32_t ms) { host::SetTickCounter(0xFFFF'F000u + ms); };
  at(0);
  LayOut(0, {1, 1, 2, 2, 3, 3, 4, 4});
  const std::tuple<uint32_t, std::pair<uint32_t, uint32_t>, void (*)(), uint32_t> frames[] = {
      {1500, {0, 0}, PlayScreen, 1500},
      {5000, {0, 0}, PlayScreen, 5000},     // the counter wrapped at 4096
      {5500, {20, 300}, PlayScreen, 5500},  // about
      {60000, {0, 0}, AboutScreen, 5500},
      {70000, {5, 5}, AboutScreen, 5500},  // back to the board
      {70250, {0, 0}, PlayScreen, 5750},
      {70500, {100, 300}, PlayScreen, 6000},  // board selection
      {90000, {0, 0}, BoardSelectScreen, 6000},
      {95000, {200, 50}, BoardSelectScreen, 6000},  // back to the board
      {95100, {0, 0}, PlayScreen, 6100}};
  for (const auto& [ms, tap, screen, elapsed] : frames) {
    at(ms);
    if (tap.first != 0) Tap(tap.first, tap.second);
    screen();
    EXPECT_EQ(Board.ElapsedMs, elapsed) << ms;
  }
  // Back is back on the board, with the sound every way in and out of the
  // about and selection screens makes.
  EXPECT_EQ(std::tuple(ScreenState, NewSounds()), std::tuple(ScreenPlay, "new new new new"));
  // The last pair fades out in the second frame from here; that frame's time
  // still counts, and no later one does. No record is broken.
  std::tie(BestMoves[0], BestSeconds[0]) = std::tuple(0, 1u);
  for (int32_t k = 2; k < 8; ++k) Board.Tiles[k].Present = 0;
  Board.Tiles[0] = Board.Tiles[1] = Tile{1, 1, 1, AnimVanish, 13};
  std::tie(Board.FirstPick, Board.SecondPick, Board.PairsLeft, Board.Phase) =
      std::tuple(0, 1, 1, PhaseVanishing);
  for (const auto& [ms, elapsed] : {std::pair{96000u, 7000u}, {97000, 8000}, {99000, 8000}}) {
    at(ms);
    PlayScreen();
    EXPECT_EQ(Board.ElapsedMs, elapsed) << ms;
  }
  EXPECT_EQ(Board.GameState, Finished);
}

}  // namespace
