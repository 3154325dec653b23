// Plays the real program from a script, the way a person would: title,
// board selection, a 2 x 4 board cleared pair by pair, and a restart whose
// records table remembers the record.
#include <unistd.h>

#include <chrono>
#include <csignal>
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

  static std::string Read(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }
  std::string RecordsFile() { return Read(Folder() / "quill.dat"); }
  std::string Path(const std::string& name) { return (Folder() / name).string(); }

  // The board selection from the title, the smallest size, and a new board.
  std::string DealSmallestBoard() {
    return "wait 2\ntap 120 300\nwait 3\nshot " + Path("select.png") +
           "\ntap 140 10\nwait 2\ntap 30 60\nwait 3\n";
  }
};

// The records file's twelve values, four bytes each, least significant
// first: six best times, then six fewest moves.
std::string RecordsBytes(const std::vector<uint32_t>& values) {
  std::string bytes;
  for (uint32_t value : values)
    for (int b = 0; b < 4; ++b) bytes += static_cast<char>(value >> (8 * b));
  return bytes;
}

// A windowed game (on the dummy video driver) recorded with --record while
// the process is stopped twice for more than a second in the middle of the
// game, as a busy machine or a dragged window would hold it up, then
// replayed: headless beside the records file it started from, to the same
// last frame and the same records bytes, clock included; and with
// --replay, which reports the cleared board and touches no records file.
// The recording's first line names the tick the game seeded its deal with;
// the test reads it while the windowed game waits, deals the same board in
// its own headless run to learn where the pairs lie, and only then plays
// it. A restart reads the new record back into the records table.
TEST_F(WholeGame, AWindowedGameStoppedTwiceReplaysExactlyAndTheReplayLeavesRecordsAlone) {
  const std::string recording = Path("recording.txt");
  // A 2 x 4 record of 500 s and 20 moves to beat; the rest never set.
  const std::string started =
      RecordsBytes({500, 999, 999, 999, 999, 999, 20, 999, 999, 999, 999, 999});
  std::ofstream(Folder() / "quill.dat", std::ios::binary) << started;
  // Its own meeting folder: the headless runs beside it are other copies.
  fs::create_directories(Folder() / "live");
  ChildProcess live(
      {"--script", "-", "--record", recording},
      {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", "QUILLMOTH_RUNTIME_DIR=" + Path("live")},
      Path("quillmoth"));
  live.Send("wait 1\n");
  std::string header;
  for (int tries = 0; tries < 3000 && !header.starts_with("# tick-start "); ++tries) {
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
  // After each of the first two pairs a shot tells the test where the game
  // is; at least two more pairs (over 90 frames of 30 ms or more) follow,
  // so each stop lands in the middle of the game.
  std::string play = DealSmallestBoard();
  int found = 0;
  for (const auto& [picture, tiles] : pairs) {
    play +=
        "tap " + TileCentre(tiles[0]) + "\nwait 13\ntap " + TileCentre(tiles[1]) + "\nwait 32\n";
    if (++found <= 2) play += "shot " + Path("pair" + std::to_string(found) + ".png") + "\n";
  }
  live.Send(play + "wait 5\nshot " + Path("live.png") + "\nquit\n");
  for (const char* pair : {"pair1.png", "pair2.png"}) {
    ASSERT_TRUE(live.WaitForLine("shot " + Path(pair), 60000)) << live.Err;
    live.Stop(1200);
  }
  ASSERT_EQ(live.Wait(60000), 0) << live.Err;
  const std::string lived = RecordsFile();
  // The 184 frames from the deal to the last pair, of 30 ms or more, and
  // the stops make more than 7 seconds; 4 moves, for size 0; the other
  // sizes keep 999.
  ASSERT_EQ(lived.size(), 48u);
  const uint32_t seconds = static_cast<uint8_t>(lived[0]) | static_cast<uint8_t>(lived[1]) << 8;
  EXPECT_TRUE(seconds >= 7 && seconds < 500) << seconds;
  EXPECT_EQ(lived, RecordsBytes({seconds, 999, 999, 999, 999, 999, 4, 999, 999, 999, 999, 999}));

  // Headless, from the records the live game started from, with no
  // --tick-start: the same frames and the same file. The shot goes where
  // the live one was taken, just before the quit.
  std::string script = Read(recording);
  const size_t quit = script.find("\nquit\n");
  ASSERT_NE(quit, std::string::npos) << script;
  script.insert(quit + 1, "shot " + Path("replayed.png") + "\n");
  std::ofstream(Folder() / "replay.txt") << script;
  std::ofstream(Folder() / "quill.dat", std::ios::binary) << started;
  ChildProcess replayed({"--headless", "--script", Path("replay.txt")},
                        {"QUILLMOTH_RUNTIME_DIR=" + Path("run")}, Path("quillmoth"));
  ASSERT_EQ(replayed.Wait(60000), 0) << replayed.Err;
  EXPECT_EQ(RecordsFile(), lived);
  EXPECT_EQ(Region(Folder() / "replayed.png", 0, 0, 240, 320),
            Region(Folder() / "live.png", 0, 0, 240, 320));

  // --replay from the records the recording carries: beside records that
  // the game's result only equals (no record then), and with another file
  // in the player's data folder; neither may change.
  const std::string mine = RecordsBytes({1, 999, 999, 999, 999, 999, 2, 999, 999, 999, 999, 999});
  fs::create_directories(Folder() / "data" / "quillmoth");
  std::ofstream(Folder() / "data" / "quillmoth" / "quill.dat", std::ios::binary) << mine;
  ChildProcess watched({"--replay", recording, "--headless"},
                       {"QUILLMOTH_RUNTIME_DIR=" + Path("run"), "XDG_DATA_HOME=" + Path("data"),
                        "TMPDIR=" + Path("run")},
                       Path("quillmoth"));
  ASSERT_EQ(watched.Wait(60000), 0) << watched.Err;
  EXPECT_EQ(watched.Out, "cleared 2 x 4: " + std::to_string(seconds) + " s, 4 moves, new record\n");
  EXPECT_EQ(RecordsFile(), lived);
  EXPECT_EQ(Read(Folder() / "data" / "quillmoth" / "quill.dat"), mine);
  EXPECT_TRUE(fs::is_empty(Folder() / "run")) << "the replay's own folder is removed";

  // In a window, at the pace it was played: the clock counted `seconds`
  // from the deal to the last pair, so the report cannot come sooner. The
  // last frame then stays until the window is closed.
  const auto began = std::chrono::steady_clock::now();
  ChildProcess window({"--replay", recording},
                      {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy",
                       "QUILLMOTH_RUNTIME_DIR=" + Path("run"), "TMPDIR=" + Path("run")},
                      Path("quillmoth"));
  ASSERT_TRUE(window.WaitForLine(watched.Out.substr(0, watched.Out.size() - 1), 120000));
  EXPECT_GE(std::chrono::steady_clock::now() - began, std::chrono::seconds(seconds));
  usleep(300'000);
  EXPECT_TRUE(window.Running()) << "the last frame is held until the window closes";
  window.Signal(SIGTERM);  // SDL's close request, as the window manager's would be
  EXPECT_EQ(window.Wait(10000), 0) << window.Err;
  EXPECT_EQ(RecordsFile(), lived);

  // The table shows the new row 0 and the old rows 1 to 5 as they were
  // before any record (the board selection shot while learning).
  std::ofstream(Folder() / "again.txt")
      << "wait 2\ntap 120 300\nwait 3\nshot " + Path("again.png") + "\n";
  ChildProcess again({"--headless", "--script", Path("again.txt")},
                     {"QUILLMOTH_RUNTIME_DIR=" + Path("run")}, Path("quillmoth"));
  ASSERT_EQ(again.Wait(60000), 0) << again.Err;
  const fs::path before = Folder() / "select.png", after = Folder() / "again.png";
  ASSERT_FALSE(Region(after, 0, 0, 240, 320).empty());
  EXPECT_NE(Region(after, 90, 95, 150, 17), Region(before, 90, 95, 150, 17));
  EXPECT_EQ(Region(after, 0, 130, 240, 190), Region(before, 0, 130, 240, 190));
}

}  // namespace
