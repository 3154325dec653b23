#include "gfx/tga.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/headless_host.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint16_t>;

constexpr uint16_t Untouched = 0xAAAA;

// An 18-byte header whose fields say nothing true about the picture: the
// loader must go by the caller's size and layout alone.
Bytes MisleadingHeader() {
  Bytes header(18, 0);
  header[2] = 10;     // run-length type
  header[12] = 99;    // width
  header[14] = 7;     // height
  header[16] = 24;    // depth
  header[17] = 0x20;  // top-left origin
  return header;
}

void Append16(Bytes& bytes, std::initializer_list<uint16_t> values) {
  for (const uint16_t v : values) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
  }
}

class TgaTest : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    StartHost();
  }

  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::filesystem::path path = Folder() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }

  // Loads into a block with one guard value on each side.
  static int32_t Load(const std::string& path, int32_t w, int32_t h, uint8_t mapped,
                      Pixels* pixels) {
    const size_t count = w > 0 && h > 0 ? static_cast<size_t>(w) * static_cast<size_t>(h) : 0;
    Pixels block(count + 2, Untouched);
    const int32_t result = LoadTga(path.c_str(), w, h, block.data() + 1, mapped);
    EXPECT_EQ(block.front(), Untouched);
    EXPECT_EQ(block.back(), Untouched);
    pixels->assign(block.begin() + 1, block.end() - 1);
    return result;
  }

  // Header and colour map; entry 0 is 0xFC02 so pixels the file leaves out
  // (index 0) are told apart from black.
  static Bytes ColourMapped() {
    Bytes file = MisleadingHeader();
    Bytes map(768, 0);
    auto set = [&](int i, uint8_t b, uint8_t g, uint8_t r) {
      map[3 * i] = b;
      map[3 * i + 1] = g;
      map[3 * i + 2] = r;
    };
    set(0, 0x10, 0x80, 0xFF);
    set(1, 0xFF, 0xFF, 0xFF);
    set(2, 0x00, 0x00, 0x00);
    set(3, 0x07, 0x03, 0x07);
    set(200, 0xFF, 0x00, 0x00);
    file.insert(file.end(), map.begin(), map.end());
    return file;
  }
};

TEST_F(TgaTest, ColourMappedPixelsGoThroughTheCutPaletteAndComeOutUpright) {
  Bytes file = ColourMapped();
  file.insert(file.end(), {0, 1, 2});    // stored first: the bottom row
  file.insert(file.end(), {3, 200, 0});  // the top row
  const Bytes footer(300, 0xFF);         // anything past the read is ignored
  file.insert(file.end(), footer.begin(), footer.end());
  Pixels pixels;
  EXPECT_EQ(Load(Write("mapped.tga", file), 3, 2, 1, &pixels), 1);
  EXPECT_EQ(pixels, (Pixels{0x0000, 0x001F, 0xFC02, 0xFC02, 0xFFFF, 0x0000}));
}

TEST_F(TgaTest, DirectPixelsLoseTheLowGreenBitAndTheAttribute) {
  Bytes file = MisleadingHeader();
  Append16(file, {0x7FFF, 0xFFFF, 0x001F});  // bottom row
  Append16(file, {0x7C00, 0x03E0, 0x0000});  // top row
  Append16(file, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF,
                  0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF});  // footer
  Pixels pixels;
  EXPECT_EQ(Load(Write("direct.tga", file), 3, 2, 0, &pixels), 1);
  EXPECT_EQ(pixels, (Pixels{0xF800, 0x07C0, 0x0000, 0xFFDF, 0xFFDF, 0x001F}));
}

TEST_F(TgaTest, BytesTheFileDoesNotSupplyReadAsZero) {
  Bytes mapped = ColourMapped();
  mapped.insert(mapped.end(), {1, 1});  // two of the four indices
  Pixels pixels;
  EXPECT_EQ(Load(Write("short.tga", mapped), 2, 2, 1, &pixels), 1);
  EXPECT_EQ(pixels, (Pixels{0xFC02, 0xFC02, 0xFFFF, 0xFFFF}));

  Bytes direct = MisleadingHeader();
  Append16(direct, {0x7C00});
  EXPECT_EQ(Load(Write("short16.tga", direct), 2, 2, 0, &pixels), 1);
  EXPECT_EQ(pixels, (Pixels{0, 0, 0xF800, 0}));

  // A missing file in an existing folder is created empty and loads as 0.
  const std::filesystem::path missing = Folder() / "missing.tga";
  EXPECT_EQ(Load(missing.string(), 4, 3, 1, &pixels), 1);
  EXPECT_EQ(pixels, Pixels(12, 0));
  ASSERT_TRUE(std::filesystem::exists(missing));
  EXPECT_EQ(std::filesystem::file_size(missing), 0u);
}

TEST_F(TgaTest, FailuresLeaveTheDestinationUntouched) {
  Pixels pixels;
  const std::filesystem::path noFolder = Folder() / "no-such-folder" / "b1.tga";
  EXPECT_EQ(Load(noFolder.string(), 3, 3, 1, &pixels), 0);
  EXPECT_EQ(pixels, Pixels(9, Untouched));
  EXPECT_FALSE(std::filesystem::exists(noFolder.parent_path()));

  // Sizes whose working buffer would not fit a 32-bit count are refused.
  const std::string big = Write("big.tga", ColourMapped());
  Pixels guard(4, Untouched);
  EXPECT_EQ(LoadTga(big.c_str(), INT32_MAX, INT32_MAX, guard.data(), 1), 0);
  EXPECT_EQ(LoadTga(big.c_str(), 65536, 65536, guard.data(), 0), 0);
  EXPECT_EQ(LoadTga(big.c_str(), 46341, 46341, guard.data(), 1), 0);
  EXPECT_EQ(guard, Pixels(4, Untouched));
}

TEST_F(TgaTest, EmptyPicturesWriteNothing) {
  const std::string path = Write("empty.tga", ColourMapped());
  Pixels pixels;
  for (const auto& [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 4}, std::pair{4, -3},
                             std::pair{INT32_MIN, INT32_MIN}}) {
    for (const uint8_t mapped : {uint8_t{0}, uint8_t{1}}) {
      EXPECT_EQ(Load(path, w, h, mapped, &pixels), 1) << w << " x " << h;
      EXPECT_TRUE(pixels.empty());
    }
  }
}

}  // namespace
