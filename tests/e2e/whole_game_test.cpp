// Plays the real program headless from a script, the way a person would:
// title, board selection, a 2 x 4 board cleared pair by pair, the record
// banner, the records table, and a restart that remembers the records.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "support/png_file.h"

namespace fs = std::filesystem;

namespace {

// The 2 x 4 board sits three cells in and two down; cells are 30 pixels.
constexpr int BoardLeft = 90;
constexpr int BoardTop = 60;
constexpr int Tiles = 8;

std::string TileCentre(int t) {
  return std::to_string(BoardLeft + (t % 2) * 30 + 15) + " " +
         std::to_string(BoardTop + (t / 2) * 30 + 15);
}

class WholeGame : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("quillmoth-e2e-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "run");
    // The game keeps its records beside the program: give it a copy of its
    // own so that the build folder stays untouched.
    const fs::path built = QUILLMOTH_BINARY_DIR;
    fs::copy_file(QUILLMOTH_BINARY, folder_ / "quillmoth");
    for (const char* sub : {"Graph", "Sound"})
      fs::copy(built / sub, folder_ / sub, fs::copy_options::recursive);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs the program on a script; returns its exit code.
  int Run(const std::string& script, uint32_t tickStart = 4242) {
    const fs::path scriptPath = folder_ / "script.txt";
    std::ofstream(scriptPath) << script;
    const std::string command = "QUILLMOTH_RUNTIME_DIR='" + (folder_ / "run").string() + "' '" +
                                (folder_ / "quillmoth").string() + "' --headless --tick-start " +
                                std::to_string(tickStart) + " --script '" + scriptPath.string() +
                                "' > '" + (folder_ / "out.txt").string() + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  Picture Shot(const std::string& name) { return ReadPng((folder_ / name).string()); }
  std::string ShotPath(const std::string& name) { return (folder_ / name).string(); }

  // The board selection from the title, the smallest size, and a new board.
  std::string DealSmallestBoard() {
    return "wait 2\ntap 120 300\nwait 3\nshot " + ShotPath("select.png") +
           "\ntap 140 10\nwait 2\ntap 30 60\nwait 3\nshot " + ShotPath("dealt.png") + "\n";
  }

  // Turns the tiles of the smallest board dealt at `tickStart` over two at
  // a time and returns the pairs found: the tiles of each face. A tap is
  // taken two frames after it is made, a turn takes ten more, and the next
  // frame shows the pair face up before any vanishing starts.
  std::map<std::vector<uint8_t>, std::vector<int>> LearnPairs(uint32_t tickStart) {
    std::string learn = DealSmallestBoard();
    for (int t = 0; t < Tiles; t += 2) {
      learn += "tap " + TileCentre(t) + "\nwait 13\n";
      learn += "tap " + TileCentre(t + 1) + "\nwait 13\nshot " +
               ShotPath("pair" + std::to_string(t) + ".png") + "\n";
      learn += "wait 20\n";
    }
    EXPECT_EQ(Run(learn + "quit\n", tickStart), 0);
    const auto back = Region(Shot("dealt.png"), BoardLeft, BoardTop, 30, 30);
    std::map<std::vector<uint8_t>, std::vector<int>> faces;
    for (int t = 0; t < Tiles; t += 2) {
      const Picture pair = Shot("pair" + std::to_string(t) + ".png");
      EXPECT_EQ(pair.Width, 240) << "no shot for pair " << t;
      if (pair.Width != 240) return {};
      for (int u : {t, t + 1}) {
        const auto face = Region(pair, BoardLeft + (u % 2) * 30, BoardTop + (u / 2) * 30, 30, 30);
        EXPECT_NE(face, back) << "tile " << u << " is not face up";
        faces[face].push_back(u);
      }
    }
    EXPECT_EQ(faces.size(), 4u) << "a 2 x 4 board holds four pictures";
    for (const auto& [face, tiles] : faces) EXPECT_EQ(tiles.size(), 2u);
    // Learning may by chance have cleared the board and set a record.
    fs::remove(folder_ / "quill.dat");
    return faces;
  }

  // Taps that clear the smallest board, pair by pair.
  static std::string ClearPairs(const std::map<std::vector<uint8_t>, std::vector<int>>& faces) {
    std::string play;
    for (const auto& [face, tiles] : faces) {
      play += "tap " + TileCentre(tiles[0]) + "\nwait 13\n";
      play += "tap " + TileCentre(tiles[1]) + "\nwait 32\n";
    }
    return play;
  }

  fs::path folder_;
};

TEST_F(WholeGame, ClearsASmallBoardAndKeepsTheRecord) {
  const auto faces = LearnPairs(4242);
  ASSERT_EQ(faces.size(), 4u);
  // Second run, same start tick, so the same board: clear it pair by pair.
  std::string play = DealSmallestBoard() + ClearPairs(faces);
  play += "shot " + ShotPath("finished.png") + "\n";
  play += "tap 120 305\nwait 3\nshot " + ShotPath("records.png") + "\nquit\n";
  ASSERT_EQ(Run(play), 0);

  // The record is on disk: a handful of seconds and 4 moves for size 0, the
  // other sizes keep 999; four bytes a value, least significant first.
  std::ifstream file(folder_ / "quill.dat", std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
  ASSERT_EQ(bytes.size(), 48u);
  const auto value = [&](int i) {
    return bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 |
           static_cast<uint32_t>(bytes[4 * i + 3]) << 24;
  };
  EXPECT_LT(value(0), 30u);
  EXPECT_EQ(value(6), 4u);
  for (int i : {1, 2, 3, 4, 5, 7, 8, 9, 10, 11}) EXPECT_EQ(value(i), 999u) << i;

  // The board is empty (the banner bounces over the backdrop); the records
  // table shows the new row 0 and the old rows 1 to 5.
  EXPECT_NE(Region(Shot("finished.png"), 0, 0, 240, 240),
            Region(Shot("dealt.png"), 0, 0, 240, 240));
  const Picture before = Shot("select.png"), after = Shot("records.png");
  ASSERT_EQ(after.Width, 240);
  EXPECT_NE(Region(after, 90, 95, 150, 17), Region(before, 90, 95, 150, 17));
  EXPECT_EQ(Region(after, 0, 130, 240, 190), Region(before, 0, 130, 240, 190));

  // A restart reads the records back: the table looks as it did.
  ASSERT_EQ(Run("wait 2\ntap 120 300\nwait 3\nshot " + ShotPath("again.png") + "\nquit\n"), 0);
  EXPECT_EQ(Region(Shot("again.png"), 0, 44, 240, 276), Region(after, 0, 44, 240, 276));
}

TEST_F(WholeGame, ShotsArePrintedWhenWritten) {
  ASSERT_EQ(Run("wait 1\nshot " + ShotPath("a.png") + "\nquit\n"), 0);
  std::ifstream out(folder_ / "out.txt");
  std::string line;
  std::getline(out, line);
  EXPECT_EQ(line, "shot " + ShotPath("a.png"));
}

// A windowed game (on the dummy video driver) recorded with --record, then
// replayed headless from the recording: the same deal, the same taps in the
// same frames, the same records file. The recording's first line names the
// tick the game seeded its deal with; the test reads it while the windowed
// game waits, learns that deal headless, and only then plays it.
TEST_F(WholeGame, ARecordedWindowedGameReplaysHeadlessToTheSameRecords) {
  const std::string recording = ShotPath("recording.txt");
  // Its own meeting folder: the headless runs beside it are other copies.
  fs::create_directories(folder_ / "live");
  ChildProcess live({"--script", "-", "--record", recording},
                    {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy",
                     "QUILLMOTH_RUNTIME_DIR=" + ShotPath("live")},
                    ShotPath("quillmoth"));
  live.Send("wait 1\n");
  std::string header;
  for (int tries = 0; tries < 500 && !header.starts_with("# tick-start "); ++tries) {
    usleep(10'000);
    std::ifstream in(recording);
    std::getline(in, header);
  }
  ASSERT_TRUE(header.starts_with("# tick-start ")) << header;
  const auto tickStart = static_cast<uint32_t>(std::stoul(header.substr(13)));
  const auto faces = LearnPairs(tickStart);
  ASSERT_EQ(faces.size(), 4u);

  live.Send(DealSmallestBoard() + ClearPairs(faces) + "wait 5\nquit\n");
  ASSERT_EQ(live.Wait(30000), 0) << live.Err;
  std::ifstream played(folder_ / "quill.dat", std::ios::binary);
  const std::vector<uint8_t> livedRecords{std::istreambuf_iterator<char>(played), {}};
  ASSERT_EQ(livedRecords.size(), 48u);
  EXPECT_EQ(livedRecords[24], 4) << "four moves on the smallest board";

  fs::remove(folder_ / "quill.dat");
  std::ifstream recorded(recording);
  ASSERT_EQ(Run({std::istreambuf_iterator<char>(recorded), {}}, tickStart), 0);
  std::ifstream replayed(folder_ / "quill.dat", std::ios::binary);
  const std::vector<uint8_t> replayedRecords{std::istreambuf_iterator<char>(replayed), {}};
  // A windowed frame lasts a little over 30 ms, a headless one exactly 30:
  // on a game of some 200 frames the seconds stay the same.
  EXPECT_EQ(replayedRecords, livedRecords);
}

}  // namespace
