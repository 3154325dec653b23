// The program's command line and exit codes, run as a real process.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/child_process.h"

namespace {

class HostMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string folder =
        (std::filesystem::temp_directory_path() / "quillmoth-main-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    Folder = folder;
  }
  void TearDown() override { std::filesystem::remove_all(Folder); }
  std::vector<std::string> Environment() const {
    return {"QUILLMOTH_RUNTIME_DIR=" + Folder, "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
  }
  int Run(const std::vector<std::string>& arguments) {
    Child = std::make_unique<ChildProcess>(arguments, Environment());
    Child->CloseInput();
    return Child->Wait(10000);
  }
  std::string Folder;
  std::unique_ptr<ChildProcess> Child;
};

TEST_F(HostMainTest, HelpVersionAndBadOptions) {
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(Child->Out.find("--display MODE"), std::string::npos);
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_EQ(Child->Out.rfind("quillmoth ", 0), 0u);
  EXPECT_EQ(Run({"--scale", "9"}), 2);
  EXPECT_NE(Child->Err.find("usage:"), std::string::npos);
  EXPECT_EQ(Child->Out, "");
  EXPECT_EQ(Run({"--display", "cga"}), 2);
  EXPECT_EQ(Run({"--headless"}), 2);  // nothing would ever end the run
}

TEST_F(HostMainTest, MalformedScriptsExitWithTwo) {
  const std::string path = Folder + "/bad.txt";
  std::ofstream(path) << "wait 1\n\nactivate 7\n";
  EXPECT_EQ(Run({"--headless", "--script", path}), 2);
  EXPECT_NE(Child->Err.find("script:3:"), std::string::npos) << Child->Err;

  ChildProcess piped({"--headless", "--script", "-"}, Environment());
  const std::string shot = Folder + "/a.png";
  piped.Send("shot " + shot + "\n");
  ASSERT_TRUE(piped.WaitForLine("shot " + shot, 5000)) << piped.Err;
  piped.Send("wait 2\ntap 1\n");
  EXPECT_EQ(piped.Wait(5000), 2);
  EXPECT_NE(piped.Err.find("script:3:"), std::string::npos) << piped.Err;
}

TEST_F(HostMainTest, HeadlessShotsAreRepeatable) {
  const std::string script = Folder + "/run.txt";
  std::ofstream(script) << "wait 3\nshot " << Folder << "/a.png\nquit\n";
  EXPECT_EQ(Run({"--headless", "--display", "gray4", "--script", script}), 0) << Child->Err;
  std::filesystem::rename(Folder + "/a.png", Folder + "/b.png");
  EXPECT_EQ(Run({"--headless", "--display", "gray4", "--script", script}), 0) << Child->Err;
  std::ifstream a(Folder + "/a.png", std::ios::binary), b(Folder + "/b.png", std::ios::binary);
  const std::string first((std::istreambuf_iterator<char>(a)), {});
  const std::string second((std::istreambuf_iterator<char>(b)), {});
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(first, second);
}

TEST_F(HostMainTest, WindowedRunOnTheDummyDriver) {
  const std::string script = Folder + "/run.txt";
  std::ofstream(script) << "wait 2\nshot " << Folder << "/w.png\n";
  EXPECT_EQ(Run({"--scale", "1", "--script", script}), 0) << Child->Err;
  EXPECT_TRUE(std::filesystem::exists(Folder + "/w.png"));
}

}  // namespace
