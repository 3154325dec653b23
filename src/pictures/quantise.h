// Reduces a small true-colour picture to the game's colour-mapped form: at
// most 256 palette colours, each an RGB565 value, since the game cuts every
// palette entry to 16 bits before showing it. Colours are chosen and the
// error diffused against those 16-bit colours as the display shows them, so
// the dithering is what reaches the screen rather than something the
// conversion flattens again.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace pictures {

// One pixel as wanted: sRGB components on the 0..255 scale, or, when `exact`
// is an RGB565 value, a colour that must be shown unchanged (a frame pixel:
// it neither takes nor passes on any error).
struct WantedPixel {
  float red = 0;
  float green = 0;
  float blue = 0;
  int32_t exact = -1;
};

struct MappedPicture {
  std::array<uint16_t, 256> palette{};  // RGB565; unused entries are black
  std::vector<uint8_t> indices;         // top row first
};

// The game's see-through colour; no palette entry is ever it, a pixel that
// would be shows 0xF820 (a hair of green) instead, as the generator's do.
constexpr uint16_t KeyColour = 0xF800;

// The 8-bit level the display shows for a colour field of 5 or 6 bits.
constexpr int ShownLevel(int field, int bits) {
  return bits == 5 ? (field << 3 | field >> 2) : (field << 2 | field >> 4);
}

// pixels holds width * height values, top row first.
MappedPicture QuantiseDithered(const std::vector<WantedPixel>& pixels, int width, int height);

}  // namespace pictures
