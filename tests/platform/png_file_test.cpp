#include "platform/png_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/host.h"
#include "support/headless_host.h"

namespace {

namespace fs = std::filesystem;
using ShotFileTest = HeadlessHostTest;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

bool IsPng(const fs::path& path) { return Contents(path).starts_with("\x89PNG\r\n\x1a\n"); }

TEST_F(ShotFileTest, AShotReplacesOnlyWhatItWroteWholeAndNeverRemovesWhatItDidNotMake) {
  StartHost();
  const fs::path old = Folder() / "old.png", link = Folder() / "link.png";
  std::ofstream(old) << "an older picture";
  fs::permissions(old, fs::perms(0600));
  fs::create_symlink(old, link);
  // Written over an existing file through a link: the file changes, the link
  // and the file's permissions stay.
  EXPECT_TRUE(host::WriteDisplayPng(link.string()));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(IsPng(old));
  EXPECT_EQ(fs::status(old).permissions(), fs::perms(0600));
  // A folder that does not exist: nothing is made anywhere.
  EXPECT_FALSE(host::WriteDisplayPng((Folder() / "none" / "shot.png").string()));
  EXPECT_FALSE(host::WriteDisplayPng(Folder().string()));

  // A device that takes no bytes, like /dev/full: the shot fails, and the
  // device is still there afterwards.
  const fs::path full = Folder() / "full";
  if (mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
    GTEST_SKIP() << "no right to make a device node here";
  }
  EXPECT_FALSE(host::WriteDisplayPng(full.string()));
  EXPECT_TRUE(fs::is_character_file(full));
  // Nothing but what the test made is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 3);
}

}  // namespace
