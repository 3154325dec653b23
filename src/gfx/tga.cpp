#include "gfx/tga.h"

#include <cstddef>
#include <cstdlib>

#include "platform/platform.h"

namespace {

// Fixed places in the two layouts the game's pictures use. The header is
// never read: the caller knows each picture's size and layout.
constexpr size_t HeaderBytes = 18;
constexpr size_t PaletteEntries = 256;
constexpr size_t MappedPixelsAt = HeaderBytes + PaletteEntries * 3;  // 786
// Each read takes a little more than the pixels (2 bytes more for a mapped
// picture, 20 for a direct one); whatever a file holds there is ignored.
constexpr size_t MappedSlack = MappedPixelsAt + 2;  // 788
constexpr size_t DirectSlack = 10;

// Largest working size a load accepts: the sizes must stay 32-bit counts.
constexpr int64_t MaxWorkingBytes = INT32_MAX;

uint16_t PaletteColour(const uint8_t* entry) {
  // Stored blue, green, red; the low bits are cut, not rounded.
  const uint32_t blue = entry[0];
  const uint32_t green = entry[1];
  const uint32_t red = entry[2];
  return static_cast<uint16_t>((red & 0xF8) << 8 | (green & 0xFC) << 3 | blue >> 3);
}

uint16_t DirectColour(const uint8_t* stored) {
  // 1-5-5-5 little endian: five green bits become the top of RGB565's six,
  // so a white pixel comes out 0xFFDF; the attribute bit is dropped.
  const uint32_t v = static_cast<uint32_t>(stored[0]) | static_cast<uint32_t>(stored[1]) << 8;
  return static_cast<uint16_t>(((v >> 10) & 0x1F) << 11 | ((v >> 5) & 0x1F) << 6 | (v & 0x1F));
}

}  // namespace

int32_t LoadTga(const char* path, int32_t width, int32_t height, uint16_t* destination,
                uint8_t colourMapped) {
  // A negative side is an empty picture: the file is still opened and closed
  // as for a 0 x 0 one.
  const int64_t across = width > 0 ? width : 0;
  const int64_t down = height > 0 ? height : 0;
  const int64_t pixels = across * down;
  const int64_t workingBytes =
      colourMapped != 0 ? pixels + static_cast<int64_t>(MappedSlack) : 2 * (pixels + DirectSlack);
  if (workingBytes > MaxWorkingBytes) return 0;

  // Cleared first, so bytes a missing or short file does not supply read as 0.
  auto* working = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(workingBytes), 1));
  if (working == nullptr) return 0;

  // Opening a missing file creates it empty; only a failed open (a missing
  // folder, say) or a failed close leaves the destination untouched.
  const FileHandle file = OpenFileForReading(path);
  if (file == NoFile) {
    std::free(working);
    return 0;
  }
  ReadFromFile(file, working, static_cast<size_t>(workingBytes));
  if (!CloseFile(file)) {
    std::free(working);
    return 0;
  }

  // A picture without pixels has no rows to walk, however many it claims.
  const auto w = static_cast<size_t>(across);
  const auto h = pixels > 0 ? static_cast<size_t>(down) : 0;
  // Stored rows run bottom-up; the Image is top row first.
  if (colourMapped != 0) {
    uint16_t palette[PaletteEntries];
    for (size_t i = 0; i < PaletteEntries; ++i) {
      palette[i] = PaletteColour(working + HeaderBytes + 3 * i);
    }
    for (size_t r = 0; r < h; ++r) {
      const uint8_t* stored = working + MappedPixelsAt + (h - 1 - r) * w;
      uint16_t* out = destination + r * w;
      for (size_t x = 0; x < w; ++x) out[x] = palette[stored[x]];
    }
  } else {
    for (size_t r = 0; r < h; ++r) {
      const uint8_t* stored = working + HeaderBytes + 2 * (h - 1 - r) * w;
      uint16_t* out = destination + r * w;
      for (size_t x = 0; x < w; ++x) out[x] = DirectColour(stored + 2 * x);
    }
  }
  std::free(working);
  return 1;
}
