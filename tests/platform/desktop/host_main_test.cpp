// The program run as a real process: its exit codes and what it says, and
// one copy at a time.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "support/headless_host.h"

namespace {

namespace fs = std::filesystem;
using HostMainTest = HeadlessHostTest;

TEST_F(HostMainTest, ExitCodesAndWhatIsPrinted) {
  const std::string bad = (Folder() / "bad.txt").string();
  std::ofstream(bad) << "wait 1\n\nactivate 7\n";
  const std::string plain = (Folder() / "plain.txt").string();
  std::ofstream(plain) << "# tick-start 5\nwait 1\n";
  const std::string fifo = (Folder() / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::vector<std::string> Arguments;
    int Code;
    std::string Out;  // expected in standard output
    std::string Err;  // expected in standard error
  } rows[] = {
      // The options (install_test.sh checks the manual page has each) and the window's keys.
      {{"--help"}, 0, "  F11, Alt+Enter    full screen on or off\n", ""},
      {{"--scale", "9"}, 2, "", "usage:"},
      {{"--headless", "--script", bad}, 2, "", "script:3:"},
      {{"--headless", "--script", Folder().string()}, 2, "", "usage:"},  // a folder
      // A recording's own start and another one given: which board was meant?
      {{"--headless", "--tick-start", "6", "--script", plain},
       2,
       "",
       "the recording starts at tick 5 but --tick-start says 6"},
      {{"--headless", "--tick-start", "5", "--script", plain}, 0, "", ""},
      // What is wrong with a file that is no recording, by line.
      {{"--headless", "--replay", bad}, 2, "", bad + ":3: activate takes 0, 1 or 2"},
      {{"--headless", "--replay", plain}, 2, "", plain + ": not a recording"},
      // Nothing that cannot keep a recording is opened, and a pipe nobody
      // reads does not hold up the start.
      {{"--headless", "--script", plain, "--record", "/dev/full"}, 2, "", "not a plain file"},
      {{"--headless", "--script", plain, "--record", fifo}, 2, "", "not a plain file"},
  };
  for (const auto& row : rows) {
    ChildProcess child(row.Arguments, {"QUILLMOTH_RUNTIME_DIR=" + Folder().string()});
    EXPECT_EQ(child.Wait(10000), row.Code) << row.Arguments[0] << child.Err;
    EXPECT_NE(child.Out.find(row.Out), std::string::npos) << child.Out;
    EXPECT_NE(child.Err.find(row.Err), std::string::npos) << child.Err;
    EXPECT_TRUE(row.Code == 0 || child.Out.empty()) << child.Out;
  }
}

// Linux cannot report the path of a program file deeper than 4,095
// characters. Such a copy must not go looking for its pictures, sounds and
// records in the root folder: it stops and says why.
TEST_F(HostMainTest, AProgramWhosePathTheSystemCannotTellStopsAndSaysWhy) {
  const std::string part(200, 'd');
  std::ofstream(Folder() / "script.txt") << "wait 1\nquit\n";
  // Too deep for any one call that takes a path: the shell makes and enters
  // 22 folders one at a time, copies the program there and runs it.
  ChildProcess child(
      {"-c",
       "cd \"$0\" && for i in $(seq 22); do mkdir " + part + " && cd -P " + part +
           " || exit 100; done && cp \"$1\" q && exec ./q --headless --script \"$0/script.txt\"",
       Folder().string(), QUILLMOTH_BINARY},
      {"QUILLMOTH_RUNTIME_DIR=" + Folder().string()}, "/bin/sh");
  EXPECT_EQ(child.Wait(10000), 1) << child.Err;
  EXPECT_NE(child.Err.find("own folder"), std::string::npos) << child.Err;
  // rm walks the tree folder by folder.
  std::system(("rm -rf '" + (Folder() / part).string() + "'").c_str());
}

// A copy with pictures or sounds missing or damaged still runs, but says
// which, one line a folder: the first three files by name with what is
// wrong, then a count. Without it a cut backdrop draws flat colour and a
// garbage page a black screen, and nobody knows why.
TEST_F(HostMainTest, MissingAndDamagedPicturesAndSoundsAreNamed) {
  const fs::path copy = Folder() / "copy";
  CopyProgram(copy);
  fs::remove(copy / "Graph" / "b7.tga");
  fs::resize_file(copy / "Graph" / "backdrop.tga", 1000);
  std::ofstream(copy / "Graph" / "about.tga") << std::string(80'000, 'g');  // long enough
  std::ofstream(copy / "Sound" / "new.wav") << "not a sound at all, though long enough to be one";
  std::ofstream(copy / "Sound" / "click.wav");  // empty: as good as missing
  fs::remove(copy / "Sound" / "fade.wav");
  const uintmax_t startup = fs::file_size(copy / "Sound" / "startup.wav");
  fs::resize_file(copy / "Sound" / "startup.wav", startup / 2);
  std::ofstream(Folder() / "script.txt") << "wait 1\n";
  ChildProcess child({"--headless", "--script", (Folder() / "script.txt").string()},
                     {"QUILLMOTH_RUNTIME_DIR=" + Folder().string()}, copy / "quillmoth");
  EXPECT_EQ(child.Wait(10000), 0);
  // A 240 x 240 picture needs its 18-byte header, a map of 256 colours of
  // 3 bytes and a byte a pixel.
  EXPECT_EQ(child.Err, "quillmoth: 3 of 48 pictures in " + copy.string() +
                           "/Graph cannot be shown (b7.tga missing, backdrop.tga cut short (1000 "
                           "of 58386 bytes), about.tga not a 240 x 320 picture): those parts of "
                           "the screen stay black or wrong\n"
                           "quillmoth: 4 of 5 sounds in " +
                           copy.string() +
                           "/Sound cannot be played (new.wav not a sound, click.wav empty, "
                           "fade.wav missing and 1 more): those effects stay silent\n");
}

// A second window brings the first one forward and ends without playing;
// given a script or a recording, it says so and fails, since whoever asked
// for them would otherwise take the silence for success. A headless run
// has no window to hand over to and runs beside any copy. A meeting folder
// others could tamper with (open to all, a file, missing) is refused aloud,
// and copies meet in a private folder in the temporary folder instead. A
// relative folder would be another folder from every working folder, so
// copies started in two of them would never meet: it counts as none, and
// XDG_RUNTIME_DIR holds.
TEST_F(HostMainTest, ASecondWindowHandsOverAndSaysSoWhileHeadlessRunsPlayBesideIt) {
  const fs::path open = Folder() / "open", file = Folder() / "file", temp = Folder() / "temp";
  const fs::path xdg = Folder() / "xdg";
  fs::create_directories(open);
  fs::permissions(open, fs::perms(0777));
  std::ofstream(file) << "not a folder";
  fs::create_directories(temp);
  fs::create_directories(xdg);
  const std::string shot = (Folder() / "a shot.png").string();
  const std::string recording = (Folder() / "first.txt").string();
  const std::string fresh = (Folder() / "fresh.txt").string();
  for (const fs::path& meeting : {Folder(), open, file, Folder() / "missing", fs::path("run")}) {
    SCOPED_TRACE(meeting.string());
    const bool refused = meeting != Folder() && meeting.is_absolute();
    const std::vector<std::string> environment{
        "QUILLMOTH_RUNTIME_DIR=" + meeting.string(), "XDG_RUNTIME_DIR=" + xdg.string(),
        "TMPDIR=" + temp.string(), "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
    ChildProcess first({"--script", "-", "--record", recording}, environment);
    first.Send("wait 2\nshot " + shot + "\n");
    // Printed once written, two frames in: the recording has its first lines.
    ASSERT_TRUE(first.WaitForLine("shot " + shot, 5000)) << first.Err;
    EXPECT_TRUE(fs::remove(shot));
    const std::string recorded = ReadFile(recording);
    EXPECT_TRUE(recorded.starts_with("# tick-start ")) << recorded;
    EXPECT_EQ(fs::exists(xdg / "Quillmoth.sock"), !meeting.is_absolute());

    ChildProcess headless({"--headless", "--script", "-"}, environment);
    headless.Send("shot " + shot + "\n");
    EXPECT_TRUE(headless.WaitForLine("shot " + shot, 5000)) << headless.Err;
    EXPECT_EQ(headless.Wait(5000), 0) << headless.Err;
    EXPECT_TRUE(fs::remove(shot));

    // The running copy's own recording, or a new one: neither is touched.
    ChildProcess second({"--script", "-", "--record", recording}, environment);
    second.Send("shot " + shot + "\n");
    EXPECT_EQ(second.Wait(5000), 1) << second.Err;
    EXPECT_EQ(second.Out, "");
    EXPECT_FALSE(fs::exists(shot));
    EXPECT_EQ(ReadFile(recording), recorded);
    EXPECT_NE(second.Err.find("already running and keeps playing; nothing was recorded"),
              std::string::npos)
        << second.Err;
    ChildProcess another({"--record", fresh}, environment);
    EXPECT_EQ(another.Wait(5000), 1) << another.Err;
    EXPECT_FALSE(fs::exists(fresh));
    const std::string refusal = "quillmoth: not meeting other copies in " + meeting.string();
    EXPECT_EQ(second.Err.find(refusal) != std::string::npos, refused) << second.Err;

    // A killed copy leaves its socket behind; it must not block the next one.
    first.Kill();
    ChildProcess third({"--script", "-"}, environment);
    third.Send("shot " + shot + "\n");
    EXPECT_TRUE(third.WaitForLine("shot " + shot, 5000)) << third.Err;
    EXPECT_EQ(third.Wait(5000), 0) << third.Err;  // the script's end closes the window
    fs::remove(shot);
  }
  EXPECT_TRUE(fs::is_directory(temp / ("quillmoth-" + std::to_string(getuid()))));
}

// A script is read as it runs, so its length costs no memory; a line too
// long for any command is refused without being kept. (A word too long
// for any command is not echoed whole: ScriptParseTest.)
TEST_F(HostMainTest, LongScriptsCostNoMemoryAndAnOverlongLineIsRefusedInAFewWords) {
  std::ofstream(Folder() / "small.txt") << "wait 1\n";
  // Two million commands, 14 MB: held whole with each command parsed, this
  // took over 100 MB.
  std::ofstream large(Folder() / "large.txt");
  for (int i = 0; i < 2'000'000; ++i) large << "wait 0\n";
  large << "wait 1\n";
  large.close();
  std::ofstream(Folder() / "garbage.txt") << "wait 1\n" << std::string(20'000'000, 'z') << "\n";
  // Each script's run: all it printed, and the most memory it held.
  std::map<std::string, std::pair<std::string, long>> runs;
  for (const char* name : {"small.txt", "large.txt", "garbage.txt"}) {
    // Under AddressSanitizer freed memory waits in a quarantine of 256 MB
    // before it is used again: memory of the sanitizer's, not the game's.
    ChildProcess child(
        {"--headless", "--script", (Folder() / name).string()},
        {"QUILLMOTH_RUNTIME_DIR=" + Folder().string(), "ASAN_OPTIONS=quarantine_size_mb=4"});
    child.Wait(120000);
    runs[name] = {child.Out + child.Err, child.PeakKilobytes};
  }
  const long small = runs["small.txt"].second;
  EXPECT_EQ(runs["large.txt"].first, "");
  EXPECT_LT(runs["large.txt"].second, small + 40'000) << small;
  EXPECT_EQ(runs["garbage.txt"].first, "script:2: the line is longer than 8192 characters\n");
  EXPECT_LT(runs["garbage.txt"].second, small + 40'000);
}

// Each frame's lines reach the file when the frame ends: a game killed
// after its fifteenth frame (the shot is printed then) keeps all of them.
TEST_F(HostMainTest, AKilledGameKeepsItsRecordingUpToItsLastFrame) {
  const std::string recording = (Folder() / "killed.txt").string();
  const std::string shot = (Folder() / "shot.png").string();
  ChildProcess game({"--headless", "--script", "-", "--record", recording, "--tick-start", "3"},
                    {"QUILLMOTH_RUNTIME_DIR=" + Folder().string()});
  game.Send("wait 10\ntap 120 300\nwait 5\nshot " + shot + "\n");
  ASSERT_TRUE(game.WaitForLine("shot " + shot, 10000)) << game.Err;
  game.Kill();
  const std::string kept = ReadFile(recording);
  EXPECT_EQ(kept.substr(0, kept.find("# records")), "# tick-start 3\n");
  EXPECT_EQ(kept.substr(kept.find("\n", kept.find("# records")) + 1),
            "wait 10\ndown 120 300\nup 120 300\nwait 5\n");
}

// A recording that cannot be written (its folder missing, the disk full) is
// said once; the game plays to the end of its script and the run fails.
TEST_F(HostMainTest, ARecordingThatCannotBeWrittenIsSaidOnceAndTheRunFails) {
  std::string script;
  for (int i = 0; i < 60; ++i) script += "tap 1 1\nwait 1\n";
  std::ofstream(Folder() / "script.txt") << script;
  const std::string scriptPath = (Folder() / "script.txt").string();
  const std::vector<std::string> environment{"QUILLMOTH_RUNTIME_DIR=" + Folder().string(),
                                             "QUILLMOTH_FRAME_STATS=1"};
  // A file over 512 bytes is refused as on a full disk, from the first
  // write that reaches past it.
  ChildProcess full(
      {"-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\"", QUILLMOTH_BINARY, "--headless",
       "--script", scriptPath, "--record", (Folder() / "full.txt").string()},
      environment, "/bin/sh");
  ChildProcess missing({"--headless", "--script", scriptPath, "--record",
                        (Folder() / "missing" / "game.txt").string()},
                       environment);
  for (ChildProcess* run : {&full, &missing}) {
    EXPECT_EQ(run->Wait(20000), 1) << run->Err;
    const size_t said = run->Err.find("cannot write the recording");
    EXPECT_NE(said, std::string::npos) << run->Err;
    EXPECT_EQ(run->Err.find("cannot write the recording", said + 1), std::string::npos) << run->Err;
    EXPECT_NE(run->Err.find("frame stats: 61 frames"), std::string::npos) << run->Err;
  }
  EXPECT_FALSE(fs::exists(Folder() / "missing"));
}

}  // namespace
