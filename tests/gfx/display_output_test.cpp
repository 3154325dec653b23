#include "gfx/display_output.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "gfx/back_buffer.h"
#include "support/headless_host.h"

namespace {

using Bytes = std::vector<uint8_t>;
using enum host::DisplayMode;

Bytes Memory() { return {host::DisplayMemory().begin(), host::DisplayMemory().end()}; }

// What a frame must leave in display memory whose pixel (0, 0) is at d,
// written from the display rules, pixel by pixel in the order they land.
// 16-bit: adjacent pixels go row by row at RowPitch; other pixel pitches go
// one by one at both pitches made even (halved toward minus infinity, then
// doubled), from d + 640 when rows run backwards. 2-bit: the top two bits of
// red, four pixels a byte leftmost first, rows 60 bytes apart plus RowPitch's
// excess rounded down to a multiple of 4. 4-bit: (R + G + B) >> 3, a
// 160-byte line per column from the bottom up, the lower pixel of each pair
// in the high nibble.
Bytes Expected(Bytes memory, ptrdiff_t d) {
  const auto [bits, pixelPitch, rowPitch] = DisplayFormat;
  const ptrdiff_t p = (pixelPitch >> 1) * 2, r = (rowPitch >> 1) * 2;
  const ptrdiff_t step = 60 + 4 * ((rowPitch - 60) >> 2);
  for (ptrdiff_t y = 0; y < 320; ++y) {
    for (ptrdiff_t x = 0; x < 240; ++x) {
      const uint16_t v = BackBuffer[y * 240 + x];
      if (bits == 16) {
        const ptrdiff_t at =
            pixelPitch == 2 ? y * rowPitch + 2 * x : (rowPitch < 0 ? 640 : 0) + y * r + x * p;
        std::memcpy(&memory[static_cast<size_t>(d + at)], &v, 2);
      } else if (bits == 2) {
        uint8_t& byte = memory[static_cast<size_t>(d + y * step + x / 4)];
        byte = static_cast<uint8_t>((x % 4 == 0 ? 0 : byte) | (v >> 14) << (6 - 2 * (x % 4)));
      } else if (bits == 4) {
        const int level = ((v >> 11) + (v >> 5 & 63) + (v & 31)) >> 3;
        uint8_t& byte = memory[static_cast<size_t>(d + 160 * x + (319 - y) / 2)];
        byte =
            static_cast<uint8_t>(y % 2 == 1 ? (byte & 0x0F) | level << 4 : (byte & 0xF0) | level);
      }
    }
  }
  return memory;
}

class DisplayOutputTest : public HeadlessHostTest {};

// The whole display memory is compared, guard space included, so a row in
// the wrong place and any write past a row show.
TEST_F(DisplayOutputTest, FramesLandAtTheDisplaysPitches) {
  // The emulated layouts as they report themselves, then odd and unusual
  // pitches over the same memory, a 12-bit display and one that gives no
  // address: neither is drawn. The sideways panel's pixel (0, 0) lies 640
  // bytes past GXBeginDraw's address; its columns may also run up, or lie
  // wider apart, or so close that each column's last pixel falls on the
  // first of the next. With a pixel pitch of 0 a whole row lands on one
  // pixel. Where pixels share an address, the last one stored shows.
  const std::tuple<host::DisplayMode, int32_t, int32_t, bool> cases[] = {
      {Rgb565, 2, 480, true},
      {Rgb565Wide, 2, 512, true},
      {Rgb565Flipped, 2, -480, true},
      {Rgb565Sideways, 640, -2, true},
      {Rgb565Wide, 3, 513, true},
      {Rgb565Sideways, 641, -3, true},
      {Rgb565, -3, 480, true},
      {Gray4, 160, 0, true},
      {Gray2, 0, 60, true},
      {Gray2, 0, 66, true},
      {Gray2, 7, 57, true},
      {Rgb444, 2, 480, false},
      {Rgb565, 2, 480, false},
      {Rgb565Sideways, 640, 2, true},
      {Rgb565Sideways, 642, -2, true},
      {Rgb565Sideways, 638, 2, true},
      {Rgb565, 0, 2, true}};
  AllocateBackBuffer();
  for (const auto& [mode, pixelPitch, rowPitch, drawn] : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(mode) << " pitches "
                                    << pixelPitch << ", " << rowPitch);
    host::Stop();
    StartHost("wait 1000\n", mode);
    GXOpenDisplay(nullptr, GXFullScreen);
    DisplayFormat = {GXGetDisplayProperties().BitsPerPixel, pixelPitch, rowPitch};
    host::SetDisplayUnavailable(mode == Rgb565 && !drawn);
    for (uint32_t i = 0; i < 76800; ++i) BackBuffer[i] = static_cast<uint16_t>(i * 40503);
    const ptrdiff_t d = static_cast<ptrdiff_t>(host::DisplayOrigin());
    const Bytes expected = drawn ? Expected(Memory(), d) : Memory();
    CopyFrameToDisplay();
    EXPECT_TRUE(Memory() == expected);
  }
  ReleaseBackBuffer();
}

}  // namespace
