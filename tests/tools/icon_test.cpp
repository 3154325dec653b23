// The desktop menu's icons: one picture drawn at each theme size, sharp at
// every one of them rather than one picture scaled.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/png_file.h"
#include "tools/asset_files.h"

#ifdef QUILLMOTH_ASSET_TOOL
namespace {

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
