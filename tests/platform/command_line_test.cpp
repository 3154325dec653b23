#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace {

using host::CommandLineAction;
using host::ParseCommandLine;

TEST(CommandLineTest, ReadsEveryOption) {
  const auto line = ParseCommandLine({"--scale", "4", "--display=gray2", "--headless", "--script",
                                      "-", "--tick-start", "4294967295"});
  ASSERT_EQ(line.Action, CommandLineAction::Run) << line.Error;
  EXPECT_EQ(line.Settings.Scale, 4);
  EXPECT_EQ(line.Settings.Display, host::DisplayMode::Gray2);
  EXPECT_TRUE(line.Settings.Headless);
  EXPECT_EQ(line.Settings.ScriptPath, "-");
  EXPECT_EQ(line.Settings.TickStart, 4294967295u);

  const auto none = ParseCommandLine({});
  EXPECT_EQ(none.Action, CommandLineAction::Run);
  EXPECT_FALSE(none.Settings.Headless);
  EXPECT_EQ(none.Settings.Scale, 0);
  EXPECT_EQ(none.Settings.Display, host::DisplayMode::Rgb565);

  const char* modes[] = {"rgb565", "rgb565-wide", "rgb565-flipped", "rgb565-sideways",
                         "gray4",  "gray2",       "rgb444"};
  for (const char* mode : modes) {
    EXPECT_EQ(ParseCommandLine({"--display", mode}).Action, CommandLineAction::Run) << mode;
  }
}

TEST(CommandLineTest, HelpAndVersionStopTheRun) {
  EXPECT_EQ(ParseCommandLine({"--help"}).Action, CommandLineAction::Help);
  EXPECT_EQ(ParseCommandLine({"--headless", "--version"}).Action, CommandLineAction::Version);
  EXPECT_EQ(host::VersionText().rfind("quillmoth ", 0), 0u);
  EXPECT_NE(host::UsageText().find("--tick-start"), std::string::npos);
}

TEST(CommandLineTest, RejectsBadOptionsAndValues) {
  const std::vector<std::vector<std::string>> bad = {{"--scale", "0"},
                                                     {"--scale", "9"},
                                                     {"--scale", "2x"},
                                                     {"--scale", "-1"},
                                                     {"--scale"},
                                                     {"--display", "rgb888"},
                                                     {"--display", "GRAY4"},
                                                     {"--tick-start", "4294967296"},
                                                     {"--tick-start", "-5"},
                                                     {"--tick-start", "+5"},
                                                     {"--tick-start", ""},
                                                     {"--script", ""},
                                                     {"--frobnicate"},
                                                     {"game.exe"},
                                                     {"--headless=1"}};
  for (const auto& arguments : bad) {
    const auto line = ParseCommandLine(arguments);
    EXPECT_EQ(line.Action, CommandLineAction::Error) << arguments[0];
    EXPECT_FALSE(line.Error.empty());
    EXPECT_EQ(line.Error.find('\n'), std::string::npos);
  }
}

}  // namespace
