// Faces made from players' pictures, read back through the game's own loader
// and held to the rules: the tile's frame, the parchment behind see-through
// parts, the middle square averaged in linear light, dithering without bands.
#include "pictures/face_maker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <numeric>
#include <string>
#include <vector>

#include "tools/asset_files.h"

namespace {

using asset_test::Picture;

struct Rgba {
  int width, height;
  std::vector<uint8_t> bytes;
  Rgba(int w, int h) : width(w), height(h), bytes(static_cast<size_t>(w * h * 4), 255) {}
  void Set(int x, int y, std::array<int, 4> c) {
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>((y * width + x) * 4 + i)] = uint8_t(c[i]);
  }
  std::vector<uint8_t> Face(int orientation = 1) const {
    return pictures::MakeFaceOriented(bytes.data(), width, height, size_t(width) * 4, orientation);
  }
};

Picture Load(const std::vector<uint8_t>& file) {
  EXPECT_EQ(file.size(), 1686u);
  const std::string path = testing::TempDir() + "face.tga";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  Picture p{30, 30, std::vector<uint16_t>(900), false};
  p.loaded = LoadTga(path.c_str(), 30, 30, p.pixels.data(), 1) == 1;
  return p;
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
  Rgba stored(4, 2);
  const std::array<int, 4> blue{0, 0, 255, 255}, green{0, 255, 0, 255}, white{255, 255, 255, 255},
      black{0, 0, 0, 255}, magenta{255, 0, 255, 255};
  for (int y : {0, 1}) stored.Set(0, y, magenta), stored.Set(3, y, magenta);
  stored.Set(1, 0, blue), stored.Set(2, 0, green), stored.Set(1, 1, white), stored.Set(2, 1, black);
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
    ASSERT_TRUE(face.loaded);
    for (int y = 3; y < 27; ++y)
      for (int x = 3; x < 27; ++x)
        ASSERT_EQ(face.At(x, y), shown[tag - 1][(y > 14) * 2 + (x > 14)])
            << "tag " << tag << " at " << x << ", " << y;
  }
  EXPECT_EQ(stored.Face(0), stored.Face(1));
  // Rows further apart than their pixels: the bytes between are not read.
  std::vector<uint8_t> padded(2 * 20, 0x55);
  for (int i = 0; i < 32; ++i) padded[static_cast<size_t>(i / 16 * 20 + i % 16)] = stored.bytes[i];
  EXPECT_EQ(pictures::MakeFace(padded.data(), 4, 2, 20), stored.Face());
  // Any size: one pixel, odd sides, all of it the picture's one colour.
  for (auto [w, h] : {std::pair{1, 1}, {7, 5}, {33, 17}, {999, 1001}}) {
    Rgba plain(w, h);
    for (int i = 0; i < w * h; ++i) plain.Set(i % w, i / w, {200, 120, 40, 255});
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
  Rgba clear(5, 3);
  for (int i = 0; i < 15; ++i) clear.Set(i % 5, i / 5, {255, 0, 0, 0});
  const Picture face = Load(clear.Face());
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool inside = x > 2 && x < 27 && y > 2 && y < 27;
      ASSERT_EQ(face.At(x, y), usual(inside ? 2 : x, y)) << "at " << x << ", " << y;
    }
  // Whatever the picture, the rim's own pixels: the outer ring, and the
  // pixel inside each corner, whose nearest point, 1 pixel across and down
  // from the corner, lies sqrt(2) * 2.5 > 3.5 from the rounding's centre.
  Rgba noise(31, 29);
  for (int i = 0; i < 31 * 29; ++i)
    noise.Set(i % 31, i / 31, {i * 7 % 256, i * 13 % 256, i * 29 % 256, 255});
  const Picture framed = Load(noise.Face());
  for (int i = 0; i < 30; ++i)
    for (auto [x, y] :
         {std::pair{i, 0}, {i, 29}, {0, i}, {29, i}, {1 + i / 28 * 27, 1 + i % 2 * 27}})
      ASSERT_EQ(framed.At(x, y), 0x0863) << "at " << x << ", " << y;
}

TEST(FaceMaker, AveragesWhatLiesUnderEachPixelInLinearLightWithoutColourFromClearPixels) {
  // Black above white, or left of right: the middle square is half of each,
  // and the face the grey of half the light, 188, not black nor white.
  Rgba tall(1, 1000), wide(1000, 1);
  for (int i = 500; i < 1000; ++i) tall.Set(0, i, {0, 0, 0, 255}), wide.Set(i, 0, {0, 0, 0, 255});
  ExpectNear(FaceMean(Load(tall.Face()), 3, 3, 27, 27), {188, 188, 188}, 2);
  ExpectNear(FaceMean(Load(wide.Face()), 3, 3, 27, 27), {188, 188, 188}, 2);
  // A one-pixel checkerboard: even, with no shimmer of black or white.
  Rgba fine(280, 280);
  for (int i = 0; i < 280 * 280; ++i)
    if ((i % 280 + i / 280) % 2) fine.Set(i % 280, i / 280, {0, 0, 0, 255});
  const Picture grey = Load(fine.Face());
  for (int i = 0; i < 24 * 24; ++i)
    for (double level : Shown(grey.At(3 + i % 24, 3 + i / 24))) ASSERT_NEAR(level, 188, 8);
  // 42 across: each pixel of the face takes one and a half columns, white
  // and black in turn, so two-thirds then one-third white, two by two.
  Rgba stripes(42, 42);
  for (int i = 0; i < 42 * 42; ++i)
    if (i % 2) stripes.Set(i % 42, i / 42, {0, 0, 0, 255});
  const Picture striped = Load(stripes.Face());
  for (int x = 3; x < 27; ++x) {
    const double third = ToSrgb((x - 1) % 4 < 2 ? 2 / 3.0 : 1 / 3.0);
    ExpectNear(FaceMean(striped, x, 3, x + 1, 27), {third, third, third}, 3);
  }
  // Opaque blue columns between see-through red ones: half blue over the
  // parchment, shown on its own by a picture that is all see-through.
  Rgba half(56, 56), clear(1, 1);
  clear.Set(0, 0, {0, 0, 0, 0});
  for (int i = 0; i < 56 * 56; ++i)
    half.Set(i % 56, i / 56, i % 2 ? std::array{255, 0, 0, 0} : std::array{0, 0, 255, 255});
  const Picture mixed = Load(half.Face()), parchment = Load(clear.Face());
  for (int y = 3; y < 27; ++y) {
    const std::array<double, 3> behind = FaceMean(parchment, 3, y, 27, y + 1);
    ExpectNear(FaceMean(mixed, 3, y, 27, y + 1),
               {ToSrgb(ToLinear(behind[0]) / 2), ToSrgb(ToLinear(behind[1]) / 2),
                ToSrgb((ToLinear(behind[2]) + 1) / 2)},
               3);
  }
}

// Grey of an sRGB colour by the BT.601 weights.
double Grey(std::array<double, 3> c) { return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]; }

TEST(FaceMaker, KeepsThePicturesColourAndShapeAndDithersSkiesWithoutBands) {
  struct Case {
    const char* name;
    int width, height;
    std::array<double, 3> (*colour)(int x, int y);
    bool sky = false;
  };
  const Case cases[] = {
      {"gradient", 560, 420,
       [](int x, int y) {
         return std::array<double, 3>{x * 255.0 / 559, y * 255.0 / 419, 96};
       }},
      {"shapes", 560, 560,
       [](int x, int y) {
         if ((x - 280) * (x - 280) + (y - 280) * (y - 280) < 150 * 150)
           return std::array<double, 3>{210, 60, 40};
         return (x / 80 + y / 80) % 2 ? std::array<double, 3>{30, 40, 90}
                                      : std::array<double, 3>{230, 220, 120};
       }},
      {"sky", 560, 560,
       [](int, int y) {
         return std::array<double, 3>{120 + y * 15 / 560.0, 170 + y * 15 / 560.0,
                                      240 - y * 10 / 560.0};
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rgba picture(c.width, c.height);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        const auto v = c.colour(x, y);
        picture.Set(x, y,
                    {int(std::lround(v[0])), int(std::lround(v[1])), int(std::lround(v[2])), 255});
      }
    const Picture face = Load(picture.Face());
    // Face pixel x takes source pixels from offset + (x - 1) * k on.
    const int k = c.height / 28, offset = (c.width - c.height) / 2;
    const auto block = [&](int x, int y) {
      std::array<double, 3> sum{};
      for (int j = 0; j < k; ++j)
        for (int i = 0; i < k; ++i) {
          const auto v = c.colour(offset + (x - 1) * k + i, (y - 1) * k + j);
          for (int ch = 0; ch < 3; ++ch) sum[ch] += ToLinear(std::lround(v[ch]));
        }
      for (double& s : sum) s = ToSrgb(s / (k * k));
      return sum;
    };
    std::array<double, 3> want{};
    std::vector<double> a, b;
    for (int y = 3; y < 27; ++y)
      for (int x = 3; x < 27; ++x) {
        const auto source = block(x, y);
        for (int ch = 0; ch < 3; ++ch) want[ch] += ToLinear(source[ch]) / 576;
        a.push_back(Grey(source));
        b.push_back(Grey(Shown(face.At(x, y))));
      }
    ExpectNear(FaceMean(face, 3, 3, 27, 27), {ToSrgb(want[0]), ToSrgb(want[1]), ToSrgb(want[2])},
               2);
    // Pearson correlation of the two greys.
    const double ma = std::accumulate(a.begin(), a.end(), 0.0) / 576,
                 mb = std::accumulate(b.begin(), b.end(), 0.0) / 576;
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < a.size(); ++i)
      ab += (a[i] - ma) * (b[i] - mb), aa += (a[i] - ma) * (a[i] - ma),
          bb += (b[i] - mb) * (b[i] - mb);
    const double correlation = ab / std::sqrt(aa * bb);
    if (c.sky) {
      // Each row keeps its own shade, and no two rows in a row are one flat
      // colour: the steps of 16-bit colour are dithered away.
      int flatRun = 0, widest = 0;
      for (int y = 3; y < 27; ++y) {
        ExpectNear(FaceMean(face, 3, y, 27, y + 1), block(3, y), 2.5);
        const bool flat = std::all_of(&face.pixels[y * 30 + 3], &face.pixels[y * 30 + 27],
                                      [&](uint16_t v) { return v == face.At(3, y); });
        flatRun = flat && flatRun && face.At(3, y) == face.At(3, y - 1) ? flatRun + 1 : flat;
        widest = std::max(widest, flatRun);
      }
      EXPECT_LE(widest, 1);
    } else {
      EXPECT_GT(correlation, 0.95);
    }
  }
}

}  // namespace
