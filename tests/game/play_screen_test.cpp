#include "game/play_screen.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "game/game_fixture.h"

namespace {

class PlayScreen_ : public GameTest {
 protected:
  // The centre of tile k on the 2 x 4 board (cells from x 90, y 60).
  static void TapTile(int32_t k) {
    Tap(90 + 30 * (k % 2) + 15, 60 + 30 * (k / 2) + 15);
    PlayScreen();
  }
  static int32_t FaceUpCount() {
    int32_t count = 0;
    for (int32_t k = 0; k < Board.Columns * Board.Rows; ++k) count += Board.Tiles[k].FaceUp;
    return count;
  }
  static std::vector<uint16_t> Panel() {
    return std::vector<uint16_t>(BackBuffer + 240 * 240, BackBuffer + 240 * 320);
  }
  // The panel as it must look with these two counters.
  static std::vector<uint16_t> PanelShowing(const char* time, const char* moves) {
    std::memcpy(BackBuffer + 240 * 240, PlayPanelPicture, 240 * 80 * 2);
    DrawShadowedText(time, 63, 257);
    DrawShadowedText(moves, 177, 257);
    DrawMuteCross();
    return Panel();
  }
  std::vector<uint8_t> RecordsFile() const {
    std::ifstream in(Folder() / "quill.dat", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

TEST_F(PlayScreen_, TileDrawersCopySqueezeAndShrinkThePicture) {
  ClearBackBuffer(0);
  DrawTileStill(5, 30, 60);
  for (int32_t j = 0; j < 30; ++j) {
    for (int32_t k = 0; k < 30; ++k) ASSERT_EQ(Pixel(30 + k, 60 + j), CardPixel(5, k, j));
  }
  EXPECT_EQ(Pixel(29, 60), 0);
  EXPECT_EQ(Pixel(60, 89), 0);
  EXPECT_EQ(Pixel(30, 90), 0);

  // Edge-on at frame 15: two columns in the middle, picture columns 0 and 15.
  ClearBackBuffer(0);
  DrawTileTurning(7, 90, 0, 15);
  for (int32_t j = 0; j < 30; ++j) {
    EXPECT_EQ(Pixel(104, j), CardPixel(7, 0, j));
    EXPECT_EQ(Pixel(105, j), CardPixel(7, 15, j));
    EXPECT_EQ(Pixel(103, j), 0);
    EXPECT_EQ(Pixel(106, j), 0);
  }
  // Frame 18, opening again: 8 columns from x + 11, sampled every 30/8.
  ClearBackBuffer(0);
  DrawTileTurning(7, 90, 0, 18);
  const int32_t sampled[8] = {0, 3, 7, 11, 15, 18, 22, 26};
  for (int32_t k = 0; k < 8; ++k) EXPECT_EQ(Pixel(101 + k, 29), CardPixel(7, sampled[k], 29));
  EXPECT_EQ(Pixel(100, 29), 0);
  EXPECT_EQ(Pixel(109, 29), 0);
  // Frame 27: 26 columns from x + 2; the last takes picture column 28.
  ClearBackBuffer(0);
  DrawTileTurning(7, 90, 0, 27);
  EXPECT_EQ(Pixel(92, 3), CardPixel(7, 0, 3));
  EXPECT_EQ(Pixel(117, 3), CardPixel(7, 28, 3));
  EXPECT_EQ(Pixel(91, 3), 0);
  EXPECT_EQ(Pixel(118, 3), 0);

  // Vanishing: frame 14 leaves a 2 x 2 block in the cell's centre.
  ClearBackBuffer(0);
  DrawTileVanishing(9, 150, 30, 14);
  EXPECT_EQ(Pixel(164, 44), CardPixel(9, 0, 0));
  EXPECT_EQ(Pixel(165, 44), CardPixel(9, 15, 0));
  EXPECT_EQ(Pixel(164, 45), CardPixel(9, 0, 15));
  EXPECT_EQ(Pixel(165, 45), CardPixel(9, 15, 15));
  EXPECT_EQ(Pixel(163, 44), 0);
  EXPECT_EQ(Pixel(166, 45), 0);
  EXPECT_EQ(Pixel(164, 43), 0);
  EXPECT_EQ(Pixel(165, 46), 0);
  ClearBackBuffer(0);
  DrawTileVanishing(9, 150, 30, 5);
  EXPECT_EQ(Pixel(155, 35), CardPixel(9, 0, 0));
  EXPECT_EQ(Pixel(174, 54), CardPixel(9, 28, 28));
  EXPECT_EQ(Pixel(175, 54), 0);
  EXPECT_EQ(Pixel(154, 35), 0);
  ClearBackBuffer(0);
  DrawTileVanishing(9, 150, 30, 15);
  for (size_t i = 0; i < BackBufferPixels; ++i) ASSERT_EQ(BackBuffer[i], 0);
}

TEST_F(PlayScreen_, TapsMapToTheCellsUpToEveryEdgeOfEveryLayout) {
  // Pixels covered, x0 x1 y0 y1, smallest board first.
  const int32_t covered[BoardSizes][4] = {{90, 149, 60, 179}, {60, 179, 60, 179},
                                          {60, 179, 30, 209}, {30, 209, 30, 209},
                                          {30, 209, 0, 239},  {0, 239, 0, 239}};
  for (int16_t size = 0; size < BoardSizes; ++size) {
    SCOPED_TRACE("size " + std::to_string(size));
    const int32_t x0 = covered[size][0], x1 = covered[size][1];
    const int32_t y0 = covered[size][2], y1 = covered[size][3];
    auto pickAt = [size](int32_t x, int32_t y) {
      LayOut(size, {});
      Tap(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
      PlayScreen();
      EXPECT_EQ(TapConsumed, 1);
      return Board.FirstPick;
    };
    EXPECT_EQ(pickAt(x0, y0), 0);
    EXPECT_EQ(pickAt(x1, y0), BoardLayouts[size].Columns - 1);
    EXPECT_EQ(pickAt(x0, y1), (BoardLayouts[size].Rows - 1) * BoardLayouts[size].Columns);
    EXPECT_EQ(pickAt(x1, y1), BoardLayouts[size].Columns * BoardLayouts[size].Rows - 1);
    EXPECT_EQ(pickAt(x0 + 30, y0 + 29), 1);
    size_t sounds = SoundCount();
    if (x0 > 0) {
      EXPECT_EQ(pickAt(x0 - 1, y0), -1);
    }
    if (y0 > 0) {
      EXPECT_EQ(pickAt(x0, y0 - 1), -1);
    }
    EXPECT_EQ(pickAt(x1 + 1, y1), -1);
    EXPECT_EQ(pickAt(x1, y1 + 1), -1);
    EXPECT_EQ(Board.Phase, PhaseIdle);
    EXPECT_EQ(SoundCount(), sounds);
    EXPECT_EQ(SoundOn, 1);
    EXPECT_EQ(ScreenState, ScreenPlay);
  }
}

TEST_F(PlayScreen_, PicksTurnBackAndCountMovesOnlyAsTheRulesSay) {
  LayOut(0, {1, 1, 2, 2, 3, 3, 4, 4});

  // A first pick turns up with a click.
  TapTile(0);
  EXPECT_EQ(Board.FirstPick, 0);
  EXPECT_EQ(Board.Tiles[0].Anim, AnimTurn);
  EXPECT_EQ(Board.Phase, PhaseTurning);
  EXPECT_EQ(Played("click.wav"), 1u);
  RunUntilIdle();
  EXPECT_EQ(Board.Tiles[0].FaceUp, 1);

  // Tapping the face-up first pick again: nothing, silently, tap used up.
  TapTile(0);
  EXPECT_EQ(Board.Phase, PhaseIdle);
  EXPECT_EQ(Board.Tiles[0].Anim, AnimStill);
  EXPECT_EQ(Board.SecondPick, -1);
  EXPECT_EQ(Board.Moves, 0);
  EXPECT_EQ(SoundCount(), 1u);
  EXPECT_EQ(TapConsumed, 1);

  // A second pick that does not match: one move, both stay face up.
  TapTile(2);
  EXPECT_EQ(Board.SecondPick, 2);
  EXPECT_EQ(Board.Moves, 1);
  EXPECT_EQ(Played("click.wav"), 2u);
  RunUntilIdle();
  EXPECT_EQ(Board.Phase, PhaseIdle);
  EXPECT_EQ(Board.FirstPick, 0);
  EXPECT_EQ(Board.SecondPick, 2);
  EXPECT_EQ(FaceUpCount(), 2);

  // Tapping the second of the shown pair turns only the first back and
  // keeps the tapped one as the new first pick; no move.
  TapTile(2);
  EXPECT_EQ(Board.Tiles[0].Anim, AnimTurn);
  EXPECT_EQ(Board.Tiles[2].Anim, AnimStill);
  EXPECT_EQ(Board.FirstPick, 2);
  EXPECT_EQ(Board.SecondPick, -1);
  EXPECT_EQ(Board.Moves, 1);
  EXPECT_EQ(Played("click.wav"), 3u);
  RunUntilIdle();
  EXPECT_EQ(Board.Tiles[0].FaceUp, 0);
  EXPECT_EQ(Board.Tiles[2].FaceUp, 1);

  // Tapping the first of a shown pair turns only the second back.
  TapTile(4);
  EXPECT_EQ(Board.Moves, 2);
  RunUntilIdle();
  TapTile(2);
  EXPECT_EQ(Board.Tiles[4].Anim, AnimTurn);
  EXPECT_EQ(Board.Tiles[2].Anim, AnimStill);
  EXPECT_EQ(Board.FirstPick, 2);
  EXPECT_EQ(Board.SecondPick, -1);
  EXPECT_EQ(Board.Moves, 2);
  RunUntilIdle();
  EXPECT_EQ(FaceUpCount(), 1);
  EXPECT_EQ(Board.Tiles[2].FaceUp, 1);

  // A third tile: all three turn together and only the third stays up.
  TapTile(5);
  EXPECT_EQ(Board.Moves, 3);
  RunUntilIdle();
  EXPECT_EQ(FaceUpCount(), 2);
  TapTile(6);
  EXPECT_EQ(Board.Tiles[2].Anim, AnimTurn);
  EXPECT_EQ(Board.Tiles[5].Anim, AnimTurn);
  EXPECT_EQ(Board.Tiles[6].Anim, AnimTurn);
  EXPECT_EQ(Board.FirstPick, 6);
  EXPECT_EQ(Board.SecondPick, -1);
  EXPECT_EQ(Board.Moves, 3);
  EXPECT_EQ(RunUntilIdle(), 11);
  EXPECT_EQ(FaceUpCount(), 1);
  EXPECT_EQ(Board.Tiles[6].FaceUp, 1);
  EXPECT_EQ(Board.FirstPick, 6);

  // A tile that is gone: nothing.
  Board.Tiles[7].Present = 0;
  size_t sounds = SoundCount();
  TapTile(7);
  EXPECT_EQ(Board.SecondPick, -1);
  EXPECT_EQ(Board.Phase, PhaseIdle);
  EXPECT_EQ(Board.Moves, 3);
  EXPECT_EQ(SoundCount(), sounds);
}

TEST_F(PlayScreen_, TapsDuringAnAnimationActOnceAtTheLastPositionAfterIt) {
  LayOut(0, {1, 2, 1, 2, 3, 3, 4, 4});
  TapTile(0);
  // Two taps while the tile turns: the second position wins.
  Tap(90 + 15, 60 + 45);  // tile 2
  PlayScreen();
  Tap(90 + 45, 60 + 105);  // tile 7
  int32_t frames = RunUntilIdle();
  EXPECT_EQ(frames, 10);
  // The frame that came back to idle took nothing.
  EXPECT_EQ(TapConsumed, 0);
  EXPECT_EQ(Board.SecondPick, -1);
  PlayScreen();
  EXPECT_EQ(Board.SecondPick, 7);
  EXPECT_EQ(Board.Moves, 1);
  EXPECT_EQ(Played("click.wav"), 2u);
  RunUntilIdle();
  PlayScreen();
  EXPECT_EQ(Board.Phase, PhaseIdle);
  EXPECT_EQ(Played("click.wav"), 2u);
}

TEST_F(PlayScreen_, AFoundPairTurnsForTenFramesThenShrinksForFifteen) {
  LayOut(0, {1, 2, 2, 1, 3, 3, 4, 4});
  TapTile(0);
  RunUntilIdle();
  TapTile(3);
  ASSERT_EQ(Board.Phase, PhaseTurning);
  for (int32_t frame = 1; frame <= 10; ++frame) {
    PlayScreen();
    SCOPED_TRACE("turning frame " + std::to_string(frame));
    EXPECT_EQ(Board.Tiles[3].AnimFrame, frame == 10 ? 0 : 3 * frame);
    EXPECT_EQ(Board.Tiles[3].FaceUp, frame >= 5 ? 1 : 0);
    EXPECT_EQ(Board.Phase, PhaseTurning);
  }
  EXPECT_EQ(Board.Tiles[3].Anim, AnimStill);
  EXPECT_EQ(Played("fade.wav"), 0u);
  // The frame after the turn only looks at the pair and starts the vanish.
  PlayScreen();
  EXPECT_EQ(Board.Phase, PhaseVanishing);
  EXPECT_EQ(Board.Tiles[0].Anim, AnimVanish);
  EXPECT_EQ(Board.Tiles[3].Anim, AnimVanish);
  EXPECT_EQ(Played("fade.wav"), 1u);
  for (int32_t frame = 1; frame <= 14; ++frame) PlayScreen();
  EXPECT_EQ(Board.Tiles[0].Present, 1);
  EXPECT_EQ(Board.PairsLeft, 4);
  // The pair is drawn at its last size in the frame that removes it.
  PlayScreen();
  EXPECT_EQ(Pixel(104, 74), CardPixel(1, 0, 0));
  EXPECT_EQ(Board.Tiles[0].Present, 0);
  EXPECT_EQ(Board.Tiles[3].Present, 0);
  EXPECT_EQ(Board.PairsLeft, 3);
  EXPECT_EQ(Board.FirstPick, -1);
  EXPECT_EQ(Board.SecondPick, -1);
  EXPECT_EQ(Board.Phase, PhaseIdle);
  EXPECT_EQ(Board.GameState, Playing);
  // The emptied cells show the backdrop and ignore taps.
  PlayScreen();
  EXPECT_EQ(Pixel(104, 74), BackdropPixel(104, 74));
  TapTile(0);
  EXPECT_EQ(Board.FirstPick, -1);
  EXPECT_EQ(Played("click.wav"), 2u);
}

TEST_F(PlayScreen_, TheLastPairComparesFullSecondsAndStrictlyFewerMovesWithTheRecords) {
  LayOut(0, {1, 1, 2, 2, 3, 3, 4, 4});
  for (int32_t k = 2; k < 8; ++k) Board.Tiles[k].Present = 0;
  for (int32_t k = 0; k < 2; ++k) Board.Tiles[k] = Tile{1, 1, 1, AnimVanish, 14};
  Board.FirstPick = 0;
  Board.SecondPick = 1;
  Board.PairsLeft = 1;
  Board.Phase = PhaseVanishing;
  Board.Moves = 5;
  Board.ElapsedMs = 1'500'400;
  BestMoves[0] = 5;       // equalled: no record
  BestSeconds[0] = 2000;  // beaten by 1500 full seconds, though 501 shows

  PlayScreen();
  EXPECT_EQ(Panel(), PanelShowing("501", "005"));
  EXPECT_EQ(Board.GameState, NewRecord);
  EXPECT_EQ(BestSeconds[0], 1500u);
  EXPECT_EQ(BestMoves[0], 5);
  std::vector<uint8_t> expected(48, 0);
  for (int32_t i = 0; i < 12; ++i) expected[i * 4] = static_cast<uint8_t>(0xE7);  // 999
  for (int32_t i = 0; i < 12; ++i) expected[i * 4 + 1] = 0x03;
  expected[0] = 0xDC;  // 1500 = 0x05DC
  expected[1] = 0x05;
  expected[24] = 5;
  expected[25] = 0;
  EXPECT_EQ(RecordsFile(), expected);
  EXPECT_EQ(SoundCount(), 0u);

  // From now on the clock stands still and the banner bounces.
  host::SetTickCounter(TickCount() + 5000);
  PlayScreen();
  EXPECT_EQ(Board.ElapsedMs, 1'500'400u);
  EXPECT_EQ(Board.LastTick, TickCount());
  EXPECT_EQ(BannerPhase, 10);
  PlayScreen();
  EXPECT_EQ(BannerPhase, 20);
}

TEST_F(PlayScreen_, RecordChecksFollowEachFieldsSignednessAndSaveOncePerRecord) {
  Board.GameState = Finished;
  BoardSize = 2;

  // Equal results are no records, and nothing is written.
  Board.Moves = 10;
  Board.ElapsedMs = 20'999;
  BestMoves[2] = 10;
  BestSeconds[2] = 20;
  CheckRecords();
  EXPECT_EQ(Board.GameState, Finished);
  EXPECT_FALSE(std::filesystem::exists(Folder() / "quill.dat"));

  // A stored -1 moves can't be beaten; a stored 0xFFFFFFFF seconds can.
  BestMoves[2] = -1;
  BestSeconds[2] = 0xFFFFFFFFu;
  CheckRecords();
  EXPECT_EQ(BestMoves[2], -1);
  EXPECT_EQ(BestSeconds[2], 20u);
  EXPECT_EQ(Board.GameState, NewRecord);

  // Both records in one check: the file is replaced twice.
  int watcher = inotify_init1(IN_NONBLOCK);
  ASSERT_GE(watcher, 0);
  // Closing the written file between the two replacements keeps the kernel
  // from folding two identical rename events into one.
  ASSERT_GE(inotify_add_watch(watcher, Folder().c_str(), IN_MOVED_TO | IN_CLOSE_WRITE), 0);
  Board.GameState = Finished;
  BestMoves[2] = 999;
  BestSeconds[2] = 999;
  CheckRecords();
  EXPECT_EQ(Board.GameState, NewRecord);
  alignas(inotify_event) char events[4096];
  int32_t replaced = 0;
  ssize_t length = read(watcher, events, sizeof events);
  for (ssize_t at = 0; at < length;) {
    const auto* event = reinterpret_cast<const inotify_event*>(events + at);
    if ((event->mask & IN_MOVED_TO) != 0 && event->len > 0 &&
        std::strcmp(event->name, "quill.dat") == 0) {
      ++replaced;
    }
    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
  }
  close(watcher);
  EXPECT_EQ(replaced, 2);
  std::vector<uint8_t> file = RecordsFile();
  ASSERT_EQ(file.size(), 48u);
  EXPECT_EQ(file[8], 20);
  EXPECT_EQ(file[32], 10);
}

TEST_F(PlayScreen_, CountersShowThreeDigitsAndTheTimeRollsOverAt999) {
  LayOut(3, {});
  const struct {
    uint32_t ms;
    int16_t moves;
    const char* time;
    const char* shownMoves;
  } cases[] = {{0, 0, "000", "000"},
               {998'999, 7, "998", "007"},
               {999'000, 999, "000", "999"},
               {1'500'000, 1000, "501", "1000"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.time);
    Board.ElapsedMs = c.ms;
    Board.Moves = c.moves;
    DrawHud();
    std::vector<uint16_t> shown = Panel();
    EXPECT_EQ(shown, PanelShowing(c.time, c.shownMoves));
    EXPECT_NE(shown, std::vector<uint16_t>(PlayPanelPicture, PlayPanelPicture + 240 * 80));
  }
  // The cross is part of every play frame while muted.
  SoundOn = 0;
  DrawHud();
  EXPECT_EQ(Pixel(222, 241), 0xF800);
}

TEST_F(PlayScreen_, TheClockSurvivesTheTickCounterWrapAndStopsWhenTheBoardIsDone) {
  host::SetTickCounter(0xFFFFFF00u);
  LayOut(1, {});
  Board.ElapsedMs = 1000;
  host::SetTickCounter(0x100u);
  DrawHud();
  EXPECT_EQ(Board.ElapsedMs, 1000u + 0x200u);
  EXPECT_EQ(Board.LastTick, 0x100u);

  Board.GameState = Finished;
  host::SetTickCounter(0x5000u);
  DrawHud();
  EXPECT_EQ(Board.ElapsedMs, 1000u + 0x200u);
  EXPECT_EQ(Board.LastTick, 0x5000u);

  // Counting again starts from the last accounting, not from the pause.
  Board.GameState = Playing;
  host::SetTickCounter(0x5000u + 250);
  DrawHud();
  EXPECT_EQ(Board.ElapsedMs, 1000u + 0x200u + 250u);
}

TEST_F(PlayScreen_, PanelAreasWaitForTheAnimationAndThenAct) {
  LayOut(0, {1, 1, 2, 2, 3, 3, 4, 4});
  TapTile(0);
  Tap(200, 300);  // quit, during the turn
  for (int32_t frame = 0; frame < 11; ++frame) {
    PlayScreen();
    ASSERT_EQ(QuitFlag, 0);
  }
  EXPECT_EQ(Board.Phase, PhaseIdle);
  PlayScreen();
  EXPECT_EQ(QuitFlag, 1);
  EXPECT_EQ(Played("startup.wav"), 1u);

  // Board selection during a vanish.
  QuitFlag = 0;
  TapTile(1);
  for (int32_t frame = 0; frame < 11; ++frame) PlayScreen();  // the turn, then the check
  ASSERT_EQ(Board.Phase, PhaseVanishing);
  Tap(100, 300);
  EXPECT_EQ(RunUntilIdle(), 15);
  EXPECT_EQ(ScreenState, ScreenPlay);
  PlayScreen();
  EXPECT_EQ(ScreenState, ScreenBoardSelect);
  EXPECT_EQ(SavedBoardSize, 0);
  EXPECT_EQ(ReturnScreen, 0);
  EXPECT_EQ(Played("new.wav"), 1u);
  EXPECT_EQ(Board.PairsLeft, 3);
}

TEST_F(PlayScreen_, PanelAreasIncludeBothEndsAndNothingBeyond) {
  LayOut(5, {});
  BoardSize = 5;
  auto tapAt = [](uint32_t x, uint32_t y) {
    ScreenState = ScreenPlay;
    QuitFlag = 0;
    ReturnScreen = ScreenTitle;
    SavedBoardSize = -1;
    Tap(x, y);
    PlayScreen();
  };

  // The sound toggle is silent both ways; the cross shows from the next frame.
  tapAt(223, 241);
  EXPECT_EQ(SoundOn, 0);
  EXPECT_NE(Pixel(222, 241), 0xF800);
  PlayScreen();
  EXPECT_EQ(Pixel(222, 241), 0xF800);
  tapAt(240, 255);
  EXPECT_EQ(SoundOn, 1);
  EXPECT_EQ(SoundCount(), 0u);

  for (auto [x, y] : {std::pair{0u, 295u}, {55u, 320u}}) {
    tapAt(x, y);
    EXPECT_EQ(ScreenState, ScreenAbout) << x << "," << y;
  }
  EXPECT_EQ(Played("new.wav"), 2u);
  for (auto [x, y] : {std::pair{63u, 295u}, {173u, 320u}}) {
    tapAt(x, y);
    EXPECT_EQ(ScreenState, ScreenBoardSelect) << x << "," << y;
    EXPECT_EQ(SavedBoardSize, 5);
    EXPECT_EQ(ReturnScreen, 0);
  }
  EXPECT_EQ(Played("new.wav"), 4u);
  for (auto [x, y] : {std::pair{190u, 295u}, {240u, 320u}}) {
    tapAt(x, y);
    EXPECT_EQ(QuitFlag, 1) << x << "," << y;
  }
  EXPECT_EQ(Played("startup.wav"), 2u);

  size_t sounds = SoundCount();
  for (auto [x, y] : {std::pair{222u, 248u},
                      {230u, 256u},
                      {230u, 240u},
                      {56u, 300u},
                      {62u, 300u},
                      {174u, 300u},
                      {189u, 300u},
                      {100u, 294u},
                      {100u, 321u},
                      {241u, 300u}}) {
    tapAt(x, y);
    EXPECT_EQ(ScreenState, ScreenPlay) << x << "," << y;
    EXPECT_EQ(QuitFlag, 0) << x << "," << y;
    EXPECT_EQ(SoundOn, 1) << x << "," << y;
  }
  EXPECT_EQ(SoundCount(), sounds);
  EXPECT_EQ(Board.FirstPick, -1);
}

TEST_F(PlayScreen_, TheRecordBannerBouncesAndRecoloursTheBackdrop) {
  std::vector<uint16_t>& art = RecordArt();
  art[5] = 0x0000;  // a marker on the banner's top row
  const struct {
    int32_t phase;
    int32_t top;
  } cases[] = {{0, 60}, {10, 72}, {32, 95}, {64, 110}, {128, 60}, {160, 24}, {192, 10}, {200, 10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.phase);
    std::fill(BackBuffer, BackBuffer + BackBufferPixels, 0x1234);
    BannerPhase = c.phase;
    DrawRecordBanner();
    EXPECT_EQ(BannerPhase, c.phase + 10);
    int32_t top = -1;
    for (int32_t y = 0; y < 320; ++y) {
      if (Pixel(5, y) == 0) top = y;
    }
    EXPECT_EQ(top, c.top);
  }

  art[1] = 0x0000;
  art[2] = 0x07E0;
  art[119 * 240 + 3] = 0xFFFF;
  std::fill(BackBuffer, BackBuffer + BackBufferPixels, 0x1234);
  BannerPhase = 0;  // top 60
  DrawRecordBanner();
  int32_t changed = 0;
  for (size_t i = 0; i < BackBufferPixels; ++i) changed += BackBuffer[i] != 0x1234 ? 1 : 0;
  EXPECT_EQ(changed, 4);
  EXPECT_EQ(Pixel(0, 60), 0x1234);
  EXPECT_EQ(Pixel(1, 60), 0x0000);
  EXPECT_EQ(Pixel(5, 60), 0x0000);
  EXPECT_EQ(Pixel(2, 60), BackdropPixel(2, 60) >> 5);
  EXPECT_EQ(Pixel(3, 179), BackdropPixel(3, 179) >> 5);
}

}  // namespace
