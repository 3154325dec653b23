// The generator's pictures as the game reads them. Every one in the layout
// the game reads, with the key colour 0xF800 only where a window is meant to
// be. Tile faces must be told apart in grey, by their outline first
// (colour-blind players, grey displays), carry no stray specks, and share
// the frame but not the look of the back. The controls are drawn exactly
// where the game tests taps, with plain wells where it prints numbers. The
// effects as the platform plays them: valid 16-bit PCM, short, not clipped,
// similar in level, and quiet at both ends so nothing pops.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/png_file.h"
#include "tools/asset_files.h"

namespace {

using namespace asset_test;

TEST(TgaWriter, ColourMappedPicturesWithTheKeyColourOnlyInWindows) {
  std::vector<std::tuple<std::string, int, int>> pictures = {
      {"block.tga", 30, 30},     {"panel2.tga", 240, 80}, {"backdrop.tga", 240, 240},
      {"panel3.tga", 240, 320},  {"panel4.tga", 240, 80}, {"front.tga", 240, 240},
      {"highscr.tga", 240, 120}, {"about.tga", 240, 320}};
  for (int n = 1; n <= 40; ++n) pictures.emplace_back("b" + std::to_string(n) + ".tga", 30, 30);
  for (const auto& [name, width, height] : pictures) {
    SCOPED_TRACE(name);
    const auto bytes = ReadBytes(BuiltFolder() / "Graph" / name);
    ASSERT_EQ(bytes.size(), static_cast<size_t>(18 + 768 + width * height));
    // No id, a 256-entry 24-bit colour map, 8-bit pixels from the bottom left.
    const uint8_t w = width & 255, h = height & 255, high = height >> 8;
    const std::vector<uint8_t> header = {0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, w, 0, h, high, 8, 0};
    EXPECT_EQ(std::vector(bytes.begin(), bytes.begin() + 18), header);

    const auto p = LoadPicture(name, width, height);
    const int total = width * height;
    const auto keyed = std::ranges::count(p.pixels, 0xF800),
               black = std::ranges::count(p.pixels, 0);
    if (name == "highscr.tga") {
      // Black-edged letters on a transparent banner.
      EXPECT_GT(keyed, total / 3);
      EXPECT_GT(black, total / 20);
      EXPECT_GT(total - keyed - black, total / 20);
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
        const int size = Flood(width, height, seen, {{x, y}},
                               [&](int px, int py) { return p.At(px, py) == 0xF800; });
        EXPECT_TRUE(size == 0 || size >= 6)
            << "a window of " << size << " pixels at " << x << ", " << y;
      }
  }
}

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
  Flood(24, 24, outline, edge, [&](int x, int y) { return p.At(x + 3, y + 3) == p.At(2, y + 3); });
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
  std::vector<Picture> faces;
  std::vector<std::vector<uint8_t>> outlines;
  for (int n = 1; n <= 40; ++n) {
    SCOPED_TRACE("face " + std::to_string(n));
    const Picture& face = faces.emplace_back(LoadPicture("b" + std::to_string(n) + ".tga", 30, 30));
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

// A control stands out when its inside differs clearly from a 3-pixel band
// around it.
void ExpectStandsOut(const Picture& p, Rect r, const char* what) {
  const double inside = MeanBrightness(p, r);
  const double around = MeanBrightness(p, {r.x0 - 3, r.y0 - 3, r.x1 + 3, r.y1 + 3}, &r);
  EXPECT_GT(std::fabs(inside - around), 40.0) << what << ": " << inside << " vs " << around;
}

// Numbers need one plain dark colour behind them.
void ExpectPlain(const Picture& p, Rect r, const char* what) {
  std::set<uint16_t> colours;
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) colours.insert(p.At(x, y));
  EXPECT_EQ(colours.size(), 1u) << what;
  EXPECT_LT(Brightness(*colours.begin()), 200) << what;
}

TEST(Panels, PlayPanelControlsAndCounters) {
  const Picture p = LoadPicture("panel2.tga", 240, 80);
  // Screen rows 240..319 are panel rows 0..79.
  ExpectStandsOut(p, {223, 1, 239, 15}, "sound toggle");
  ExpectStandsOut(p, {0, 55, 55, 79}, "about");
  ExpectStandsOut(p, {63, 55, 173, 79}, "board selection");
  ExpectStandsOut(p, {190, 55, 239, 79}, "quit");
  // Three digits and their shadow at (63, 257); up to four at (177, 257).
  ExpectPlain(p, {63, 17, 112, 32}, "time");
  ExpectPlain(p, {177, 17, 239, 32}, "moves");
}

TEST(Panels, SelectScreenButtonsAndRecordWells) {
  const Picture p = LoadPicture("panel3.tga", 240, 320);
  for (int j = 0; j < 6; ++j) {
    const int x0 = 124 + 37 * (j % 3);
    const int y0 = 3 + 18 * (j / 3);
    // The gaps between size buttons are only 2 or 3 pixels, so compare the
    // button's plate with its own label-free rim rather than a band.
    EXPECT_GT(MeanBrightness(p, {x0, y0, x0 + 33, y0 + 15}),
              MeanBrightness(p, {x0 - 3, 40, x0 + 36, 42}) + 40)
        << "size " << j;
  }
  ExpectStandsOut(p, {0, 44, 60, 72}, "start");
  ExpectStandsOut(p, {180, 44, 239, 72}, "back");
  for (int i = 0; i < 6; ++i) {
    const int y = 96 + 40 * i;
    ExpectPlain(p, {95, y, 144, y + 15}, "best time");
    ExpectPlain(p, {174, y, 238, y + 15}, "fewest moves");
  }
}

TEST(Sounds, FiveShortLevelPcmEffects) {
  double quietest = 1e9, loudest = 0;
  for (const char* name : {"new.wav", "select.wav", "click.wav", "fade.wav", "startup.wav"}) {
    SCOPED_TRACE(name);
    const auto b = ReadBytes(BuiltFolder() / "Sound" / name);
    ASSERT_GT(b.size(), 44u);
    const auto at = [&](size_t i, int bytes) {
      uint32_t v = 0;
      for (int k = bytes - 1; k >= 0; --k) v = v << 8 | b[i + static_cast<size_t>(k)];
      return v;
    };
    const uint32_t size = static_cast<uint32_t>(b.size()), rate = at(24, 4), data = at(40, 4);
    const uint32_t count = data / 2;
    EXPECT_TRUE(rate == 22050 || rate == 44100);
    // RIFF and its size, a 16-byte format block of mono 16-bit PCM (format
    // 1, 1 channel, rate, bytes a second, 2 bytes a frame, 16 bits), data.
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4) + std::string(b.begin() + 8, b.begin() + 16) +
                  std::string(b.begin() + 36, b.begin() + 40),
              "RIFFWAVEfmt data");
    ASSERT_EQ((std::vector{at(4, 4), at(16, 4), at(20, 2), at(22, 2), at(28, 4), at(32, 2),
                           at(34, 2), data}),
              (std::vector<uint32_t>{size - 8, 16, 1, 1, rate * 2, 2, 16, size - 44}));
    EXPECT_LE(static_cast<double>(count) / rate, 1.5);
    EXPECT_GE(static_cast<double>(count) / rate, 0.03);
    const auto sample = [&](uint32_t i) {
      return std::abs(static_cast<int16_t>(at(44 + 2 * i, 2)));
    };
    int peak = 0;
    for (uint32_t i = 0; i < count; ++i) peak = std::max(peak, sample(i));
    EXPECT_LT(peak, 32767);
    quietest = std::min(quietest, static_cast<double>(peak));
    loudest = std::max(loudest, static_cast<double>(peak));
    EXPECT_LT(sample(0), 300);
    EXPECT_LT(sample(count - 1), 300);
  }
  EXPECT_LT(20.0 * std::log10(loudest / quietest), 1.0);  // within 1 dB
}

// The generator as the build runs it: one output folder argument, and the
// same bytes on every run; and the desktop menu's icons it draws: one
// picture drawn at each theme size, sharp at every one of them rather than
// one picture scaled.
#ifdef QUILLMOTH_ASSET_TOOL
namespace fs = std::filesystem;

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
  // 41 tiles, 7 screens and overlays, 5 sounds and the icon, and the
  // Graph and Sound folders.
  EXPECT_EQ(files.size(), 56u);
  EXPECT_TRUE(files == ReadTree(b));
  for (const auto& [name, bytes] : files) EXPECT_EQ(ReadBytes(BuiltFolder() / name), bytes) << name;
  // The menu's icons at the six theme sizes, apart from the program's files.
  const auto menuIcons = ReadTree(icons);
  EXPECT_EQ(menuIcons.size(), 6u);
  for (const auto& [name, bytes] : menuIcons)
    EXPECT_EQ(ReadBytes(BuiltFolder() / "icons" / name), bytes) << name;
  fs::remove_all(scratch);
}

TEST(Icon, EveryThemeSizeIsDrawnSharpAndTheWindowIconIsTheSixtyFourPixelOne) {
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size) + ".png";
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(host::detail::ReadPngRgba((BuiltFolder() / "icons" / name).string(), &width,
                                          &height, &rgba))
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
  EXPECT_EQ(ReadBytes(BuiltFolder() / "quillmoth.png"),
            ReadBytes(BuiltFolder() / "icons" / "64x64.png"));
}
#endif

}  // namespace
