#include "gfx/tga.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

#include "support/headless_host.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint16_t>;

constexpr uint16_t Untouched = 0xAAAA;

class TgaTest : public HeadlessHostTest {};

TEST_F(TgaTest, LoadsTheCallersSizeAndLayoutAndFailsWithoutWriting) {
  StartHost();
  // A header of junk (the loader goes by the caller's size and layout), then
  // colour map entries 0 to 4 as blue, green, red. Entry 0 gives 0xFC02, so
  // pixels a file leaves out (index 0) are told apart from black; entry 3
  // lies wholly below the cut.
  const uint8_t entries[] = {0x10, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 7, 3, 7, 0xFF, 0, 0};
  Bytes palette(786, 0x5A);
  std::copy(std::begin(entries), std::end(entries), palette.begin() + 18);
  Bytes mappedFile = palette, shortFile = palette, directFile(18, 0x5A);
  // The bottom row is stored first; the last byte lies past the read.
  mappedFile.insert(mappedFile.end(), {0, 1, 2, 3, 4, 0, 0xFF, 0xFF, 0xFF});
  shortFile.insert(shortFile.end(), {1, 1});  // two of four indices
  // Bottom row 0x7FFF, 0xFFFF, 0x001F; top row 0x7C00, 0x03E0, 0x0000.
  directFile.insert(directFile.end(), {0xFF, 0x7F, 0xFF, 0xFF, 0x1F, 0, 0, 0x7C, 0xE0, 0x03, 0, 0});
  // Each row: file (nullptr: none written), width, height, colour-mapped,
  // result, pixels.
  const std::tuple<const char*, const Bytes*, int, int, uint8_t, int, Pixels> cases[] = {
      {"mapped.tga", &mappedFile, 3, 2, 1, 1, {0x0000, 0x001F, 0xFC02, 0xFC02, 0xFFFF, 0x0000}},
      {"direct.tga", &directFile, 3, 2, 0, 1, {0xF800, 0x07C0, 0x0000, 0xFFDF, 0xFFDF, 0x001F}},
      // Bytes a short or missing file does not supply read as 0; a missing
      // file in an existing folder is created empty.
      {"short.tga", &shortFile, 2, 2, 1, 1, {0xFC02, 0xFC02, 0xFFFF, 0xFFFF}},
      {"missing.tga", nullptr, 4, 3, 1, 1, Pixels(12, 0)},
      {"no-folder/b1.tga", nullptr, 3, 3, 1, 0, Pixels(9, Untouched)},
      {"mapped.tga", &mappedFile, 0, 5, 1, 1, {}},
      {"direct.tga", &directFile, 4, -3, 0, 1, {}},
      {"mapped.tga", &mappedFile, INT32_MIN, INT32_MIN, 1, 1, {}},
      // Sizes whose working buffer would not fit a 32-bit count are refused.
      {"mapped.tga", &mappedFile, 46341, 46341, 1, 0, {}},
      {"mapped.tga", &mappedFile, 65536, 65536, 0, 0, {}},
  };
  for (const auto& [name, file, w, h, mapped, result, expected] : cases) {
    const std::string path = (Folder() / name).string();
    if (file != nullptr)
      std::ofstream(path, std::ios::binary) << std::string(file->begin(), file->end());
    // The block has a guard value on each side.
    Pixels block(expected.size() + 2, Untouched);
    EXPECT_EQ(LoadTga(path.c_str(), w, h, block.data() + 1, mapped), result) << name;
    EXPECT_EQ(Pixels(block.begin() + 1, block.end() - 1), expected) << name << " " << w << "x" << h;
    EXPECT_TRUE(block.front() == Untouched && block.back() == Untouched) << name;
  }
  EXPECT_EQ(std::filesystem::file_size(Folder() / "missing.tga"), 0u);
}

}  // namespace
