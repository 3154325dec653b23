// The generator as the build runs it: one output folder argument, and the
// same bytes on every run; and the desktop menu's icons it draws: one
// picture drawn at each theme size, sharp at every one of them rather than
// one picture scaled.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/png_file.h"
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

TEST(Icon, EveryThemeSizeIsDrawnSharpAndTheWindowIconIsTheSixtyFourPixelOne) {
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size) + ".png";
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(host::detail::ReadPngRgba((asset_test::BuiltFolder() / "icons" / name).string(),
                                          &width, &height, &rgba))
        << name;
    ASSERT_EQ(std::pair(width, height), std::pair(size, size));
    // Rounded corners: the very corner is see-through, the middle of the
    // left edge is the rim.
    EXPECT_EQ(rgba[3], 0) << size;
    EXPECT_EQ(rgba.back(), 0) << size;
    // How many pixels of the rim's pure, opaque gold lie inwards from the
    // middle of the left edge. A picture scaled from another size blurs the
    // rim into half-tones: no pure gold at all, or a band far too wide.
    int rim = 0;
    for (const uint8_t* p = &rgba[size / 2 * size * 4];
         rim < size / 2 && p[0] == 226 && p[1] == 182 && p[2] == 82 && p[3] == 255; p += 4)
      ++rim;
    EXPECT_TRUE(rim >= 1 && rim <= size / 16) << size << ": " << rim;
    // The moth's light wings fill a good part of the tile.
    int light = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) light += rgba[i] > 200 && rgba[i + 1] > 150;
    EXPECT_GT(light, size * size / 5) << size;
    EXPECT_LT(light, size * size * 3 / 5) << size;
  }
  // The window icon is the 64-pixel one, byte for byte.
  EXPECT_EQ(asset_test::ReadBytes(asset_test::BuiltFolder() / "quillmoth.png"),
            asset_test::ReadBytes(asset_test::BuiltFolder() / "icons" / "64x64.png"));
}

}  // namespace
#endif
