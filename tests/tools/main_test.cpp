// The generator as the build runs it: one output folder argument, and the
// same bytes on every run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

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

fs::path ScratchFolder(const char* name) {
  const fs::path dir =
      fs::temp_directory_path() / ("quillmoth_assets_" + std::to_string(::getpid()) + "_" + name);
  fs::remove_all(dir);
  return dir;
}

TEST(MakeAssets, TwoRunsWriteTheSameBytesAsTheBuild) {
  const fs::path a = ScratchFolder("a");
  const fs::path b = ScratchFolder("b");
  const fs::path icons = ScratchFolder("icons");
  ASSERT_EQ(std::system((std::string(QUILLMOTH_ASSET_TOOL) + " " + a.string() + " --icons " +
                         icons.string())
                            .c_str()),
            0);
  ASSERT_EQ(std::system((std::string(QUILLMOTH_ASSET_TOOL) + " " + b.string()).c_str()), 0);
  const auto first = ReadTree(a);
  const auto second = ReadTree(b);
  // 41 tiles, 7 screens and overlays, 5 sounds and the icon.
  EXPECT_EQ(first.size(), 54u);
  EXPECT_TRUE(first == second);
  for (const auto& [name, bytes] : first) {
    EXPECT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(asset_test::ReadBytes(asset_test::BuiltFolder() / name), bytes) << name;
  }
  // The menu's icons at the six theme sizes, apart from the program's files.
  const auto menuIcons = ReadTree(icons);
  EXPECT_EQ(menuIcons.size(), 6u);
  for (const auto& [name, bytes] : menuIcons)
    EXPECT_EQ(asset_test::ReadBytes(asset_test::BuiltFolder() / "icons" / name), bytes) << name;
  fs::remove_all(a);
  fs::remove_all(b);
  fs::remove_all(icons);
}

TEST(MakeAssets, RefusesToRunWithoutAnOutputFolder) {
  EXPECT_NE(std::system((std::string(QUILLMOTH_ASSET_TOOL) + " 2>/dev/null").c_str()), 0);
}

}  // namespace
#endif
