// Tile faces must be told apart by shape alone (colour-blind players), and
// none may look like the back.
#include <gtest/gtest.h>

#include <string>

#include "tools/asset_files.h"

namespace {

using asset_test::LoadPicture;
using asset_test::Picture;

// The symbol's silhouette: every pixel of the inner tile that differs from
// the plain tile colour of its row (the tile is shaded top to bottom).
std::vector<uint8_t> Silhouette(const Picture& p) {
  std::vector<uint8_t> mask;
  for (int y = 3; y <= 26; ++y) {
    const uint16_t plain = p.At(2, y);
    for (int x = 3; x <= 26; ++x) mask.push_back(p.At(x, y) != plain);
  }
  return mask;
}

int Differences(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

TEST(Faces, FortyDistinctSilhouettes) {
  std::vector<std::vector<uint8_t>> masks;
  for (int n = 1; n <= 40; ++n) {
    const Picture p = LoadPicture("b" + std::to_string(n) + ".tga", 30, 30);
    ASSERT_TRUE(p.loaded) << n;
    masks.push_back(Silhouette(p));
    int ink = 0;
    for (uint8_t m : masks.back()) ink += m;
    // A symbol that fills a good part of the tile but leaves a margin.
    EXPECT_GT(ink, 24 * 24 / 6) << "face " << n;
    EXPECT_LT(ink, 24 * 24 * 9 / 10) << "face " << n;
  }
  for (size_t a = 0; a < masks.size(); ++a)
    for (size_t b = a + 1; b < masks.size(); ++b)
      EXPECT_GE(Differences(masks[a], masks[b]), 40) << "faces " << a + 1 << " and " << b + 1;
}

TEST(Faces, ShareTheFrameButNotTheBack) {
  const Picture back = LoadPicture("block.tga", 30, 30);
  ASSERT_TRUE(back.loaded);
  const double backLight = asset_test::MeanBrightness(back, {0, 0, 29, 29});
  for (int n = 1; n <= 40; ++n) {
    const Picture face = LoadPicture("b" + std::to_string(n) + ".tga", 30, 30);
    ASSERT_TRUE(face.loaded);
    int differ = 0;
    for (size_t i = 0; i < face.pixels.size(); ++i) differ += face.pixels[i] != back.pixels[i];
    EXPECT_GT(differ, 600) << n;
    // Face-up tiles are light parchment; the back is dark night.
    EXPECT_GT(asset_test::MeanBrightness(face, {0, 0, 29, 29}), backLight + 150) << n;
    // The common frame: the same corner and edge on every tile.
    EXPECT_EQ(face.At(0, 0), back.At(0, 0)) << n;
  }
}

}  // namespace
