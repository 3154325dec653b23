#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <tuple>
#include <vector>

#include "platform/host.h"
#include "platform/platform.h"
#include "support/headless_host.h"

namespace {

using host::DisplayMode;
using DisplayMemoryTest = HeadlessHostTest;

// A frame of scrambled values of `bits` bits: every bit of every channel
// changes from pixel to pixel, so a channel or pixel taken from the wrong
// place shows.
uint16_t Pattern(int x, int y, int bits) {
  const uint32_t h = (static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u);
  return static_cast<uint16_t>(h * 2654435761u >> (32 - bits));
}

// Writes pixel (x, y) the way the game addresses each layout.
void Put(uint8_t* d, const GXDisplayProperties& p, int x, int y, uint16_t v) {
  if (p.BitsPerPixel >= 12) {
    // Sideways memory runs up each column: row 0 sits at the column's far end.
    const ptrdiff_t start = p.RowPitch < 0 && p.PixelPitch != 2 ? 640 : 0;
    std::memcpy(d + start + ptrdiff_t{y} * p.RowPitch + ptrdiff_t{x} * p.PixelPitch, &v, 2);
  } else {
    // Grey levels packed in bytes. Four bits: one column a line, bottom row
    // first, the lower row in the high nibble. Two bits: four pixels a byte,
    // the leftmost in the high bits.
    const bool four = p.BitsPerPixel == 4;
    uint8_t& byte = four ? d[x * 160 + (319 - y) / 2] : d[y * 60 + x / 4];
    const int shift = four ? 4 - 4 * ((319 - y) % 2) : 6 - 2 * (x % 4);
    byte = static_cast<uint8_t>((byte & ~(((1 << p.BitsPerPixel) - 1) << shift)) | v << shift);
  }
}

std::array<uint8_t, 3> Expected(int bits, uint16_t v) {
  if (bits == 12) {  // 0x0RGB, four bits a channel
    return {static_cast<uint8_t>((v >> 8 & 15) * 17), static_cast<uint8_t>((v >> 4 & 15) * 17),
            static_cast<uint8_t>((v & 15) * 17)};
  }
  if (bits != 16) {
    const auto grey = static_cast<uint8_t>(v * 255 / ((1 << bits) - 1));
    return {grey, grey, grey};
  }
  const uint32_t r = v >> 11, g = v >> 5 & 63, b = v & 31;
  return {static_cast<uint8_t>(r << 3 | r >> 2), static_cast<uint8_t>(g << 2 | g >> 4),
          static_cast<uint8_t>(b << 3 | b >> 2)};
}

TEST_F(DisplayMemoryTest, EveryLayoutShowsWhatTheGameWrote) {
  const struct {
    DisplayMode Mode;
    int32_t Bits, PixelPitch, RowPitch;
  } rows[] = {{DisplayMode::Rgb565, 16, 2, 480},         {DisplayMode::Rgb565Wide, 16, 2, 512},
              {DisplayMode::Rgb565Flipped, 16, 2, -480}, {DisplayMode::Rgb565Sideways, 16, 640, -2},
              {DisplayMode::Gray4, 4, 160, 0},           {DisplayMode::Gray2, 2, 0, 60},
              {DisplayMode::Rgb444, 12, 2, 480}};
  for (const auto& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.Mode));
    host::Stop();
    StartHost("wait 0\n", row.Mode);
    EXPECT_EQ(GXBeginDraw(), nullptr);  // not open yet
    GXOpenDisplay(nullptr, GXFullScreen);
    auto* d = static_cast<uint8_t*>(GXBeginDraw());
    ASSERT_NE(d, nullptr);
    const GXDisplayProperties p = GXGetDisplayProperties();
    ASSERT_EQ(std::tuple(p.Width, p.Height, p.BitsPerPixel, p.PixelPitch, p.RowPitch),
              std::tuple(240u, 320u, row.Bits, row.PixelPitch, row.RowPitch));
    for (int i = 0; i < 240 * 320; ++i)
      Put(d, p, i % 240, i / 240, Pattern(i % 240, i / 240, row.Bits));
    GXEndDraw();
    std::vector<uint8_t> rgb(240 * 320 * 3);
    host::ReadDisplayPicture(std::span<uint8_t, 240 * 320 * 3>(rgb));
    for (size_t i = 0; i < 240 * 320; ++i) {
      const int x = static_cast<int>(i % 240), y = static_cast<int>(i / 240);
      ASSERT_EQ((std::array{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]}),
                Expected(row.Bits, Pattern(x, y, row.Bits)))
          << x << "," << y;
    }
  }
}

}  // namespace
