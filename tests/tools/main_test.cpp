// The generator as the build runs it: one output folder argument, and the
// same bytes on every run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tools/asset_files.h"

#ifdef QUILLMOTH_ASSET_TOOL
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::vector<uint8_t>> ReadTree(const fs::path& root) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), root).generic_string()] =
          asset_test::ReadBytes(entry.path());
  return files;
}

// The generator's exit status for the given arguments.
int MakeAssets(const std::string& arguments) {
  return std::system((std::string(QUILLMOTH_ASSET_TOOL) + " " + arguments).c_str());
}

TEST(MakeAssets, NeedsAnOutputFolderAndTwoRunsWriteTheSameBytesAsTheBuild) {
  EXPECT_NE(MakeAssets("2>/dev/null"), 0);
  const fs::path scratch =
      fs::temp_directory_path() / ("quillmoth_assets_" + std::to_string(::getpid()));
  const fs::path a = scratch / "a", b = scratch / "b", icons = scratch / "icons";
  fs::remove_all(scratch);
  ASSERT_EQ(MakeAssets(a.string() + " --icons " + icons.string()), 0);
  ASSERT_EQ(MakeAssets(b.string()), 0);
  const auto files = ReadTree(a);
  // 41 tiles, 7 screens and overlays, 5 sounds and the icon.
  EXPECT_EQ(files.size(), 54u);
  EXPECT_TRUE(files == ReadTree(b));
  for (const auto& [name, bytes] : files)
    EXPECT_EQ(asset_test::ReadBytes(asset_test::BuiltFolder() / name), bytes) << name;
  // The menu's icons at the six theme sizes, apart from the program's files.
  const auto menuIcons = ReadTree(icons);
  EXPECT_EQ(menuIcons.size(), 6u);
  for (const auto& [name, bytes] : menuIcons)
    EXPECT_EQ(asset_test::ReadBytes(asset_test::BuiltFolder() / "icons" / name), bytes) << name;
  fs::remove_all(scratch);
}

}  // namespace
#endif
