// Faces made from players' pictures, read back through the game's own loader
// and held to the rules: the tile's frame, the parchment behind see-through
// parts, the middle square averaged in linear light, dithering without bands.
#include "pictures/face_maker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "tools/asset_files.h"

namespace {

using asset_test::Picture;

using Colour = std::array<int, 4>;  // red, green, blue, alpha

// A picture whose pixel (x, y) is colour(x, y).
struct Rgba {
  int width, height;
  std::vector<uint8_t> bytes;
  template <typename Paint>
  Rgba(int w, int h, Paint colour) : width(w), height(h) {
    for (int i = 0; i < w * h; ++i)
      for (int v : Colour(colour(i % w, i / w))) bytes.push_back(static_cast<uint8_t>(v));
  }
  std::vector<uint8_t> Face(int orientation = 1) const {
    return pictures::MakeFaceOriented(bytes.data(), width, height, size_t(width) * 4, orientation);
  }
};

Picture Load(const std::vector<uint8_t>& file) {
  EXPECT_EQ(file.size(), 1686u);
  const std::string path = testing::TempDir() + "face.tga";
  asset_test::WriteBytes(path, file);
  return asset_test::LoadPictureFile(path, 30, 30);
}

// The display's levels for a pixel's three fields.
std::array<double, 3> Shown(uint16_t v) {
  const int r = v >> 11, g = v >> 5 & 63, b = v & 31;
  return {double(r << 3 | r >> 2), double(g << 2 | g >> 4), double(b << 3 | b >> 2)};
}
double ToLinear(double v) {
  v /= 255;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}
double ToSrgb(double l) {
  return 255 * (l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055);
}

// Mean over tile pixels [x0, x1) x [y0, y1), in linear light, as sRGB.
std::array<double, 3> FaceMean(const Picture& p, int x0, int y0, int x1, int y1) {
  std::array<double, 3> sum{};
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      for (int c = 0; c < 3; ++c) sum[c] += ToLinear(Shown(p.At(x, y))[c]);
  for (double& s : sum) s = ToSrgb(s / ((x1 - x0) * (y1 - y0)));
  return sum;
}

void ExpectNear(std::array<double, 3> got, std::array<double, 3> want, double bound) {
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(got[c], want[c], bound) << "channel " << c;
}

TEST(FaceMaker, WritesTheGamesLayoutCutsTheMiddleSquareAndTurnsAsTheTagSays) {
  // Stored 4 x 2: the middle square is blue, green / white, black; the
  // magenta ends are cut away.
  const Rgba stored(4, 2, [](int x, int y) {
    const Colour inner[4] = {
        {0, 0, 255, 255}, {0, 255, 0, 255}, {255, 255, 255, 255}, {0, 0, 0, 255}};
    return x % 3 ? inner[y * 2 + x - 1] : Colour{255, 0, 255, 255};
  });
  const uint16_t B = 0x001F, G = 0x07E0, W = 0xFFFF, K = 0x0000;
  // Upper left, upper right, lower left, lower right as shown, for tags 1..8.
  const std::array<uint16_t, 4> shown[8] = {{B, G, W, K}, {G, B, K, W}, {K, W, G, B}, {W, K, B, G},
                                            {B, W, G, K}, {W, B, K, G}, {K, G, W, B}, {G, K, B, W}};
  for (int tag = 1; tag <= 8; ++tag) {
    const std::vector<uint8_t> file = stored.Face(tag);
    ASSERT_EQ(file.size(), 1686u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 18),
              (std::vector<uint8_t>{0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 30, 0, 30, 0, 8, 0}));
    const Picture face = Load(file);
    for (int y = 3; y < 27; ++y)
      for (int x = 3; x < 27; ++x)
        ASSERT_EQ(face.At(x, y), shown[tag - 1][(y > 14) * 2 + (x > 14)])
            << "tag " << tag << " at " << x << ", " << y;
  }
  EXPECT_EQ(stored.Face(0), stored.Face(1));
  // Rows further apart than their pixels: the bytes between are not read.
  std::vector<uint8_t> padded(stored.bytes);
  padded.insert(padded.begin() + 16, 4, 0x55);
  EXPECT_EQ(pictures::MakeFace(padded.data(), 4, 2, 20), stored.Face());
  // Any size: one pixel, odd sides, all of it the picture's one colour.
  for (auto [w, h] : {std::pair{1, 1}, {7, 5}, {33, 17}, {999, 1001}}) {
    const Rgba plain(w, h, [](int, int) { return Colour{200, 120, 40, 255}; });
    ExpectNear(FaceMean(Load(plain.Face()), 3, 3, 27, 27), {200, 120, 40}, 1.5);
  }
  EXPECT_TRUE(pictures::MakeFace(nullptr, 4, 2, 16).empty());
  EXPECT_TRUE(pictures::MakeFace(stored.bytes.data(), 0, 2, 16).empty());
  EXPECT_TRUE(pictures::MakeFace(stored.bytes.data(), 4, -1, 16).empty());
  EXPECT_TRUE(pictures::MakeFace(stored.bytes.data(), 4, 2, 15).empty());
}

TEST(FaceMaker, SitsInTheFrameOfTheGeneratedFacesAndShowsTheirParchmentThroughClearParts) {
  // The blank tile as the generated faces show it: what most of them have at
  // each pixel of the outer three rows and columns, and inside, what most
  // have in column 2 of that row, where none of them draws.
  std::vector<Picture> faces;
  for (int n = 1; n <= 40; ++n)
    faces.push_back(asset_test::LoadPicture("b" + std::to_string(n) + ".tga", 30, 30));
  const auto usual = [&](int x, int y) {
    std::map<uint16_t, int> count;
    for (const Picture& f : faces) ++count[f.At(x, y)];
    return std::ranges::max_element(count, {}, &std::pair<const uint16_t, int>::second)->first;
  };
  const Picture face = Load(Rgba(5, 3, [](int, int) { return Colour{255, 0, 0, 0}; }).Face());
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool inside = x > 2 && x < 27 && y > 2 && y < 27;
      ASSERT_EQ(face.At(x, y), usual(inside ? 2 : x, y)) << "at " << x << ", " << y;
    }
  // Whatever the picture, the rim's own pixels: the outer ring, and the
  // pixel inside each corner, whose nearest point, 1 pixel across and down
  // from the corner, lies sqrt(2) * 2.5 > 3.5 from the rounding's centre.
  const Picture framed = Load(Rgba(31, 29, [](int x, int y) {
                                return Colour{x * 7 % 256, y * 13 % 256, x * y * 29 % 256, 255};
                              }).Face());
  for (int i = 0; i < 30; ++i)
    for (auto [x, y] :
         {std::pair{i, 0}, {i, 29}, {0, i}, {29, i}, {1 + i / 28 * 27, 1 + i % 2 * 27}})
      ASSERT_EQ(framed.At(x, y), 0x0863) << "at " << x << ", " << y;
}

TEST(FaceMaker, AveragesWhatLiesUnderEachPixelInLinearLightWithoutColourFromClearPixels) {
  // White above black, or left of it: the middle square is half of each,
  // and the face the grey of half the light, 188, not black nor white.
  const auto halves = [](int x, int y) {
    return x + y < 500 ? Colour{255, 255, 255, 255} : Colour{0, 0, 0, 255};
  };
  ExpectNear(FaceMean(Load(Rgba(1, 1000, halves).Face()), 3, 3, 27, 27), {188, 188, 188}, 2);
  ExpectNear(FaceMean(Load(Rgba(1000, 1, halves).Face()), 3, 3, 27, 27), {188, 188, 188}, 2);
  // A one-pixel checkerboard: even, with no shimmer of black or white.
  const auto black = [](bool b) { return b ? Colour{0, 0, 0, 255} : Colour{255, 255, 255, 255}; };
  const Picture grey =
      Load(Rgba(280, 280, [&](int x, int y) { return black((x + y) % 2); }).Face());
  for (int i = 0; i < 24 * 24; ++i)
    for (double level : Shown(grey.At(3 + i % 24, 3 + i / 24))) ASSERT_NEAR(level, 188, 8);
  // 42 across: each pixel of the face takes one and a half columns, white
  // and black in turn, so two-thirds then one-third white, two by two.
  const Picture striped = Load(Rgba(42, 42, [&](int x, int) { return black(x % 2); }).Face());
  for (int x = 3; x < 27; ++x) {
    const double third = ToSrgb((x - 1) % 4 < 2 ? 2 / 3.0 : 1 / 3.0);
    ExpectNear(FaceMean(striped, x, 3, x + 1, 27), {third, third, third}, 3);
  }
  // Opaque blue columns between see-through red ones: half blue over the
  // parchment, shown on its own by a picture that is all see-through.
  const Picture mixed = Load(Rgba(56, 56,
                                  [](int x, int) {
                                    return x % 2 ? Colour{255, 0, 0, 0} : Colour{0, 0, 255, 255};
                                  })
                                 .Face()),
                parchment = Load(Rgba(1, 1, [](int, int) { return Colour{}; }).Face());
  for (int y = 3; y < 27; ++y) {
    const std::array<double, 3> behind = FaceMean(parchment, 3, y, 27, y + 1);
    ExpectNear(FaceMean(mixed, 3, y, 27, y + 1),
               {ToSrgb(ToLinear(behind[0]) / 2), ToSrgb(ToLinear(behind[1]) / 2),
                ToSrgb((ToLinear(behind[2]) + 1) / 2)},
               3);
  }
}

TEST(FaceMaker, KeepsThePicturesColourAndShapeAndDithersSkiesWithoutBands) {
  // A gradient (560 x 420, so cut to its middle), squares round a disc, a sky.
  Colour (*const colours[3])(int, int) = {
      [](int x, int y) {
        return Colour{x * 255 / 559, y * 255 / 419, 96, 255};
      },
      [](int x, int y) {
        if ((x - 280) * (x - 280) + (y - 280) * (y - 280) < 150 * 150)
          return Colour{210, 60, 40, 255};
        return (x / 80 + y / 80) % 2 ? Colour{30, 40, 90, 255} : Colour{230, 220, 120, 255};
      },
      [](int, int y) {
        return Colour{120 + y * 15 / 560, 170 + y * 15 / 560, 240 - y * 10 / 560, 255};
      }};
  for (int n = 0; n < 3; ++n) {
    SCOPED_TRACE(n);
    const int width = 560, height = n ? 560 : 420, k = height / 28, offset = (width - height) / 2;
    const Picture face = Load(Rgba(width, height, colours[n]).Face());
    // Face pixel (x, y) takes the k x k source pixels from (offset + (x - 1) * k, (y - 1) * k).
    const auto block = [&](int x, int y) {
      std::array<double, 3> sum{};
      for (int i = 0; i < k * k; ++i)
        for (int c = 0; c < 3; ++c)
          sum[c] += ToLinear(colours[n](offset + (x - 1) * k + i % k, (y - 1) * k + i / k)[c]);
      for (double& v : sum) v = ToSrgb(v / (k * k));
      return sum;
    };
    std::array<double, 3> want{};
    double sums[5] = {};  // of the two greys (BT.601), their squares and their product
    for (int i = 0; i < 576; ++i) {
      const auto source = block(3 + i % 24, 3 + i / 24),
                 shown = Shown(face.At(3 + i % 24, 3 + i / 24));
      for (int c = 0; c < 3; ++c) want[c] += ToLinear(source[c]) / 576;
      const double a = 0.299 * source[0] + 0.587 * source[1] + 0.114 * source[2],
                   b = 0.299 * shown[0] + 0.587 * shown[1] + 0.114 * shown[2];
      sums[0] += a, sums[1] += b, sums[2] += a * a, sums[3] += b * b, sums[4] += a * b;
    }
    ExpectNear(FaceMean(face, 3, 3, 27, 27), {ToSrgb(want[0]), ToSrgb(want[1]), ToSrgb(want[2])},
               2);
    if (n < 2) {  // Pearson correlation of the greys
      EXPECT_GT(
          (576 * sums[4] - sums[0] * sums[1]) /
              std::sqrt((576 * sums[2] - sums[0] * sums[0]) * (576 * sums[3] - sums[1] * sums[1])),
          0.95);
      continue;
    }
    // Each row of the sky keeps its own shade, and none is one flat band of
    // colour: the steps of 16-bit colour are dithered away.
    for (int y = 3; y < 27; ++y) {
      ExpectNear(FaceMean(face, 3, y, 27, y + 1), block(3, y), 3);
      EXPECT_FALSE(std::all_of(&face.pixels[y * 30 + 3], &face.pixels[y * 30 + 27],
                               [&](uint16_t v) { return v == face.At(3, y); }))
          << "row " << y;
    }
  }
}

}  // namespace
