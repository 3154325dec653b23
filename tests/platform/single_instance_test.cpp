#include <gtest/gtest.h>

#include <filesystem>
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

}  // namespace
