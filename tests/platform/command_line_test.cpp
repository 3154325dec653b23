// What drives a run: the command line and the scripts it names.
#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/script.h"

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
            std::tuple(0, 1, false, false));
  const auto low = ParseCommandLine({"--scale=1", "--shot-scale", "1", "--tick-start", "0"});
  EXPECT_EQ(std::tuple(low.Settings.Scale, low.Settings.ShotScale, low.Action),
            std::tuple(1, 1, CommandLineAction::Run));
  EXPECT_EQ(ParseCommandLine({"--headless", "--version"}).Action, CommandLineAction::Version);
  EXPECT_EQ(ParseCommandLine({"-v"}).Action, CommandLineAction::Version);
  EXPECT_EQ(ParseCommandLine({"-h"}).Action, CommandLineAction::Help);
}

TEST(CommandLineTest, RejectsBadOptionsAndValuesInOneLine) {
  const std::vector<std::vector<std::string>> bad = {
      {"--scale", "0"},       {"--scale", "9"},
      {"--scale", "2x"},      {"--scale"},
      {"--display", "GRAY4"}, {"--tick-start", "4294967296"},
      {"--tick-start", "+5"}, {"--script", ""},
      {"game.exe"},           {"--mute=1"},
      {"--shot-scale", "0"},  {"--shot-scale=9"},
      {"--headless"},  // nothing but a script could ever end the run
  };
  for (const auto& arguments : bad) {
    const auto line = ParseCommandLine(arguments);
    EXPECT_EQ(line.Action, CommandLineAction::Error) << arguments[0];
    EXPECT_FALSE(line.Error.empty());
    EXPECT_EQ(line.Error.find('\n'), std::string::npos);
  }
}

TEST(ScriptParseTest, MalformedLinesAreNamedByNumber) {
  const std::pair<const char*, bool> rows[] = {
      {"tap 0 319", true},  {"down 239 0\r", true},     {"  key 13", true},
      {"activate 2", true}, {"wait 0", true},           {"quit", true},
      {"up 65535 0", true}, {"move 65536 0", false},    {"tap 1", false},
      {"tap 1 2 3", false}, {"tap -1 5", false},        {"tap x 2", false},
      {"wait", false},      {"wait 4294967296", false}, {"activate 3", false},
      {"shot", false},      {"quit now", false},        {"TAP 1 2", false}};
  std::vector<ScriptCommand> commands;
  std::string error;
  for (const auto& [line, valid] : rows) {
    const std::string text = std::string("wait 1\n# fine\n") + line + "\nquit\n";
    EXPECT_EQ(ParseScript(text, &commands, &error), valid) << line;
    EXPECT_TRUE(valid || error.starts_with("script:3: ")) << error;
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
}

}  // namespace
