// Plays the real program from a script, the way a person would: title,
// board selection, a 2 x 4 board cleared pair by pair, and a restart whose
// records table remembers the record.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "support/headless_host.h"
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

class WholeGame : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    fs::create_directories(Folder() / "run");
    // The game keeps its records beside the program: give it a copy of its
    // own so that the build folder stays untouched.
    const fs::path built = QUILLMOTH_BINARY_DIR;
    fs::copy_file(QUILLMOTH_BINARY, Folder() / "quillmoth");
    for (const char* sub : {"Graph", "Sound"})
      fs::copy(built / sub, Folder() / sub, fs::copy_options::recursive);
  }

  // Runs the program on a script; returns its exit code.
  int Run(const std::string& script, uint32_t tickStart = 4242) {
    std::ofstream(Folder() / "script.txt") << script;
    ChildProcess run({"--headless", "--tick-start", std::to_string(tickStart), "--script",
                      ShotPath("script.txt")},
                     {"QUILLMOTH_RUNTIME_DIR=" + ShotPath("run")}, ShotPath("quillmoth"));
    return run.Wait(60000);
  }

  Picture Shot(const std::string& name) { return ReadPng((Folder() / name).string()); }
  std::vector<uint8_t> RecordsFile() {
    std::ifstream file(Folder() / "quill.dat", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }
  std::string ShotPath(const std::string& name) { return (Folder() / name).string(); }

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
    fs::remove(Folder() / "quill.dat");
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
};

// A windowed game (on the dummy video driver) recorded with --record, then
// replayed headless from the recording: the same deal, the same taps in the
// same frames, the same records file. The recording's first line names the
// tick the game seeded its deal with; the test reads it while the windowed
// game waits, learns that deal headless, and only then plays it. A restart
// reads the new record back into the records table.
TEST_F(WholeGame, ARecordedWindowedGameReplaysHeadlessToTheSameRecordsAndKeepsThem) {
  const std::string recording = ShotPath("recording.txt");
  // Its own meeting folder: the headless runs beside it are other copies.
  fs::create_directories(Folder() / "live");
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
  const std::vector<uint8_t> lived = RecordsFile();
  // A handful of seconds and 4 moves for size 0, the other sizes keep 999;
  // four bytes a value, least significant first.
  ASSERT_EQ(lived.size(), 48u);
  const auto value = [&](int i) {
    return lived[4 * i] | lived[4 * i + 1] << 8 | lived[4 * i + 2] << 16 |
           static_cast<uint32_t>(lived[4 * i + 3]) << 24;
  };
  EXPECT_LT(value(0), 30u);
  EXPECT_EQ(value(6), 4u);
  for (int i : {1, 2, 3, 4, 5, 7, 8, 9, 10, 11}) EXPECT_EQ(value(i), 999u) << i;

  fs::remove(Folder() / "quill.dat");
  std::ifstream recorded(recording);
  ASSERT_EQ(Run({std::istreambuf_iterator<char>(recorded), {}}, tickStart), 0);
  // A windowed frame lasts a little over 30 ms, a headless one exactly 30:
  // on a game of some 200 frames the seconds stay the same.
  EXPECT_EQ(RecordsFile(), lived);

  // The table shows the new row 0 and the old rows 1 to 5 as they were
  // before any record (the board selection shot while learning).
  ASSERT_EQ(Run("wait 2\ntap 120 300\nwait 3\nshot " + ShotPath("again.png") + "\nquit\n"), 0);
  const Picture before = Shot("select.png"), after = Shot("again.png");
  ASSERT_EQ(after.Width, 240);
  EXPECT_NE(Region(after, 90, 95, 150, 17), Region(before, 90, 95, 150, 17));
  EXPECT_EQ(Region(after, 0, 130, 240, 190), Region(before, 0, 130, 240, 190));
}

}  // namespace
