#include "screens/board_select_screen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/data_paths.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/sound_effects.h"
#include "game/board.h"
#include "game/random.h"
#include "game/records.h"
#include "gfx/back_buffer.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "screens/assets.h"
#include "support/headless_host.h"

namespace {

constexpr uint16_t Background = 0x0841;

class BoardSelectTest : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    StartHost();
    BuildDataPaths();
    AllocateBackBuffer();
    BuildGlyphFont();
    SelectPicture = select_.data();
    SoundOn = 1;
    TapConsumed = 1;
    ScreenState = ScreenBoardSelect;
    BoardSize = SavedBoardSize = 3;
    ReturnScreen = 2;
    for (int32_t i = 0; i < BoardSizes; ++i) {
      BestSeconds[i] = DefaultRecord;
      BestMoves[i] = static_cast<int32_t>(DefaultRecord);
    }
    SeedRandom(7);
  }
  void TearDown() override {
    SelectPicture = nullptr;
    SoundOn = 0;
    FreeGlyphFont();
    ReleaseBackBuffer();
    HeadlessHostTest::TearDown();
  }

  static void TapAt(uint32_t x, uint32_t y) {
    StylusX = x;
    StylusY = y;
    TapConsumed = 0;
    BoardSelectScreen();
  }

  std::vector<std::string> SoundNames() const {
    std::vector<std::string> names;
    for (const auto& request : host::SoundRequests()) {
      names.push_back(std::filesystem::path(request.Path).filename().string());
    }
    return names;
  }

  std::vector<uint16_t> select_ = std::vector<uint16_t>(240 * 320, Background);
};

TEST_F(BoardSelectTest, SizeButtonsIncludeTheirEdgesAndNotTheGaps) {
  struct Case {
    uint32_t X, Y;
    int16_t Size;  // -1: nothing chosen
  };
  const Case cases[] = {{124, 3, 0},   {157, 18, 0},  {158, 10, -1}, {231, 36, 5},  {232, 36, -1},
                        {161, 3, 1},   {194, 18, 1},  {198, 3, 2},   {124, 21, 3},  {157, 36, 3},
                        {140, 19, -1}, {140, 20, -1}, {180, 30, 4},  {123, 10, -1}, {200, 37, -1}};
  for (const Case& c : cases) {
    BoardSize = 2;
    const size_t soundsBefore = host::SoundRequests().size();
    TapAt(c.X, c.Y);
    SCOPED_TRACE(testing::Message() << "tap (" << c.X << ", " << c.Y << ")");
    EXPECT_EQ(BoardSize, c.Size < 0 ? 2 : c.Size);
    EXPECT_EQ(ScreenState, ScreenBoardSelect);
    EXPECT_EQ(TapConsumed, 1);
    EXPECT_EQ(host::SoundRequests().size(), soundsBefore + (c.Size < 0 ? 0 : 1));
  }
  EXPECT_EQ(SoundNames().back(), "select.wav");
}

TEST_F(BoardSelectTest, StartAndBackButtonsIncludeTheirEdges) {
  for (auto [x, y] : {std::pair{0u, 44u}, {60u, 72u}}) {
    ScreenState = ScreenBoardSelect;
    TapAt(x, y);
    EXPECT_EQ(ScreenState, ScreenPlay) << x << ", " << y;
    EXPECT_EQ(Board.Columns, 6);
    EXPECT_EQ(Board.PairsLeft, 18);
  }
  for (auto [x, y] : {std::pair{180u, 44u}, {239u, 72u}, {240u, 60u}}) {
    ScreenState = ScreenBoardSelect;
    TapAt(x, y);
    EXPECT_EQ(ScreenState, ScreenTitle) << x << ", " << y;
  }
  EXPECT_EQ(SoundNames(), (std::vector<std::string>{"new.wav", "new.wav", "startup.wav",
                                                    "startup.wav", "startup.wav"}));

  Board.Columns = 0;
  for (auto [x, y] : {std::pair{61u, 50u}, {30u, 43u}, {179u, 50u}, {30u, 73u}, {241u, 50u}}) {
    ScreenState = ScreenBoardSelect;
    TapAt(x, y);
    EXPECT_EQ(ScreenState, ScreenBoardSelect) << x << ", " << y;
  }
  EXPECT_EQ(Board.Columns, 0) << "no board may be dealt";
  EXPECT_EQ(host::SoundRequests().size(), 5u);
}

TEST_F(BoardSelectTest, BackToTheTitleRestoresTheSizeOnEntry) {
  TapAt(230, 30);
  ASSERT_EQ(BoardSize, 5);
  TapAt(200, 50);
  EXPECT_EQ(BoardSize, 3);
  EXPECT_EQ(ScreenState, ScreenTitle);
  EXPECT_EQ(SoundNames(), (std::vector<std::string>{"select.wav", "startup.wav"}));
}

TEST_F(BoardSelectTest, BackToPlayResumesTheSameBoardAndSkipsTheTimeAway) {
  BoardSize = 1;
  TapAt(10, 50);
  ASSERT_EQ(ScreenState, ScreenPlay);
  Board.Moves = 7;
  Board.ElapsedMs = 12345;
  Board.Tiles[0].FaceUp = 1;
  const BoardRecord before = Board;

  // The play screen opens the selection like this.
  SavedBoardSize = BoardSize;
  ReturnScreen = 0;
  ScreenState = ScreenBoardSelect;
  host::SetTickCounter(987654);
  TapAt(230, 30);
  TapAt(200, 50);

  EXPECT_EQ(ScreenState, ScreenPlay);
  EXPECT_EQ(BoardSize, 1);
  EXPECT_EQ(Board.LastTick, 987654u);
  BoardRecord expected = before;
  expected.LastTick = 987654u;
  EXPECT_EQ(std::memcmp(&Board, &expected, sizeof Board), 0) << "the board must be untouched";
  EXPECT_EQ(SoundNames().back(), "new.wav");
}

TEST_F(BoardSelectTest, StartFromPlayWithAnotherSizeDealsAFreshBoard) {
  BoardSize = 1;
  TapAt(10, 50);
  Board.Moves = 9;
  Board.ElapsedMs = 5000;
  SavedBoardSize = BoardSize;
  ReturnScreen = 0;
  ScreenState = ScreenBoardSelect;
  TapAt(170, 25);
  ASSERT_EQ(BoardSize, 4);
  TapAt(30, 60);
  EXPECT_EQ(ScreenState, ScreenPlay);
  EXPECT_EQ(Board.Columns, 6);
  EXPECT_EQ(Board.Rows, 8);
  EXPECT_EQ(Board.PairsLeft, 24);
  EXPECT_EQ(Board.Moves, 0);
  EXPECT_EQ(Board.ElapsedMs, 0u);
  EXPECT_EQ(BoardSize, 4);
}

// The frame as it must look: the picture, both outlines in the given colours
// and the twelve numbers as literal texts.
std::vector<uint16_t> ExpectedFrame(const std::vector<uint16_t>& picture, int32_t size,
                                    int32_t outer, int32_t inner, const char* const texts[12]) {
  std::vector<uint16_t> frame(240 * 320);
  std::memcpy(BackBuffer, picture.data(), BackBufferBytes);
  const int32_t x0 = 124 + 37 * (size % 3), y0 = 3 + 18 * (size / 3);
  DrawRectOutline(x0, y0, x0 + 33, y0 + 15, outer);
  DrawRectOutline(x0 + 1, y0 + 1, x0 + 32, y0 + 14, inner);
  for (int32_t i = 0; i < 6; ++i) {
    DrawShadowedText(texts[i], 95, 96 + 40 * i);
    DrawShadowedText(texts[6 + i], 174, 96 + 40 * i);
  }
  std::memcpy(frame.data(), BackBuffer, BackBufferBytes);
  return frame;
}

TEST_F(BoardSelectTest, RecordsPrintWithAtLeastThreeDigitsAndAllOfThem) {
  const uint32_t seconds[] = {5, 999, 1234, std::numeric_limits<uint32_t>::max(), 0, 1000};
  const int32_t moves[] = {
      5, 999, 1234, std::numeric_limits<int32_t>::max(), 42, std::numeric_limits<int32_t>::min()};
  const char* const texts[12] = {"005", "999", "1234", "4294967295", "000", "1000",
                                 "005", "999", "1234", "2147483647", "042", "-2147483648"};
  std::memcpy(BestSeconds, seconds, sizeof seconds);
  std::memcpy(BestMoves, moves, sizeof moves);

  SeedRandom(99);
  const int32_t outer = NextRandom() & 0xFFFF;
  const int32_t inner = NextRandom() & 0xFFFF;
  const std::vector<uint16_t> expected = ExpectedFrame(select_, 3, outer, inner, texts);

  SeedRandom(99);
  BoardSelectScreen();
  int mismatches = 0;
  for (uint32_t i = 0; i < 240 * 320; ++i) {
    if (BackBuffer[i] != expected[i] && ++mismatches <= 5) {
      ADD_FAILURE() << "pixel (" << i % 240 << ", " << i / 240 << ")";
    }
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(ScreenState, ScreenBoardSelect);
}

TEST_F(BoardSelectTest, HighlightFlickersInFreshColoursOverTheTapRectangle) {
  for (int16_t size : {0, 3, 5}) {
    BoardSize = size;
    const uint32_t x0 = 124 + 37 * (size % 3), y0 = 3 + 18 * (size / 3);
    uint16_t colours[2][2];
    for (int frame = 0; frame < 2; ++frame) {
      BoardSelectScreen();
      colours[frame][0] = BackBuffer[240 * y0 + x0];
      colours[frame][1] = BackBuffer[240 * (y0 + 1) + x0 + 1];
      for (uint32_t y = y0 - 1; y <= y0 + 16; ++y) {
        for (uint32_t x = x0 - 1; x <= x0 + 34; ++x) {
          const bool outside = x < x0 || x > x0 + 33 || y < y0 || y > y0 + 15;
          const bool innerRing = !outside &&
                                 (x == x0 + 1 || x == x0 + 32 || y == y0 + 1 || y == y0 + 14) &&
                                 x != x0 && x != x0 + 33 && y != y0 && y != y0 + 15;
          const bool outerRing = !outside && (x == x0 || x == x0 + 33 || y == y0 || y == y0 + 15);
          const uint16_t pixel = BackBuffer[240 * y + x];
          SCOPED_TRACE(testing::Message() << "size " << size << " (" << x << ", " << y << ")");
          if (outerRing) {
            ASSERT_EQ(pixel, colours[frame][0]);
          } else if (innerRing) {
            ASSERT_EQ(pixel, colours[frame][1]);
          } else {
            ASSERT_EQ(pixel, Background);
          }
        }
      }
    }
    // Two 16-bit colours drawn twice over: the same four only by a fluke.
    EXPECT_FALSE(colours[0][0] == colours[1][0] && colours[0][1] == colours[1][1]);
  }
}

}  // namespace
