#include "platform/script.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/platform.h"
#include "support/headless_host.h"

namespace {

using host::detail::ParseScript;
using host::detail::ScriptCommand;

TEST(ScriptParseTest, MalformedLinesAreNamedByNumber) {
  const struct {
    const char* Line;
    bool Valid;
  } rows[] = {{"tap 0 319", true},   {"down 239 0\r", true}, {"  key 13", true},
              {"activate 2", true},  {"wait 0", true},       {"quit", true},
              {"tap 240 320", true}, {"up 65535 0", true},   {"tap 65536 0", false},
              {"tap 1", false},      {"tap 1 2 3", false},   {"tap -1 5", false},
              {"tap 1.5 2", false},  {"tap x 2", false},     {"wait", false},
              {"wait -1", false},    {"wait 1e3", false},    {"activate 3", false},
              {"key", false},        {"shot", false},        {"quit now", false},
              {"jump 1 2", false},   {"TAP 1 2", false},     {"wait 99999999999", false}};
  for (const auto& row : rows) {
    std::vector<ScriptCommand> commands;
    std::string error;
    const std::string text = std::string("wait 1\n# fine\n") + row.Line + "\nquit\n";
    EXPECT_EQ(ParseScript(text, &commands, &error), row.Valid) << row.Line;
    EXPECT_TRUE(row.Valid || error.starts_with("script:3: ")) << error;
  }
  // Carriage returns are blanks wherever they stand, and leading zeros never
  // make a number too long.
  std::vector<ScriptCommand> commands;
  std::string error;
  ASSERT_TRUE(ParseScript("wait\r7\ntap 1\r 2\nwait 000000000000000000009\n", &commands, &error))
      << error;
  EXPECT_EQ(std::tuple(commands[0].First, commands[1].First, commands[1].Second, commands[2].First),
            std::tuple(7u, 1u, 2u, 9u));
  EXPECT_FALSE(ParseScript("wait 000000000000000000004294967296\n", &commands, &error));
}

intptr_t Quiet(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

using ScriptRunTest = HeadlessHostTest;

TEST_F(ScriptRunTest, ShotIsAPictureAndIsPrintedOnceWritten) {
  const std::string path = (Folder() / "a b.png").string();
  StartHost("shot " + path + "\n");
  WindowClass windowClass{};
  windowClass.Procedure = Quiet;
  windowClass.ClassName = "Quillmoth";
  ASSERT_TRUE(DeclareWindowClass(windowClass));
  testing::internal::CaptureStdout();
  // The commands up to the first wait run as the window is created.
  CreatePlatformWindow(0, "Quillmoth", "Quillmoth", 0, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                       nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "shot " + path + "\n");
  std::ifstream file(path, std::ios::binary);
  char signature[8] = {};
  file.read(signature, 8);
  EXPECT_EQ(std::string(signature, 8), "\x89PNG\r\n\x1a\n");
}

}  // namespace
