#include "game/play_screen.h"

#include "game/game_fixture.h"

namespace {

class PlayScreen_ : public GameTest {
 protected:
  // The centre of tile k on the 2 x 4 board (cells from x 90, y 60).
  static void TapTile(int32_t k) {
    Tap(105 + 30 * (k % 2), 75 + 30 * (k / 2));
    PlayScreen();
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
    // Each corner cell, the second column, and one pixel past each side.
    const int32_t points[][3] = {{x0, y0, 0},      {x1, y0, columns - 1}, {x0, y1, n - columns},
                                 {x1, y1, n - 1},  {x0 + 30, y0 + 29, 1}, {x0 - 1, y0, -1},
                                 {x0, y0 - 1, -1}, {x1 + 1, y1, -1},      {x1, y1 + 1, -1}};
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
    if (c.first >= 0) Board.Tiles[c.first].FaceUp = 1;
    if (c.second >= 0) Board.Tiles[c.second].FaceUp = 1;
    const int64_t clicks = Played("click.wav");
    TapTile(c.tap);
    EXPECT_EQ(std::tuple(Board.FirstPick, Board.SecondPick, Board.Moves),
              std::tuple(c.newFirst, c.newSecond, c.moves));
    EXPECT_EQ(Played("click.wav") - clicks, c.turning.empty() ? 0 : 1);
    EXPECT_EQ(TilesWhere([](const Tile& t) { return t.Anim == AnimTurn; }), c.turning);
    // All turns run side by side: ten frames, and one to look at the result.
    EXPECT_EQ(RunUntilIdle(), c.turning.empty() ? 0 : 11);
    EXPECT_EQ(TilesWhere([](const Tile& t) { return t.FaceUp == 1; }), c.faceUpAfter);
  }
}

TEST_F(PlayScreen_, AFoundPairTurnsForTenFramesIsCheckedInOneAndVanishesInFifteenWhileTapsWait) {
  LayOut(0, {1, 2, 2, 1, 3, 3, 4, 4});
  TapTile(0);
  // Two taps while the tile turns: only the last position counts, once, and
  // not in the frame that ends the turn.
  TapTile(1);
  Tap(135, 105);  // tile 3
  EXPECT_EQ(RunUntilIdle(), 10);
  EXPECT_EQ(Board.SecondPick, -1);
  PlayScreen();
  EXPECT_EQ(Board.SecondPick, 3);
  EXPECT_EQ(Played("click.wav"), 2);
  // Ten frames of turning, and the next one sees the pair and starts the fade.
  for (int32_t frame = 0; frame < 10; ++frame) PlayScreen();
  EXPECT_EQ(Played("fade.wav"), 0);
  Tap(200, 300);  // quit, which must wait for the pair to go
  PlayScreen();
  EXPECT_EQ(Played("fade.wav"), 1);
  EXPECT_EQ(RunUntilIdle(), 15);
  EXPECT_EQ(QuitFlag, 0);
  EXPECT_EQ(TilesWhere([](const Tile& t) { return t.Present == 0; }), (std::vector{0, 3}));
  EXPECT_EQ(Board.PairsLeft, 3);
  PlayScreen();
  EXPECT_EQ(QuitFlag, 1);
}

TEST_F(PlayScreen_, RecordsTakeOnlyStrictlyBetterResultsInFullSecondsAndLandOnDisk) {
  BoardSize = 2;
  // Held moves and seconds, elapsed ms, then the state and records after.
  const std::tuple<int32_t, uint32_t, uint32_t, uint8_t, int32_t, uint32_t> cases[] = {
      {10, 20, 20'999, Finished, 10, 20},            // equalled: nothing is written
      {-1, 0xFFFFFFFFu, 20'000, NewRecord, -1, 20},  // moves are signed, seconds not
      {11, 2000, 1'500'400, NewRecord, 10, 1500}};   // both at once; the panel shows 501
  for (auto [heldMoves, heldSeconds, ms, state, moves, seconds] : cases) {
    SCOPED_TRACE(ms);
    std::tie(Board.Moves, Board.ElapsedMs, Board.GameState) = std::tuple(10, ms, Finished);
    std::tie(BestMoves[2], BestSeconds[2]) = std::tuple(heldMoves, heldSeconds);
    CheckRecords();
    EXPECT_EQ(Board.GameState, state);
    ASSERT_EQ(std::filesystem::exists(Folder() / "quill.dat"), state == NewRecord);
    if (state == NewRecord) {  // what memory holds must be what the file holds
      EXPECT_EQ(std::filesystem::file_size(Folder() / "quill.dat"), 48u);
      std::tie(BestMoves[2], BestSeconds[2]) = std::tuple(0, 0u);
      LoadRecords();
    }
    EXPECT_EQ(std::tuple(BestMoves[2], BestSeconds[2]), std::tuple(moves, seconds));
  }
}

TEST_F(PlayScreen_, TheMoveCountStopsAt32767AndNeverReachesTheRecordsNegative) {
  BoardSize = 0;
  BestMoves[0] = 40'000;  // a damaged file may hold anything
  LayOut(0, {1, 2, 1, 2, 3, 3, 4, 4});
  Board.Moves = 32'765;
  const auto pick = [](std::initializer_list<int32_t> tiles) {
    for (int32_t k : tiles) {
      TapTile(k);
      RunUntilIdle();
    }
  };
  pick({0, 3, 0, 3, 0, 3});  // 0 with 3 is no pair: three moves
  EXPECT_EQ(Board.Moves, 32'767);
  pick({0, 2, 1, 3, 4, 5, 6, 7});
  ASSERT_EQ(Board.PairsLeft, 0);
  EXPECT_EQ(Board.Moves, 32'767);
  EXPECT_EQ(BestMoves[0], 32'767);
  EXPECT_EQ(Board.GameState, NewRecord);
}

TEST_F(PlayScreen_, CountersShowThreeDigitsAndTheTimeRollsOverAt999) {
  LayOut(3, {});
  const std::tuple<uint32_t, int16_t, const char*, const char*> cases[] = {
      {998'999, 7, "998", "007"}, {999'000, 999, "000", "999"}, {1'500'000, 1000, "501", "1000"}};
  for (auto [ms, moves, time, shownMoves] : cases) {
    SCOPED_TRACE(time);
    std::tie(Board.ElapsedMs, Board.Moves) = std::tuple(ms, moves);
    DrawHud();
    const std::vector<uint16_t> shown(BackBuffer + 240 * 240, BackBuffer + 240 * 320);
    EXPECT_NE(shown, panel_);
    std::ranges::copy(panel_, BackBuffer + 240 * 240);
    DrawShadowedText(time, 63, 257);
    DrawShadowedText(shownMoves, 177, 257);
    EXPECT_EQ(shown, std::vector<uint16_t>(BackBuffer + 240 * 240, BackBuffer + 240 * 320));
  }
}

TEST_F(PlayScreen_, TheRecordBannerBouncesAndShowsKeyBlackAndRecolouredBackdrop) {
  // Key colour: untouched. Black: black. Anything else: the backdrop below,
  // its red moved into green and its green into blue.
  record_[1] = 0x0000;
  record_[2] = 0x07E0;
  record_[119 * 240 + 3] = 0xFFFF;
  const int32_t tops[][2] = {{0, 60},   {10, 72},  {32, 95}, {64, 110},
                             {128, 60}, {160, 24}, {192, 10}};
  for (auto [phase, top] : tops) {
    SCOPED_TRACE(phase);
    std::fill(BackBuffer, BackBuffer + BackBufferPixels, 0x1234);
    BannerPhase = phase;
    DrawRecordBanner();
    EXPECT_EQ(BannerPhase, phase + 10);
    EXPECT_EQ(std::count(BackBuffer, BackBuffer + BackBufferPixels, 0x1234), BackBufferPixels - 3);
    EXPECT_EQ(Pixel(1, top), 0x0000);
    EXPECT_EQ(Pixel(2, top), backdrop_[top * 240 + 2] >> 5);
    EXPECT_EQ(Pixel(3, top + 119), backdrop_[(top + 119) * 240 + 3] >> 5);
  }
}

TEST_F(PlayScreen_, TurningAndVanishingTilesSqueezeTowardsTheMiddleOfTheirCell) {
  std::vector<uint16_t> face(30 * 30);
  std::iota(face.begin(), face.end(), uint16_t{1});  // pixel (k, j) holds 1 + 30 j + k
  CardPictures[7] = face.data();
  // {frame, first drawn column, drawn width, picture column of the last one}
  for (auto [frame, d, w, last] :
       {std::array{0, 0, 30, 29}, {12, 12, 6, 25}, {15, 14, 2, 15}, {27, 2, 26, 28}}) {
    std::fill_n(BackBuffer, BackBufferPixels, 0);
    DrawTileTurning(7, 60, 30, frame);
    for (int32_t i = 0; i < 30; ++i) EXPECT_EQ(Pixel(60 + i, 40) != 0, i >= d && i < d + w);
    EXPECT_EQ(Pixel(60 + d, 40), face[10 * 30]) << frame;
    EXPECT_EQ(Pixel(60 + d + w - 1, 40), face[10 * 30 + last]) << frame;
  }
  // The last vanishing frame leaves a 2 x 2 at the centre; frame 15 nothing.
  std::fill_n(BackBuffer, BackBufferPixels, 0);
  DrawTileVanishing(7, 60, 30, 14);
  DrawTileVanishing(7, 120, 30, 15);
  EXPECT_EQ(std::count(BackBuffer, BackBuffer + BackBufferPixels, 0), 240 * 320 - 4);
  EXPECT_EQ(Pixel(74, 44), face[0]);
  EXPECT_EQ(Pixel(75, 45), face[15 * 30 + 15]);
}

}  // namespace
