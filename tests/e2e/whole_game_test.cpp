// Plays the real program from a script, the way a person would: title,
// board selection, a 2 x 4 board cleared pair by pair, recorded and replayed.
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
#include "support/headless_host.h"

namespace fs = std::filesystem;

namespace {

// The centre of tile t of the 2 x 4 board, which sits three cells in and two
// down; cells are 30 pixels.
std::string TileCentre(int t) {
  return std::to_string(105 + (t % 2) * 30) + " " + std::to_string(75 + (t / 2) * 30);
}

// The board selection from the title, the smallest size, and a new board.
const std::string DealSmallestBoard =
    "wait 2\ntap 120 300\nwait 3\ntap 140 10\nwait 2\ntap 30 60\nwait 3\n";

// The machine's uptime in milliseconds, as a 32-bit tick counter has it.
uint32_t Uptime() {
  double seconds = 0;
  std::ifstream("/proc/uptime") >> seconds;
  return static_cast<uint32_t>(static_cast<uint64_t>(seconds * 1000));
}

class WholeGame : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    fs::create_directories(Folder() / "run");
    CopyProgram(Folder());
  }

  std::string RecordsFile() { return ReadFile(Folder() / "quill.dat"); }
  std::string Path(const std::string& name) { return (Folder() / name).string(); }
};

// A windowed game (on the dummy video driver) recorded with --record while
// the process is stopped twice for more than a second in the middle of the
// game, as a busy machine or a dragged window would hold it up, then
// replayed: headless beside the records file it started from, to the same
// last frame and the same records bytes, clock included; and with
// --replay, which reports the cleared board and touches no records file.
// The recording's first line names the tick the game seeded its deal with;
// the test reads it while the windowed game waits, deals the same board in
// its own headless run to learn where the pairs lie, and only then plays
// it. (A restart's records table: the archive's run in install_test.sh
// reads a records file beside the program into it; the golden whole game
// pins the bytes a new record writes and the table showing it.)
TEST_F(WholeGame, AWindowedGameStoppedTwiceReplaysExactlyAndTheReplayLeavesRecordsAlone) {
  const std::string recording = Path("recording.txt");
  // A 2 x 4 record of 500 s and 20 moves to beat; the rest never set.
  const std::string started =
      RecordsBytes({500, 999, 999, 999, 999, 999, 20, 999, 999, 999, 999, 999});
  std::ofstream(Folder() / "quill.dat", std::ios::binary) << started;
  // Its own meeting folder: the headless runs beside it are other copies.
  fs::create_directories(Folder() / "live");
  const uint32_t before = Uptime();
  ChildProcess live(
      {"--script", "-", "--record", recording},
      {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy", "QUILLMOTH_RUNTIME_DIR=" + Path("live")},
      Path("quillmoth"));
  // The first frame's shot is printed once its lines, header first, are in the file.
  live.Send("wait 1\nshot " + Path("start.png") + "\n");
  ASSERT_TRUE(live.WaitForLine("shot " + Path("start.png"), 60000)) << live.Err;
  std::string header;
  std::getline(std::ifstream(recording), header);
  ASSERT_TRUE(header.starts_with("# tick-start ")) << header;
  const auto tickStart = static_cast<uint32_t>(std::stoul(header.substr(13)));
  // A window's clock counts from the machine's start, as the handheld's did,
  // so launches deal apart (it used to start near 0, and one launch in four
  // dealt another's first board). /proc/uptime counts in hundredths; both
  // wrap with the 32-bit counter.
  const uint32_t after = Uptime();
  EXPECT_LE(tickStart - (before - 20), after - before + 40) << before << " " << tickStart;

  StartHost(DealSmallestBoard + "quit\n", host::DisplayMode::Rgb565, tickStart, false);
  ASSERT_EQ(ProgramEntry(nullptr, nullptr, "", ShowNormal), 0);
  std::map<uint16_t, std::vector<int>> pairs;
  for (int t = 0; t < 8; ++t) pairs[Board.Tiles[t].Picture].push_back(t);
  ASSERT_EQ(pairs.size(), 4u) << "a 2 x 4 board holds four pictures";
  // After each of the first two pairs a shot tells the test where the game
  // is; at least two more pairs (over 90 frames of 30 ms or more) follow,
  // so each stop lands in the middle of the game.
  std::string play = DealSmallestBoard;
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
  std::string script = ReadFile(recording);
  const size_t quit = script.find("\nquit\n");
  ASSERT_NE(quit, std::string::npos) << script;
  script.insert(quit + 1, "shot " + Path("replayed.png") + "\n");
  std::ofstream(Folder() / "replay.txt") << script;
  std::ofstream(Folder() / "quill.dat", std::ios::binary) << started;
  ChildProcess replayed({"--headless", "--script", Path("replay.txt")},
                        {"QUILLMOTH_RUNTIME_DIR=" + Path("run")}, Path("quillmoth"));
  ASSERT_EQ(replayed.Wait(60000), 0) << replayed.Err;
  EXPECT_EQ(RecordsFile(), lived);
  EXPECT_EQ(ReadShot(Folder() / "replayed.png").Pixels, ReadShot(Folder() / "live.png").Pixels);

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
  EXPECT_EQ(ReadFile(Folder() / "data" / "quillmoth" / "quill.dat"), mine);
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
}

}  // namespace
