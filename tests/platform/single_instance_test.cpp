#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/child_process.h"
#include "support/headless_host.h"

namespace {

using SingleInstanceTest = HeadlessHostTest;

TEST_F(SingleInstanceTest, SecondCopyEndsAndARestartAfterTheFirstDiedRuns) {
  const std::vector<std::string> environment{"QUILLMOTH_RUNTIME_DIR=" + Folder().string()};
  const std::string firstShot = (Folder() / "first.png").string();
  ChildProcess first({"--headless", "--script", "-"}, environment);
  first.Send("shot " + firstShot + "\n");
  // Its window exists once the first command has run.
  ASSERT_TRUE(first.WaitForLine("shot " + firstShot, 5000)) << first.Err;

  const std::string secondShot = (Folder() / "second.png").string();
  ChildProcess second({"--headless", "--script", "-"}, environment);
  second.Send("shot " + secondShot + "\n");
  EXPECT_EQ(second.Wait(5000), 0) << second.Err;
  EXPECT_EQ(second.Out, "");
  EXPECT_FALSE(std::filesystem::exists(secondShot));

  // A killed copy leaves its socket behind; it must not block the next one.
  first.Kill();
  const std::string thirdShot = (Folder() / "third.png").string();
  ChildProcess third({"--headless", "--script", "-"}, environment);
  third.Send("shot " + thirdShot + "\n");
  EXPECT_TRUE(third.WaitForLine("shot " + thirdShot, 5000)) << third.Err;
  EXPECT_EQ(third.Wait(5000), 0) << third.Err;  // the script's end closes the window
  EXPECT_TRUE(std::filesystem::exists(thirdShot));
}

TEST_F(SingleInstanceTest, AMeetingFolderOthersCouldTamperWithIsRefusedAloudAndOneCopyStillRuns) {
  namespace fs = std::filesystem;
  const fs::path open = Folder() / "open", file = Folder() / "file", temp = Folder() / "temp";
  fs::create_directories(open);
  fs::permissions(open, fs::perms(0777));
  std::ofstream(file) << "not a folder";
  fs::create_directories(temp);
  for (const fs::path& named : {open, file, Folder() / "missing"}) {
    SCOPED_TRACE(named.string());
    // The private folder they fall back to is made in the temp folder.
    const std::vector<std::string> environment{"QUILLMOTH_RUNTIME_DIR=" + named.string(),
                                               "TMPDIR=" + temp.string()};
    const std::string firstShot = (Folder() / "first.png").string();
    ChildProcess first({"--headless", "--script", "-"}, environment);
    first.Send("shot " + firstShot + "\n");
    ASSERT_TRUE(first.WaitForLine("shot " + firstShot, 5000)) << first.Err;
    ChildProcess second({"--headless", "--script", "-"}, environment);
    second.Send("shot " + (Folder() / "second.png").string() + "\n");
    EXPECT_EQ(second.Wait(5000), 0) << second.Err;
    EXPECT_EQ(second.Out, "");
    EXPECT_NE(second.Err.find("quillmoth: not meeting other copies in " + named.string()),
              std::string::npos)
        << second.Err;
    EXPECT_TRUE(fs::is_directory(temp / ("quillmoth-" + std::to_string(getuid()))));
    EXPECT_EQ(first.Wait(5000), 0);
  }
}

}  // namespace
