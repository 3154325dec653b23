// The desktop menu's icons: one picture drawn at each theme size, sharp at
// every one of them rather than one picture scaled.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/png_file.h"
#include "tools/asset_files.h"

#ifdef QUILLMOTH_ASSET_TOOL
namespace {

namespace fs = std::filesystem;

fs::path BuiltIcon(int size) {
  return asset_test::BuiltFolder() / "icons" /
         (std::to_string(size) + "x" + std::to_string(size) + ".png");
}

// How many pixels of the rim's pure, opaque gold lie inwards from the middle
// of the left edge. A picture scaled from another size blurs the rim into
// half-tones: no pure gold at all, or a band far too wide.
int RimWidth(const Picture& icon) {
  int width = 0;
  for (const uint8_t* p = icon.At(0, icon.Height / 2);
       width < icon.Width / 2 && p[0] == 226 && p[1] == 182 && p[2] == 82 && p[3] == 255; p += 4)
    ++width;
  return width;
}

TEST(Icon, EveryThemeSizeIsDrawnSharp) {
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    const Picture icon = ReadPng(BuiltIcon(size).string(), true);
    ASSERT_EQ(icon.Width, size);
    ASSERT_EQ(icon.Height, size);
    // Rounded corners: the very corner is see-through, the middle of each
    // edge is the rim.
    EXPECT_EQ(icon.At(0, 0)[3], 0) << size;
    EXPECT_EQ(icon.At(size - 1, size - 1)[3], 0) << size;
    EXPECT_GE(RimWidth(icon), 1) << size;
    EXPECT_LE(RimWidth(icon), size / 16) << size;
    // The moth's light wings fill a good part of the tile.
    int light = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) light += icon.At(x, y)[0] > 200 && icon.At(x, y)[1] > 150;
    EXPECT_GT(light, size * size / 5) << size;
    EXPECT_LT(light, size * size * 3 / 5) << size;
  }
}

TEST(Icon, TheWindowIconIsTheSixtyFourPixelMenuIcon) {
  const auto icon = asset_test::ReadBytes(asset_test::BuiltFolder() / "quillmoth.png");
  ASSERT_FALSE(icon.empty());
  EXPECT_EQ(asset_test::ReadBytes(BuiltIcon(64)), icon);
}

}  // namespace
#endif
