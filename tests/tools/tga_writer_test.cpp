// Every picture in the layout the game reads, and the key colour 0xF800
// only where a window is meant to be.
#include <gtest/gtest.h>

#include <string>

#include "tools/asset_files.h"

namespace {

using asset_test::LoadPicture;

struct PictureFile {
  std::string name;
  int width;
  int height;
};

std::vector<PictureFile> AllPictures() {
  std::vector<PictureFile> all;
  for (int n = 1; n <= 40; ++n) all.push_back({"b" + std::to_string(n) + ".tga", 30, 30});
  all.push_back({"block.tga", 30, 30});
  all.push_back({"panel2.tga", 240, 80});
  all.push_back({"backdrop.tga", 240, 240});
  all.push_back({"panel3.tga", 240, 320});
  all.push_back({"panel4.tga", 240, 80});
  all.push_back({"front.tga", 240, 240});
  all.push_back({"highscr.tga", 240, 120});
  all.push_back({"about.tga", 240, 320});
  return all;
}

int CountOf(const asset_test::Picture& p, uint16_t colour) {
  int n = 0;
  for (uint16_t v : p.pixels) n += v == colour;
  return n;
}

TEST(TgaWriter, HeadersAndSizesMatchTheColourMappedLayout) {
  for (const PictureFile& f : AllPictures()) {
    SCOPED_TRACE(f.name);
    const auto bytes = asset_test::ReadBytes(asset_test::BuiltFolder() / "Graph" / f.name);
    ASSERT_EQ(bytes.size(), static_cast<size_t>(18 + 768 + f.width * f.height));
    EXPECT_EQ(bytes[0], 0);  // no id
    EXPECT_EQ(bytes[1], 1);  // colour map
    EXPECT_EQ(bytes[2], 1);  // uncompressed, colour-mapped
    EXPECT_EQ(bytes[3] | bytes[4] << 8, 0);
    EXPECT_EQ(bytes[5] | bytes[6] << 8, 256);
    EXPECT_EQ(bytes[7], 24);
    EXPECT_EQ(bytes[8] | bytes[9] << 8 | bytes[10] << 16 | bytes[11] << 24, 0);
    EXPECT_EQ(bytes[12] | bytes[13] << 8, f.width);
    EXPECT_EQ(bytes[14] | bytes[15] << 8, f.height);
    EXPECT_EQ(bytes[16], 8);
    EXPECT_EQ(bytes[17], 0);  // bottom-left origin
  }
}

TEST(TgaWriter, KeyColourOnlyInTheTitleWindowAndTheBanner) {
  for (const PictureFile& f : AllPictures()) {
    SCOPED_TRACE(f.name);
    const auto p = LoadPicture(f.name, f.width, f.height);
    ASSERT_TRUE(p.loaded);
    const int keyed = CountOf(p, 0xF800);
    const int total = f.width * f.height;
    if (f.name == "front.tga") {
      // The moth and the name: a large window, but framed by artwork.
      EXPECT_GT(keyed, total / 6);
      EXPECT_LT(keyed, total * 2 / 3);
      // The frame stays opaque: corners and the bottom text line.
      EXPECT_NE(p.At(0, 0), 0xF800);
      EXPECT_NE(p.At(239, 239), 0xF800);
      // Windows are shapes, never specks the turning picture blinks through:
      // every 4-connected region of key colour has at least six pixels.
      std::vector<bool> seen(total);
      for (int start = 0; start < total; ++start) {
        if (seen[start] || p.At(start % 240, start / 240) != 0xF800) continue;
        std::vector<int> stack{start};
        seen[start] = true;
        int size = 0;
        while (!stack.empty()) {
          const int at = stack.back();
          stack.pop_back();
          ++size;
          for (const int next :
               {at - 240, at + 240, at % 240 > 0 ? at - 1 : -1, at % 240 < 239 ? at + 1 : -1}) {
            if (next < 0 || next >= total || seen[next] || p.At(next % 240, next / 240) != 0xF800)
              continue;
            seen[next] = true;
            stack.push_back(next);
          }
        }
        EXPECT_GE(size, 6) << "a window of " << size << " pixels at " << start % 240 << ", "
                           << start / 240;
      }
    } else if (f.name == "highscr.tga") {
      const int black = CountOf(p, 0x0000);
      EXPECT_GT(keyed, total / 3);
      EXPECT_GT(black, total / 20);
      EXPECT_GT(total - keyed - black, total / 20);  // the letters themselves
      EXPECT_EQ(p.At(0, 0), 0xF800);
    } else {
      EXPECT_EQ(keyed, 0);
    }
  }
}

TEST(TgaWriter, BackdropTilesWithoutAHardSeam) {
  // The title tiles the backdrop: the jump across the wrap should look like
  // any other step between neighbouring columns and rows.
  const auto p = LoadPicture("backdrop.tga", 240, 240);
  ASSERT_TRUE(p.loaded);
  auto step = [&](int x0, int y0, int x1, int y1) {
    return std::abs(asset_test::Brightness(p.At(x0, y0)) - asset_test::Brightness(p.At(x1, y1)));
  };
  double wrap = 0, inner = 0;
  for (int i = 0; i < 240; ++i) {
    wrap += step(239, i, 0, i) + step(i, 239, i, 0);
    inner += step(119, i, 120, i) + step(i, 119, i, 120);
  }
  EXPECT_LT(wrap, inner * 2.0 + 240.0);
}

}  // namespace
