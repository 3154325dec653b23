#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/child_process.h"
#include "platform/headless_run.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

intptr_t Quiet(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

class SingleInstanceTest : public HeadlessRun {
 protected:
  WindowHandle CreateGameWindow() {
    WindowClass windowClass{};
    windowClass.Procedure = Quiet;
    windowClass.ClassName = "Quillmoth";
    DeclareWindowClass(windowClass);
    return CreatePlatformWindow(0, "Quillmoth", "Quillmoth", 0, 0, 0, 240, 320, nullptr, nullptr,
                                nullptr, nullptr);
  }
  std::string Environment() const { return "QUILLMOTH_RUNTIME_DIR=" + RuntimeDir; }
  std::string ScriptFile(const std::string& text) const {
    const std::string path = RuntimeDir + "/script.txt";
    std::ofstream(path) << text;
    return path;
  }
  static bool Listening(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
  }
};

TEST_F(SingleInstanceTest, StaleSocketOfADeadCopyBlocksNothing) {
  // What a copy that was killed leaves behind: a socket file nobody serves.
  const std::string socketPath = RuntimeDir + "/Quillmoth.sock";
  {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
  }
  EXPECT_EQ(FindTopLevelWindow("Quillmoth"), nullptr);
  ASSERT_NE(CreateGameWindow(), nullptr);
  EXPECT_TRUE(Listening(socketPath));
  host::Stop();
  EXPECT_FALSE(fs::exists(socketPath));
  StartHost();
}

TEST_F(SingleInstanceTest, ASecondProgramShowsThisCopyAndEnds) {
  ASSERT_NE(CreateGameWindow(), nullptr);
  const std::string shot = RuntimeDir + "/second.png";
  ChildProcess second({"--headless", "--script", ScriptFile("shot " + shot + "\n")},
                      {Environment()});
  ASSERT_TRUE(second.Started());
  EXPECT_EQ(second.Wait(5000), 0) << second.Err;
  EXPECT_EQ(second.Out, "");
  EXPECT_FALSE(fs::exists(shot));
  // The request is taken when this copy next looks at its queue.
  for (int i = 0; i < 200 && host::ShowRequestsReceived() == 0; ++i) {
    PeekPlatformMessage();
    usleep(5000);
  }
  EXPECT_EQ(host::ShowRequestsReceived(), 1u);
}

TEST_F(SingleInstanceTest, TwoProgramsAndARestartAfterTheFirstDied) {
  host::Stop();  // only the programs take part here
  const std::string firstShot = RuntimeDir + "/first.png";
  ChildProcess first({"--headless", "--script", "-"}, {Environment()});
  ASSERT_TRUE(first.Started());
  first.Send("shot " + firstShot + "\n");
  // Its window exists once the first command has run.
  ASSERT_TRUE(first.WaitForLine("shot " + firstShot, 5000)) << first.Err;

  const std::string secondShot = RuntimeDir + "/second.png";
  ChildProcess second({"--headless", "--script", "-"}, {Environment()});
  second.Send("shot " + secondShot + "\n");
  EXPECT_EQ(second.Wait(5000), 0) << second.Err;
  EXPECT_EQ(second.Out, "");
  EXPECT_FALSE(fs::exists(secondShot));

  first.Kill();
  const std::string thirdShot = RuntimeDir + "/third.png";
  ChildProcess third({"--headless", "--script", "-"}, {Environment()});
  third.Send("shot " + thirdShot + "\n");
  EXPECT_TRUE(third.WaitForLine("shot " + thirdShot, 5000)) << third.Err;
  third.CloseInput();  // the end of the script closes the window
  EXPECT_EQ(third.Wait(5000), 0) << third.Err;
  EXPECT_TRUE(fs::exists(thirdShot));
  StartHost();
}

}  // namespace
