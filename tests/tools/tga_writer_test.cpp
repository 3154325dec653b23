// Every picture in the layout the game reads, and the key colour 0xF800
// only where a window is meant to be.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "tools/asset_files.h"

namespace {

using asset_test::LoadPicture;

TEST(TgaWriter, ColourMappedPicturesWithTheKeyColourOnlyInWindows) {
  std::vector<std::tuple<std::string, int, int>> pictures = {
      {"block.tga", 30, 30},     {"panel2.tga", 240, 80}, {"backdrop.tga", 240, 240},
      {"panel3.tga", 240, 320},  {"panel4.tga", 240, 80}, {"front.tga", 240, 240},
      {"highscr.tga", 240, 120}, {"about.tga", 240, 320}};
  for (int n = 1; n <= 40; ++n) pictures.emplace_back("b" + std::to_string(n) + ".tga", 30, 30);
  for (const auto& [name, width, height] : pictures) {
    SCOPED_TRACE(name);
    const auto bytes = asset_test::ReadBytes(asset_test::BuiltFolder() / "Graph" / name);
    ASSERT_EQ(bytes.size(), static_cast<size_t>(18 + 768 + width * height));
    // No id, a 256-entry 24-bit colour map, 8-bit pixels from the bottom left.
    const uint8_t w = width & 255, h = height & 255, high = height >> 8;
    const std::vector<uint8_t> header = {0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, w, 0, h, high, 8, 0};
    EXPECT_EQ(std::vector(bytes.begin(), bytes.begin() + 18), header);

    const auto p = LoadPicture(name, width, height);
    ASSERT_TRUE(p.loaded);
    const int total = width * height;
    const auto count = [&](uint16_t colour) {
      return static_cast<int>(std::ranges::count(p.pixels, colour));
    };
    const int keyed = count(0xF800);
    if (name == "highscr.tga") {
      // Black-edged letters on a transparent banner.
      EXPECT_GT(keyed, total / 3);
      EXPECT_GT(count(0x0000), total / 20);
      EXPECT_GT(total - keyed - count(0x0000), total / 20);
      continue;
    }
    if (name != "front.tga") {
      EXPECT_EQ(keyed, 0);
      continue;
    }
    // The moth's windows are framed by artwork, and each is a shape, never a
    // speck the turning picture blinks through: every 4-connected region of
    // key colour has at least six pixels.
    EXPECT_GT(keyed, total / 6);
    EXPECT_LT(keyed, total * 2 / 3);
    EXPECT_NE(p.At(0, 0), 0xF800);
    EXPECT_NE(p.At(239, 239), 0xF800);
    std::vector<uint8_t> seen(total);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const int size = asset_test::Flood(width, height, seen, {{x, y}},
                                           [&](int px, int py) { return p.At(px, py) == 0xF800; });
        EXPECT_TRUE(size == 0 || size >= 6)
            << "a window of " << size << " pixels at " << x << ", " << y;
      }
  }
}

}  // namespace
