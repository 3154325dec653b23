// A long headless session of random taps over every screen and board size,
// with what a player relies on checked after every single frame. The short
// run is part of the suite; the long one is
//   QUILLMOTH_SOAK_FRAMES=100000 build/quillmoth_tests --gtest_filter='Soak*'
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <tuple>

#include "app/entry.h"
#include "game/board.h"
#include "services/shared_state.h"
#include "support/headless_host.h"

namespace {

// How far resident memory may move after the warm-up. Under AddressSanitizer
// freed blocks wait in its quarantine instead of being reused, so the size
// creeps up with every message the host queues and every sound path it
// copies, although nothing is kept.
#ifdef __SANITIZE_ADDRESS__
constexpr long Slack = 4 << 20;
#else
constexpr long Slack = 1 << 20;
#endif
// Columns and rows of the six board sizes, smallest first, as the size
// buttons are laid out (three to a row).
constexpr int Layouts[6][2] = {{2, 4}, {4, 4}, {4, 6}, {6, 6}, {6, 8}, {8, 8}};

// Read without allocating, so that taking the measure does not move it.
long ResidentBytes() {
  char text[64] = {};
  const int file = open("/proc/self/statm", O_RDONLY);
  const ssize_t got = read(file, text, sizeof text - 1);
  close(file);
  long pages = 0, resident = 0;
  return got > 0 && std::sscanf(text, "%ld %ld", &pages, &resident) == 2
             ? resident * sysconf(_SC_PAGESIZE)
             : -1;
}

// A script of taps that knows which board it asked for but never what the
// game shows: tiles of that board, every screen's controls (never quit,
// the play panel's corner at x >= 190, y >= 295), taps anywhere, and the
// window losing and getting the focus.
std::string RandomSession(uint32_t seed, uint64_t frames) {
  std::mt19937 random(seed);
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
  std::string script;
  uint64_t planned = 0;
  const auto tap = [&](int x, int y, int wait) {
    script += "tap " + std::to_string(x) + " " + std::to_string(y) + "\nwait " +
              std::to_string(wait) + "\n";
    planned += static_cast<uint64_t>(wait);
  };
  for (int episode = 0; planned < frames; ++episode) {
    // Every size once, then mostly the smallest, which random taps clear.
    const int size = episode < 6 ? episode : pick(3) == 0 ? pick(6) : 0;
    // From any screen two taps on the panel's middle reach the board
    // selection (the about page goes back to the game first; the first tap
    // waits out any turn or vanishing), then the size and start.
    tap(120, 300, 28);
    tap(120, 300, 2);
    tap(124 + 37 * (size % 3) + pick(34), 3 + 18 * (size / 3) + pick(16), 2);
    tap(pick(61), 44 + pick(29), 2);
    const int columns = Layouts[size][0], rows = Layouts[size][1];
    for (int taps = size == 0 ? 150 + pick(100) : 10 + pick(40); taps > 0; --taps) {
      const int choice = pick(100);
      const int wait = pick(21);
      if (choice < 84) {
        tap(30 * ((8 - columns) / 2 + pick(columns)) + pick(30),
            30 * ((8 - rows) / 2 + pick(rows)) + pick(30), wait);
      } else if (choice < 86) {
        tap(223 + pick(17), 241 + pick(15), wait);  // speaker
      } else if (choice < 88) {
        tap(pick(56), 295 + pick(25), wait);  // about; the next tap comes back
      } else if (choice < 91) {
        // The board selection, once any turn is over, and back to the game.
        tap(63 + pick(111), 295 + pick(25), 28);
        tap(180 + pick(60), 44 + pick(29), wait);
      } else if (choice < 94) {
        script += "activate " + std::to_string(pick(2)) + "\n";
      } else {
        const int x = pick(240), y = pick(320);
        tap(x, x >= 190 && y >= 295 ? y - 60 : y, wait);
      }
    }
  }
  return script;
}

class Soak : public HeadlessHostTest {};

TEST_F(Soak, RandomTapsKeepTheBoardTheClockAndMemoryStraight) {
  const char* setting = std::getenv("QUILLMOTH_SOAK_FRAMES");
  const uint64_t frames = setting != nullptr ? std::strtoull(setting, nullptr, 10) : 10000;
  const uint32_t seed = 20240611;
  CopyProgram(Folder());
  // No log of sounds: over a long run it would pass for a leak.
  StartHost(RandomSession(seed, frames), host::DisplayMode::Rgb565, seed, false);
  Board = BoardRecord{};  // no board from an earlier test

  // What ran in the frame just observed is what the frame before left in
  // ScreenState: no message between frames changes the screen.
  int8_t ran = ScreenTitle;
  int16_t moves = 0, pairs = 0;
  uint32_t elapsed = 0;
  uint64_t frame = 0, failures = 0, cleared = 0;
  long warm = 0, peak = 0;
  std::string first;
  std::set<int> played, screens;
  const auto check = [&](bool ok, const char* what) {
    if (!ok && failures++ == 0) first = "frame " + std::to_string(frame) + ": " + what;
  };
  host::SetFrameObserver([&] {
    ++frame;
    const int tiles = std::clamp(Board.Columns * Board.Rows, 0, 64);
    int present = 0;
    for (int k = 0; k < tiles; ++k) {
      if (Board.Tiles[k].Present != 1) continue;
      ++present;
      int same = 0;
      for (int j = 0; j < tiles; ++j)
        same += Board.Tiles[j].Present == 1 && Board.Tiles[j].Picture == Board.Tiles[k].Picture;
      check(same == 2, "a picture lies on the board once, or more than twice");
    }
    check(Board.PairsLeft * 2 == present, "PairsLeft is not half the tiles left");
    // Only the start button deals, and a deal starts from nothing.
    const bool dealt = ran == ScreenBoardSelect && ScreenState == ScreenPlay && Board.Moves == 0 &&
                       Board.ElapsedMs == 0 && Board.PairsLeft * 2 == tiles;
    check(Board.Moves >= moves || dealt, "the move count went down within a game");
    if (ran == ScreenPlay) {
      // A headless frame lasts 30 ms.
      check(Board.ElapsedMs - elapsed <= 30, "the clock ran faster than the frames");
    } else {
      check(Board.ElapsedMs == elapsed || dealt, "the clock ran while the game was not shown");
    }
    if (Board.Moves > 0) played.insert(tiles);
    cleared += tiles > 0 && Board.PairsLeft == 0 && pairs > 0;
    screens.insert(ran);
    std::tie(ran, moves, elapsed, pairs) =
        std::tuple(ScreenState, Board.Moves, Board.ElapsedMs, Board.PairsLeft);
    if (frame == frames / 5) warm = ResidentBytes();
    if (frame > frames / 5 && frame % 500 == 0) peak = std::max(peak, ResidentBytes());
  });
  EXPECT_EQ(ProgramEntry(nullptr, nullptr, "", ShowNormal), 0);

  EXPECT_EQ(failures, 0u) << first;
  EXPECT_GE(frame, frames) << "the session ended early";
  EXPECT_EQ(screens, (std::set<int>{ScreenPlay, ScreenBoardSelect, ScreenTitle, ScreenAbout}));
  EXPECT_EQ(played, (std::set<int>{8, 16, 24, 36, 48, 64})) << "a board size was never played";
  EXPECT_GE(cleared, frames / 5000) << "too few boards were cleared";
  EXPECT_GT(warm, 0) << "resident memory was never measured";
  EXPECT_LT(peak - warm, Slack) << "resident memory grew from " << warm << " to " << peak;
}

}  // namespace
