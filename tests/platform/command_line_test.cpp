#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using host::CommandLineAction;
using host::ParseCommandLine;

TEST(CommandLineTest, ReadsValuesAtTheirLimits) {
  const auto line = ParseCommandLine({"--scale", "8", "--display=gray2", "--headless", "--script",
                                      "-", "--tick-start=4294967295", "--shot-scale=8"});
  ASSERT_EQ(line.Action, CommandLineAction::Run) << line.Error;
  EXPECT_EQ(line.Settings.Scale, 8);
  EXPECT_EQ(line.Settings.Display, host::DisplayMode::Gray2);
  EXPECT_TRUE(line.Settings.Headless);
  EXPECT_EQ(line.Settings.ScriptPath, "-");
  EXPECT_EQ(line.Settings.TickStart, 4294967295u);
  EXPECT_EQ(line.Settings.ShotScale, 8);
  EXPECT_EQ(ParseCommandLine({"--shot-scale", "1"}).Settings.ShotScale, 1);
  EXPECT_EQ(ParseCommandLine({}).Settings.ShotScale, 1);
  EXPECT_EQ(ParseCommandLine({"--headless", "--version"}).Action, CommandLineAction::Version);
  EXPECT_EQ(ParseCommandLine({"-v"}).Action, CommandLineAction::Version);
  EXPECT_EQ(ParseCommandLine({"-h"}).Action, CommandLineAction::Help);
  EXPECT_TRUE(ParseCommandLine({"--mute"}).Settings.Mute);
  EXPECT_FALSE(line.Settings.Mute);
}

TEST(CommandLineTest, RejectsBadOptionsAndValuesInOneLine) {
  const std::vector<std::vector<std::string>> bad = {
      {"--scale", "0"},       {"--scale", "9"},
      {"--scale", "2x"},      {"--scale"},
      {"--display", "GRAY4"}, {"--tick-start", "4294967296"},
      {"--tick-start", "-5"}, {"--tick-start", "+5"},
      {"--script", ""},       {"game.exe"},
      {"--headless=1"},       {"--frobnicate"},
      {"--mute=1"},           {"-x"},
      {"--shot-scale", "0"},  {"--shot-scale=9"},
      {"--shot-scale"}};
  for (const auto& arguments : bad) {
    const auto line = ParseCommandLine(arguments);
    EXPECT_EQ(line.Action, CommandLineAction::Error) << arguments[0];
    EXPECT_FALSE(line.Error.empty());
    EXPECT_EQ(line.Error.find('\n'), std::string::npos);
  }
}

}  // namespace
