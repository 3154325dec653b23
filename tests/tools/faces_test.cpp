// Tile faces must be told apart in grey, by their outline first (colour-blind
// players, grey displays), carry no stray specks, and share the frame but
// not the look of the back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tools/asset_files.h"

namespace {

using asset_test::LoadPicture;
using asset_test::MeanBrightness;
using asset_test::Picture;

// Grey level 0..255 of an RGB565 pixel, by the ITU-R BT.601 weights.
int Luma(uint16_t v) {
  const int r = ((v >> 11) & 31) * 255 / 31, g = ((v >> 5) & 63) * 255 / 63,
            b = (v & 31) * 255 / 31;
  return (299 * r + 587 * g + 114 * b) / 1000;
}

// The filled outline over the inner 24 x 24 pixels (x, y = 3..26): all that
// the plain parchment of each row (shaded top to bottom, plain at x = 2)
// cannot reach from the edge of that square, holes of the picture included.
std::vector<uint8_t> FilledOutline(const Picture& p) {
  std::vector<uint8_t> outline(24 * 24, 0);
  std::vector<std::pair<int, int>> edge;
  for (int i = 0; i < 24; ++i) edge.insert(edge.end(), {{i, 0}, {i, 23}, {0, i}, {23, i}});
  asset_test::Flood(24, 24, outline, edge,
                    [&](int x, int y) { return p.At(x + 3, y + 3) == p.At(2, y + 3); });
  for (uint8_t& cell : outline) cell ^= 1;
  return outline;
}

// A speck: a pixel unlike each of its eight neighbours (32 grey levels or
// more) where those neighbours are alike (within 64 levels), a lone dot on an
// even ground. Smoothed edges and one-pixel lines always have a neighbour on
// either side, so they never count.
bool IsSpeck(const Picture& p, int x, int y) {
  int low = 255, high = 0, alike = 0;
  for (int i = 0; i < 9; ++i) {
    if (i == 4) continue;
    const int v = Luma(p.At(x + i % 3 - 1, y + i / 3 - 1));
    low = std::min(low, v), high = std::max(high, v);
    alike += std::abs(v - Luma(p.At(x, y))) < 32;
  }
  return high - low < 64 && alike == 0;
}

TEST(Faces, ShareTheBacksFrameHaveNoSpecksAndEveryPairDiffersInOutlineAndInGrey) {
  const Picture back = LoadPicture("block.tga", 30, 30);
  ASSERT_TRUE(back.loaded);
  std::vector<Picture> faces;
  std::vector<std::vector<uint8_t>> outlines;
  for (int n = 1; n <= 40; ++n) {
    SCOPED_TRACE("face " + std::to_string(n));
    const Picture& face = faces.emplace_back(LoadPicture("b" + std::to_string(n) + ".tga", 30, 30));
    ASSERT_TRUE(face.loaded);
    // The common frame: the same outer ring on every tile.
    for (int i = 0; i < 30; ++i)
      for (const auto& [x, y] : {std::pair{i, 0}, {i, 29}, {0, i}, {29, i}})
        ASSERT_EQ(face.At(x, y), back.At(x, y)) << "at " << x << ", " << y;
    int differ = 0;
    for (size_t i = 0; i < face.pixels.size(); ++i) differ += face.pixels[i] != back.pixels[i];
    EXPECT_GT(differ, 600);
    // Face-up tiles are light parchment; the back is dark night.
    EXPECT_GT(MeanBrightness(face, {0, 0, 29, 29}), MeanBrightness(back, {0, 0, 29, 29}) + 150);
    for (int y = 1; y < 29; ++y)
      for (int x = 1; x < 29; ++x) EXPECT_FALSE(IsSpeck(face, x, y)) << "at " << x << ", " << y;
    // A picture that fills a good part of the tile but leaves a margin.
    const auto area = std::ranges::count(outlines.emplace_back(FilledOutline(face)), 1);
    EXPECT_GT(area, 24 * 24 / 6);
    EXPECT_LT(area, 24 * 24 * 9 / 10);
  }
  for (int a = 0; a < 40; ++a)
    for (int b = a + 1; b < 40; ++b) {
      int outline = 0, grey = 0;
      for (int i = 0; i < 24 * 24; ++i) outline += outlines[a][i] != outlines[b][i];
      for (int i = 0; i < 30 * 30; ++i)
        grey += std::abs(Luma(faces[a].pixels[i]) - Luma(faces[b].pixels[i])) >= 32;
      // 40 pixels is a bump or notch of some 6 x 6 pixels; 135 is 15 % of the tile.
      EXPECT_GE(outline, 40) << "faces " << a + 1 << " and " << b + 1;
      EXPECT_GE(grey, 135) << "faces " << a + 1 << " and " << b + 1;
    }
}

}  // namespace
