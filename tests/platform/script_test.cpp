#include "platform/script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/headless_run.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace {

using host::detail::ParseScript;
using host::detail::ScriptCommand;
using host::detail::ScriptVerb;

TEST(ScriptParseTest, ReadsEveryCommand) {
  std::vector<ScriptCommand> commands;
  std::string error;
  ASSERT_TRUE(
      ParseScript("# start\n\ntap 0 319\r\n  down 239 0\nmove 5 6\nup 7 8\nkey 13\n"
                  "activate 2\nwait 0\nwait 25\nshot out dir/a b.png\nquit\n",
                  &commands, &error))
      << error;
  ASSERT_EQ(commands.size(), 10u);
  EXPECT_EQ(commands[0].Verb, ScriptVerb::Tap);
  EXPECT_EQ(commands[0].First, 0u);
  EXPECT_EQ(commands[0].Second, 319u);
  EXPECT_EQ(commands[0].Line, 3);
  EXPECT_EQ(commands[1].Verb, ScriptVerb::Down);
  EXPECT_EQ(commands[1].First, 239u);
  EXPECT_EQ(commands[4].Verb, ScriptVerb::Key);
  EXPECT_EQ(commands[4].First, 13u);
  EXPECT_EQ(commands[5].First, 2u);
  EXPECT_EQ(commands[7].Verb, ScriptVerb::Wait);
  EXPECT_EQ(commands[7].First, 25u);
  EXPECT_EQ(commands[8].Path, "out dir/a b.png");
  EXPECT_EQ(commands[9].Verb, ScriptVerb::Quit);
}

TEST(ScriptParseTest, MalformedLinesAreNamedByNumber) {
  const char* bad[] = {
      "tap 240 0", "tap 0 320", "tap 1",    "tap 1 2 3", "tap -1 5",        "tap 1.5 2",
      "tap x 2",   "wait",      "wait -1",  "wait 1e3",  "activate 3",      "key",
      "shot",      "quit now",  "jump 1 2", "TAP 1 2",   "wait 99999999999"};
  for (const char* line : bad) {
    std::vector<ScriptCommand> commands;
    std::string error;
    const std::string text = std::string("wait 1\n# fine\n") + line + "\nquit\n";
    EXPECT_FALSE(ParseScript(text, &commands, &error)) << line;
    EXPECT_EQ(error.rfind("script:3: ", 0), 0u) << error;
  }
}

class ScriptRunTest : public HeadlessRun {
 protected:
  static intptr_t Procedure(WindowHandle, uint32_t message, uintptr_t first, intptr_t second) {
    Seen().push_back({nullptr, message, first, second});
    return 0;
  }
  static std::vector<PlatformMessage>& Seen() {
    static std::vector<PlatformMessage> seen;
    return seen;
  }
  void RunScript(const std::string& text) {
    host::Options options;
    options.ScriptText = text;
    Restart(options);
    Seen().clear();
    WindowClass windowClass{};
    windowClass.Procedure = Procedure;
    windowClass.ClassName = "Quillmoth";
    ASSERT_TRUE(DeclareWindowClass(windowClass));
    ASSERT_NE(CreatePlatformWindow(0, "Quillmoth", "Quillmoth", 0, 0, 0, 240, 320, nullptr, nullptr,
                                   nullptr, nullptr),
              nullptr);
  }
  // What the game's frame would take out of the queue, without the create.
  std::vector<uint32_t> Drain() {
    Seen().clear();
    PlatformMessage message;
    while (PeekPlatformMessage() && TakePlatformMessage(&message)) DispatchPlatformMessage(message);
    std::vector<uint32_t> messages;
    for (const auto& m : Seen()) messages.push_back(m.Message);
    return messages;
  }
};

TEST_F(ScriptRunTest, CommandsRunAtCreationThenAfterEachWait) {
  RunScript("tap 12 34\nwait 2\nactivate 0\nwait 0\nkey 5\nwait 1\nquit\ntap 1 1\n");
  // Queued at creation, before any frame.
  EXPECT_EQ(Drain(), (std::vector<uint32_t>{MessageStylusDown, MessageStylusUp}));
  HostFrameEnded();
  EXPECT_TRUE(Drain().empty());
  HostFrameEnded();
  EXPECT_EQ(Drain(), (std::vector<uint32_t>{MessageActivate, MessageKeyDown, MessageKeyUp}));
  HostFrameEnded();
  EXPECT_EQ(Drain(), (std::vector<uint32_t>{MessageDestroy}));
  HostFrameEnded();
  EXPECT_TRUE(Drain().empty());  // nothing after quit
  EXPECT_EQ(host::FramesRun(), 4u);
  EXPECT_EQ(host::ExitCode(), 0);
}

TEST_F(ScriptRunTest, EndOfScriptClosesTheWindowAndShotsArePictures) {
  const auto path = std::filesystem::path(RuntimeDir) / "first.png";
  testing::internal::CaptureStdout();
  RunScript("shot " + path.string() + "\n");
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed, "shot " + path.string() + "\n");
  ASSERT_TRUE(std::filesystem::exists(path));
  std::ifstream file(path, std::ios::binary);
  char signature[8] = {};
  file.read(signature, 8);
  EXPECT_EQ(std::string(signature + 1, 3), "PNG");
  EXPECT_EQ(Drain(), (std::vector<uint32_t>{MessageDestroy}));
}

TEST_F(ScriptRunTest, MalformedScriptFileStopsTheStart) {
  host::Stop();
  const auto path = std::filesystem::path(RuntimeDir) / "bad.txt";
  std::ofstream(path) << "wait 1\ntap 300 1\n";
  host::Options options;
  options.Headless = true;
  options.ScriptPath = path.string();
  std::string error;
  EXPECT_FALSE(host::Start(options, &error));
  EXPECT_EQ(error.rfind("script:2: ", 0), 0u) << error;
  EXPECT_EQ(host::ExitCode(), 2);
  options.ScriptPath = (std::filesystem::path(RuntimeDir) / "missing.txt").string();
  EXPECT_FALSE(host::Start(options, &error));
  options.ScriptPath.clear();
  EXPECT_FALSE(host::Start(options, &error));  // headless needs a script
  StartHost();
}

}  // namespace
