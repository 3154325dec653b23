// The display memory layouts, one row of the table at the end each, with
// their decoders. Each layout is what some handheld panel really had:
//
//   rgb565           16-bit pixels, rows of 480 bytes, top row first. The
//                    game copies its whole frame in one block.
//   rgb565-wide      16-bit pixels, rows of 512 bytes: 32 bytes past each
//                    row belong to no pixel and are never written.
//   rgb565-flipped   rows bottom-up: the block's first bytes are row 319, and
//                    GXBeginDraw hands out the address of row 0, 319 rows
//                    into the block, with a row pitch of -480.
//   rgb565-sideways  a portrait screen on a landscape panel: each screen
//                    column x is one 640-byte panel line (320 pixels), bottom
//                    pixel first. Pitches: 640 along x, -2 along y. The game
//                    writes such displays from d + 640 when the row pitch is
//                    negative (d being GXBeginDraw's address), so pixel (x, y)
//                    lives at d + 640 - 2y + 640x: the lowest address used is
//                    d + 2 (x 0, y 319), the highest d + 153601. The block is
//                    exactly those 153,600 bytes and d lies 2 bytes before
//                    it, inside the guard space.
//   gray4            240 lines of 160 bytes, line x holding screen column x
//                    from the bottom up, two pixels a byte: byte k of line x
//                    has row 319 - 2k in its high nibble, row 318 - 2k in its
//                    low nibble. The game consults neither pitch.
//   gray2            rows of 60 bytes, four pixels a byte, leftmost in the
//                    two most significant bits; the game stores whole 32-bit
//                    words, so the block starts 4-byte aligned.
//   rgb444           12-bit colour the game cannot draw; it never calls
//                    GXBeginDraw. Kept as 16-bit words (0x0RGB) so the picture
//                    is still defined: black.
#include "platform/display_layouts.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <span>
#include <string_view>

#include "platform/host.h"

namespace host::detail {
namespace {

// A 5- or 6-bit channel widened to 8 bits by repeating its top bits, so that
// full scale stays full scale (31 -> 255, 63 -> 255).
uint32_t Xrgb565(uint32_t v) {
  const uint32_t r = v >> 11, g = v >> 5 & 0x3F, b = v & 0x1F;
  return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

uint32_t Xrgb444(uint32_t v) {
  return (v >> 8 & 15) * 0x110000 | (v >> 4 & 15) * 0x1100 | (v & 15) * 0x11;
}

constexpr uint32_t Grey(uint32_t level) { return level * 0x010101; }

// Converts a run of 16-bit pixels. The words are first copied out of the
// display memory: a local array can alias nothing, so the loop compiles to
// vector instructions.
template <uint32_t (*Convert)(uint32_t), int Count>
void ConvertRun(const uint8_t* from, uint32_t* out) {
  uint16_t words[Count];
  std::memcpy(words, from, sizeof words);
  for (int i = 0; i < Count; ++i) out[i] = Convert(words[i]);
}

// The row-ordered layouts: picture row y is ScreenWidth 16-bit words at
// `top + y * pitch`, so each row converts as one straight run.
template <uint32_t (*Convert)(uint32_t)>
void DecodeRows(const uint8_t* top, const DisplayLayout& layout, uint32_t* out) {
  const ptrdiff_t pitch = layout.RowPitch;
  for (int y = 0; y < ScreenHeight; ++y, top += pitch, out += ScreenWidth) {
    ConvertRun<Convert, ScreenWidth>(top, out);
  }
}

// The column-ordered layouts store the picture turned a quarter: memory runs
// up each screen column. They are read in bands across all the columns, so
// the picture is written a whole row at a time while the few bytes taken
// from each column's line stay in the cache for the next band.

// rgb565-sideways: column x is a 640-byte line at d + 640x + 2 whose first
// pixel is row 319. Eight rows a band: 16 bytes of each line, converted as
// one run into a small tile, then written out row by row.
void DecodeSideways(const uint8_t* d, const DisplayLayout&, uint32_t* out) {
  constexpr int Band = 8;
  static_assert(ScreenHeight % Band == 0);
  uint32_t tile[ScreenWidth][Band];
  for (int j = 0; j < ScreenHeight; j += Band) {
    for (int x = 0; x < ScreenWidth; ++x) {
      ConvertRun<Xrgb565, Band>(d + 640 * x + 2 + 2 * j, tile[x]);
    }
    for (int b = 0; b < Band; ++b) {
      uint32_t* row = out + (ScreenHeight - 1 - j - b) * ScreenWidth;
      for (int x = 0; x < ScreenWidth; ++x) row[x] = tile[x][b];
    }
  }
}

// gray4: column x is a 160-byte line at d + 160x; byte k holds row 319 - 2k
// in its high nibble and row 318 - 2k in its low one.
void DecodeGrey4(const uint8_t* d, const DisplayLayout&, uint32_t* out) {
  static constexpr auto levels = [] {
    std::array<uint32_t, 16> table{};
    for (uint32_t i = 0; i < 16; ++i) table[i] = Grey(17 * i);
    return table;
  }();
  for (int k = 0; k < ScreenHeight / 2; ++k) {
    uint32_t* high = out + (ScreenHeight - 1 - 2 * k) * ScreenWidth;
    uint32_t* low = high - ScreenWidth;
    for (int x = 0; x < ScreenWidth; ++x) {
      const uint8_t byte = d[160 * x + k];
      high[x] = levels[byte >> 4];
      low[x] = levels[byte & 15];
    }
  }
}

// gray2: rows of 60 bytes, four pixels a byte, the leftmost in the top bits.
void DecodeGrey2(const uint8_t* d, const DisplayLayout&, uint32_t* out) {
  static constexpr auto quads = [] {
    std::array<std::array<uint32_t, 4>, 256> table{};
    for (uint32_t byte = 0; byte < 256; ++byte) {
      for (uint32_t i = 0; i < 4; ++i) table[byte][i] = Grey(85 * (byte >> (6 - 2 * i) & 3));
    }
    return table;
  }();
  for (int i = 0; i < ScreenWidth * ScreenHeight / 4; ++i, out += 4) {
    std::memcpy(out, quads[d[i]].data(), sizeof quads[0]);
  }
}

// GXBeginDraw's address lies at Origin in the block; the pitches and depth
// are what the game reads from GXGetDisplayProperties.
constexpr DisplayLayout Layouts[] = {
    // Mode, Name, BlockBytes, Origin, PixelPitch, RowPitch, BitsPerPixel, Decode
    {DisplayMode::Rgb565, "rgb565", 153600, 0, 2, 480, 16, DecodeRows<Xrgb565>},
    {DisplayMode::Rgb565Wide, "rgb565-wide", 512 * 320, 0, 2, 512, 16, DecodeRows<Xrgb565>},
    {DisplayMode::Rgb565Flipped, "rgb565-flipped", 153600, 319 * 480, 2, -480, 16,
     DecodeRows<Xrgb565>},
    {DisplayMode::Rgb565Sideways, "rgb565-sideways", 153600, -2, 640, -2, 16, DecodeSideways},
    // One column a line; a row step is half a byte, which a byte pitch
    // cannot say, so the row pitch reads 0.
    {DisplayMode::Gray4, "gray4", 240 * 160, 0, 160, 0, 4, DecodeGrey4},
    {DisplayMode::Gray2, "gray2", 60 * 320, 0, 0, 60, 2, DecodeGrey2},
    {DisplayMode::Rgb444, "rgb444", 153600, 0, 2, 480, 12, DecodeRows<Xrgb444>},
};

// LayoutOf finds a mode's row by its value.
constexpr bool InModeOrder() {
  for (size_t i = 0; i < std::size(Layouts); ++i) {
    if (static_cast<size_t>(Layouts[i].Mode) != i) return false;
  }
  return true;
}
static_assert(InModeOrder(), "the layouts' rows must follow DisplayMode's order");

}  // namespace

std::span<const DisplayLayout> DisplayLayouts() { return Layouts; }

const DisplayLayout& LayoutOf(DisplayMode mode) {
  const auto index = static_cast<size_t>(mode);
  return index < std::size(Layouts) ? Layouts[index] : Layouts[0];
}

const DisplayLayout* FindDisplayLayout(std::string_view name) {
  for (const DisplayLayout& layout : Layouts) {
    if (layout.Name == name) return &layout;
  }
  return nullptr;
}

}  // namespace host::detail
