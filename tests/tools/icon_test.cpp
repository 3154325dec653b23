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

// The rim's gold, fully opaque.
bool IsRimGold(const uint8_t* p) { return p[0] == 226 && p[1] == 182 && p[2] == 82 && p[3] == 255; }

fs::path BuiltIcon(int size) {
  return asset_test::BuiltFolder() / "icons" /
         (std::to_string(size) + "x" + std::to_string(size) + ".png");
}

// Walks inwards from an edge along the straight part of the rim: every row
// (or column) must show the same number of pure gold pixels, and next to them
// mostly the night sky (bluer than red), which the wings reach only here and
// there. A picture scaled from another size has no pure gold there at all, or
// a half-tone of gold (redder than blue) all along the inside of the rim.
void ExpectSharpRim(const Picture& icon, bool alongTop) {
  const int n = icon.Width;
  int firstWidth = -1;
  int lines = 0;
  int sky = 0;
  for (int line = n / 4; line < n * 3 / 4; ++line) {
    const auto pixel = [&](int depth) {
      return alongTop ? icon.At(line, depth) : icon.At(depth, line);
    };
    int width = 0;
    while (width < n / 2 && IsRimGold(pixel(width))) ++width;
    if (firstWidth < 0) firstWidth = width;
    ASSERT_EQ(width, firstWidth) << n << " px, line " << line;
    ++lines;
    sky += pixel(width)[2] > pixel(width)[0];
  }
  EXPECT_GE(firstWidth, 1) << n << " px";
  EXPECT_LE(firstWidth, n / 16) << n << " px";
  EXPECT_GE(sky * 3, lines * 2) << n << " px: " << sky << " of " << lines << " lines";
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
    ExpectSharpRim(icon, false);
    ExpectSharpRim(icon, true);
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
