// What drives a run: the command line and the scripts it names, and the
// recording of a run, made in process: a headless run's script comes back
// as its recording, frame for frame, with the header the game started from.
#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/entry.h"
#include "platform/host.h"
#include "platform/script.h"
#include "platform/watch/game_watch.h"
#include "support/headless_host.h"

namespace {

using host::CommandLineAction;
using host::ParseCommandLine;
using host::detail::ParseScript;
using host::detail::ScriptCommand;

TEST(CommandLineTest, ReadsValuesAtTheirLimits) {
  const auto line =
      ParseCommandLine({"--scale", "8", "--display=gray2", "--headless", "--script", "-",
                        "--tick-start=4294967295", "--shot-scale=8", "--mute", "--record", "r"});
  ASSERT_EQ(line.Action, CommandLineAction::Run) << line.Error;
  const auto& s = line.Settings;
  EXPECT_EQ(std::tuple(s.Scale, s.Display, s.Headless, s.ScriptPath, s.TickStart, s.ShotScale,
                       s.Mute, s.RecordPath),
            std::tuple(8, host::DisplayMode::Gray2, true, "-", 4294967295u, 8, true, "r"));
  const auto plain = ParseCommandLine({}).Settings;  // the defaults
  EXPECT_EQ(std::tuple(plain.Scale, plain.ShotScale, plain.Mute, plain.Headless),
            std::tuple(0, 0, false, false));
  const auto low = ParseCommandLine({"--scale=1", "--shot-scale", "1", "--tick-start", "0"});
  EXPECT_EQ(std::tuple(low.Settings.Scale, low.Settings.ShotScale, low.Action),
            std::tuple(1, 1, CommandLineAction::Run));
  const auto replay = ParseCommandLine({"--headless", "--replay", "game.txt"});
  EXPECT_EQ(std::tuple(replay.Action, replay.Settings.ReplayPath, replay.Settings.TickStart),
            std::tuple(CommandLineAction::Run, "game.txt", std::nullopt));
  EXPECT_EQ(ParseCommandLine({"--headless", "--version"}).Action, CommandLineAction::Version);
  EXPECT_EQ(ParseCommandLine({"-v"}).Action, CommandLineAction::Version);
  EXPECT_EQ(ParseCommandLine({"-h"}).Action, CommandLineAction::Help);
}

TEST(CommandLineTest, RejectsBadOptionsAndValuesInOneLine) {
  // The last three: nothing but a script could ever end a headless run, and
  // a replay neither takes a script nor makes a recording.
  for (const char* words : {"--scale 0", "--scale 9", "--scale 2x", "--scale", "--display GRAY4",
                            "--tick-start 4294967296", "--tick-start +5", "--script _", "game.exe",
                            "--mute=1", "--shot-scale 0", "--shot-scale=9", "--replay=",
                            "--headless", "--replay r --script s", "--replay r --record s"}) {
    // "_" stands for an empty word.
    std::vector<std::string> arguments;
    std::istringstream in(words);
    for (std::string word; in >> word;) arguments.push_back(word == "_" ? "" : word);
    const auto line = ParseCommandLine(arguments);
    EXPECT_EQ(line.Action, CommandLineAction::Error) << words;
    EXPECT_FALSE(line.Error.empty());
    EXPECT_EQ(line.Error.find('\n'), std::string::npos);
  }
}

TEST(ScriptParseTest, MalformedLinesAreNamedByNumber) {
  // Lines that parse, and lines that do not. A frame lasts at least the
  // game's 30 ms pause.
  const std::vector<const char*> good = {"tap 0 319",  "down 239 0\r", "  key 13",
                                         "activate 2", "wait 0",       "quit",
                                         "up 65535 0", "wait 3 30",    "wait 0 4294967295"};
  const std::vector<const char*> bad = {
      "move 65536 0", "tap 1",           "tap 1 2 3",  "tap -1 5",  "tap x 2",
      "wait",         "wait 4294967296", "activate 3", "shot",      "quit now",
      "TAP 1 2",      "wait 3 29",       "wait 1 2 3", "wait 2 -40"};
  // Before the first command a damaged header line is an error rather than a
  // comment: replaying it would deal another board or show other records.
  const std::vector<const char*> badHeaders = {"# tick-start",
                                               "# tick-start 4294967296",
                                               "# tick-start 1 2",
                                               "# records 0 0 0 0 0 0 0 0 0 0 0",
                                               "# records -1 0 0 0 0 0 0 0 0 0 0 0",
                                               "# records 0 0 0 0 0 0 0 0 0 0 0 -2147483649",
                                               "# records 0 0 0 0 0 0 0 0 0 0 0 2147483648"};
  std::vector<ScriptCommand> commands;
  std::string error;
  for (const auto& [lines, valid] :
       {std::pair(good, true), std::pair(bad, false), std::pair(badHeaders, false)}) {
    for (const char* line : lines) {
      const std::string text = std::string("# fine\n") + line + "\nquit\n";
      EXPECT_EQ(ParseScript(text, &commands, &error), valid) << line;
      EXPECT_TRUE(valid || error.starts_with("script:2: ")) << error;
    }
  }
  // Carriage returns are blanks wherever they stand, leading zeros never make
  // a number too long, and a shot's path is the rest of its line.
  commands.clear();
  ASSERT_TRUE(ParseScript("wait\r7\ntap 1\r 2\nwait 000000000000000000009\nshot /a b.png\n",
                          &commands, &error))
      << error;
  EXPECT_EQ(std::tuple(commands[0].First, commands[1].First, commands[1].Second, commands[2].First,
                       commands[3].Path),
            std::tuple(7u, 1u, 2u, 9u, "/a b.png"));
  EXPECT_FALSE(ParseScript("wait 000000000000000000004294967296\n", &commands, &error));
  // A line holds at most 8192 characters, its end aside.
  const std::string longest = "wait 1" + std::string(8186, ' ');
  EXPECT_TRUE(ParseScript(longest + "\n", &commands, &error)) << error;
  EXPECT_FALSE(ParseScript(longest + " \n", &commands, &error));
  // A long word is named by its start only.
  EXPECT_FALSE(ParseScript(std::string(100, 'q'), &commands, &error));
  EXPECT_EQ(error, "script:1: unknown command '" + std::string(32, 'q') + "...'");
}

// A recording's header: the tick start and the records file's twelve
// values, times unsigned and move counts signed, before any command; after
// it, header lines are comments.
TEST(ScriptParseTest, ARecordingsHeaderGivesItsStart) {
  using host::detail::ScriptHeader;
  std::vector<ScriptCommand> commands;
  std::string error;
  ScriptHeader header;
  ASSERT_TRUE(
      ParseScript("# made by hand\n#tick-start 4294967295\n\n"
                  "# records 4294967295 0 1 2 3 4 -2147483648 2147483647 -1 0 5 999\n"
                  "wait 2 31\n# tick-start 9\n# records 1\n# tick-start x\n",
                  &commands, &error, &header))
      << error;
  EXPECT_EQ(header.TickStart, 4294967295u);
  const std::array<uint32_t, 12> records{4294967295u, 0,           1,           2, 3, 4,
                                         0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0, 5, 999};
  EXPECT_EQ(header.Records, records);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(std::tuple(commands[0].First, commands[0].Second), std::tuple(2u, 31u));

  ASSERT_TRUE(ParseScript("wait 1\n", &commands, &error, &header));
  EXPECT_EQ(std::tuple(header.TickStart, header.Records, commands[0].Second),
            std::tuple(std::nullopt, std::nullopt, 0u));
}

using Recorder = HeadlessHostTest;

// Frames given a length keep it, frames of 30 ms are plain waits, runs of
// the same length are one line, and the clock's wrap past 2^32 changes
// nothing. The records line gives the twelve values the game loaded.
TEST_F(Recorder, AHeadlessRunComesBackAsItsOwnScript) {
  std::ofstream(Folder() / "quill.dat", std::ios::binary)
      << RecordsBytes({7, 999, 4294967, 999, 999, 999, 4, 999, 32767, 999, 999, 999});

  host::Options options;
  options.Headless = true;
  options.TickStart = 4294967200u;
  options.ModulePath = (Folder() / "quillmoth").string();
  options.RuntimeDir = Folder().string();
  options.RecordPath = (Folder() / "recording.txt").string();
  const std::string played =
      "wait 2 45\ndown 120 300\nup 120 300\nwait 3\nwait 4 31\nactivate 0\nwait 1 1000\nwait 2\n";
  options.ScriptText = played + "quit\n";
  std::string error;
  ASSERT_TRUE(host::Start(options, &error)) << error;
  host::WatchGame();
  EXPECT_EQ(ProgramEntry(nullptr, nullptr, "", ShowNormal), 0);
  host::Stop();

  // The window's close reaches the game in the next frame, which is the
  // last one and plain.
  EXPECT_EQ(ReadFile(Folder() / "recording.txt"),
            "# tick-start 4294967200\n"
            "# records 7 999 4294967 999 999 999 4 999 32767 999 999 999\n" +
                played + "quit\nwait 1\n");
}

}  // namespace
