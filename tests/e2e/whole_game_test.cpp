// Plays the real program from a script, the way a person would: title,
// board selection, a 2 x 4 board cleared pair by pair, and a restart whose
// records table remembers the record.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/entry.h"
#include "game/board.h"
#include "platform/child_process.h"
#include "platform/png_file.h"
#include "support/headless_host.h"

namespace fs = std::filesystem;

namespace {

// The centre of tile t of the 2 x 4 board, which sits three cells in and two
// down; cells are 30 pixels.
std::string TileCentre(int t) {
  return std::to_string(105 + (t % 2) * 30) + " " + std::to_string(75 + (t / 2) * 30);
}

// The pixels of a rectangle of a shot; nothing when the shot is missing.
std::vector<uint8_t> Region(const fs::path& shot, int x, int y, int w, int h) {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba, out;
  if (!host::detail::ReadPngRgba(shot, &width, &height, &rgba) || x + w > width || y + h > height)
    return out;
  for (int row = y; row < y + h; ++row) {
    const auto from = rgba.begin() + (row * width + x) * 4;
    out.insert(out.end(), from, from + w * 4);
  }
  return out;
}

class WholeGame : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    fs::create_directories(Folder() / "run");
    // The game keeps its records beside the program: give it a copy of its
    // own so that the build folder stays untouched.
    fs::copy_file(QUILLMOTH_BINARY, Folder() / "quillmoth");
    for (const char* sub : {"Graph", "Sound"})
      fs::copy(fs::path(QUILLMOTH_BINARY_DIR) / sub, Folder() / sub, fs::copy_options::recursive);
  }

  // Runs the program on a script; returns its exit code.
  int Run(const std::string& script, uint32_t tickStart) {
    std::ofstream(Folder() / "script.txt") << script;
    ChildProcess run(
        {"--headless", "--tick-start", std::to_string(tickStart), "--script", Path("script.txt")},
        {"QUILLMOTH_RUNTIME_DIR=" + Path("run")}, Path("quillmoth"));
    return run.Wait(60000);
  }
  std::vector<uint8_t> RecordsFile() {
    std::ifstream file(Folder() / "quill.dat", std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }
  std::string Path(const std::string& name) { return (Folder() / name).string(); }

  // The board selection from the title, the smallest size, and a new board.
  std::string DealSmallestBoard() {
    return "wait 2\ntap 120 300\nwait 3\nshot " + Path("select.png") +
           "\ntap 140 10\nwait 2\ntap 30 60\nwait 3\n";
  }
};

// A windowed game (on the dummy video driver) recorded with --record, then
// replayed headless from the recording: the same deal, the same taps in the
// same frames, the same records file. The recording's first line names the
// tick the game seeded its deal with; the test reads it while the windowed
// game waits, deals the same board in its own headless run to learn where
// the pairs lie, and only then plays it. A restart reads the new record
// back into the records table.
TEST_F(WholeGame, ARecordedWindowedGameReplaysHeadlessToTheSameRecordsAndKeepsThem) {
  const std::string recording = Path("recording.txt");
  // Its own meeting folder: the headless runs beside it are other copies.
  fs::create_directories(Folder() / "live");
  ChildProcess live(
      {"--script", "-", "--record", recording},
      {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", "QUILLMOTH_RUNTIME_DIR=" + Path("live")},
      Path("quillmoth"));
  live.Send("wait 1\n");
  std::string header;
  for (int tries = 0; tries < 500 && !header.starts_with("# tick-start "); ++tries) {
    usleep(10'000);
    std::getline(std::ifstream(recording), header);
  }
  ASSERT_TRUE(header.starts_with("# tick-start ")) << header;
  const auto tickStart = static_cast<uint32_t>(std::stoul(header.substr(13)));

  StartHost(DealSmallestBoard() + "quit\n", host::DisplayMode::Rgb565, tickStart, false);
  ASSERT_EQ(ProgramEntry(nullptr, nullptr, "", ShowNormal), 0);
  std::map<uint16_t, std::vector<int>> pairs;
  for (int t = 0; t < 8; ++t) pairs[Board.Tiles[t].Picture].push_back(t);
  ASSERT_EQ(pairs.size(), 4u) << "a 2 x 4 board holds four pictures";
  std::string play = DealSmallestBoard();
  for (const auto& [picture, tiles] : pairs)
    play +=
        "tap " + TileCentre(tiles[0]) + "\nwait 13\ntap " + TileCentre(tiles[1]) + "\nwait 32\n";

  live.Send(play + "wait 5\nquit\n");
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
  ASSERT_EQ(Run("wait 2\ntap 120 300\nwait 3\nshot " + Path("again.png") + "\nquit\n", 4242), 0);
  const fs::path before = Folder() / "select.png", after = Folder() / "again.png";
  ASSERT_FALSE(Region(after, 0, 0, 240, 320).empty());
  EXPECT_NE(Region(after, 90, 95, 150, 17), Region(before, 90, 95, 150, 17));
  EXPECT_EQ(Region(after, 0, 130, 240, 190), Region(before, 0, 130, 240, 190));
}

}  // namespace
