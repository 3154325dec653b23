#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "platform/headless_run.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace {

using host::DisplayMode;

// A frame in which neighbouring pixels differ in every channel.
uint16_t Pattern(int x, int y) { return static_cast<uint16_t>(x * 0x0841 + y * 0x1003 + 7); }

std::vector<uint8_t> Picture() {
  std::vector<uint8_t> rgb(240 * 320 * 3);
  host::ReadDisplayPicture(std::span<uint8_t, 240 * 320 * 3>(rgb));
  return rgb;
}

std::array<uint8_t, 3> At(const std::vector<uint8_t>& rgb, int x, int y) {
  const size_t i = (static_cast<size_t>(y) * 240 + x) * 3;
  return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

std::array<uint8_t, 3> Expected565(uint16_t v) {
  const uint32_t r = v >> 11, g = v >> 5 & 63, b = v & 31;
  return {static_cast<uint8_t>(r << 3 | r >> 2), static_cast<uint8_t>(g << 2 | g >> 4),
          static_cast<uint8_t>(b << 3 | b >> 2)};
}

class DisplayMemoryTest : public HeadlessRun {
 protected:
  uint8_t* OpenIn(DisplayMode mode) {
    host::Options options;
    options.Display = mode;
    Restart(options);
    GXOpenDisplay(nullptr, GXFullScreen);
    Before.assign(host::DisplayMemory().begin(), host::DisplayMemory().end());
    auto* d = static_cast<uint8_t*>(GXBeginDraw());
    EXPECT_EQ(d, host::DisplayMemory().data() + host::DisplayOrigin());
    return d;
  }
  // Every byte the writes did not reach is as it was.
  void ExpectOnlyWritten(const std::vector<bool>& written) {
    const auto after = host::DisplayMemory();
    ASSERT_EQ(after.size(), Before.size());
    size_t changedOutside = 0;
    for (size_t i = 0; i < after.size(); ++i) {
      if (!written[i] && after[i] != Before[i]) ++changedOutside;
    }
    EXPECT_EQ(changedOutside, 0u);
  }
  std::vector<uint8_t> Before;
};

// Writes a 16-bit frame exactly as the game does for the reported pitches.
std::vector<bool> WriteLikeTheGame16(uint8_t* d) {
  const GXDisplayProperties p = GXGetDisplayProperties();
  const uint8_t* base = host::DisplayMemory().data();
  std::vector<bool> written(host::DisplayMemory().size());
  const ptrdiff_t start = p.RowPitch < 0 && p.PixelPitch != 2 ? 640 : 0;
  for (int y = 0; y < 320; ++y) {
    for (int x = 0; x < 240; ++x) {
      uint8_t* at = d + start + static_cast<ptrdiff_t>(y) * p.RowPitch +
                    static_cast<ptrdiff_t>(x) * p.PixelPitch;
      const uint16_t v = Pattern(x, y);
      std::memcpy(at, &v, 2);
      written[static_cast<size_t>(at - base)] = written[static_cast<size_t>(at - base) + 1] = true;
    }
  }
  return written;
}

TEST_F(DisplayMemoryTest, SixteenBitLayoutsDecodeWhatTheGameWrote) {
  const struct {
    DisplayMode Mode;
    int32_t PixelPitch, RowPitch;
  } cases[] = {{DisplayMode::Rgb565, 2, 480},
               {DisplayMode::Rgb565Wide, 2, 512},
               {DisplayMode::Rgb565Flipped, 2, -480},
               {DisplayMode::Rgb565Sideways, 640, -2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Mode));
    uint8_t* d = OpenIn(c.Mode);
    ASSERT_NE(d, nullptr);
    const GXDisplayProperties p = GXGetDisplayProperties();
    EXPECT_EQ(p.Width, 240u);
    EXPECT_EQ(p.Height, 320u);
    EXPECT_EQ(p.BitsPerPixel, 16);
    EXPECT_EQ(p.PixelPitch, c.PixelPitch);
    EXPECT_EQ(p.RowPitch, c.RowPitch);
    const std::vector<bool> written = WriteLikeTheGame16(d);
    GXEndDraw();
    ExpectOnlyWritten(written);
    const auto rgb = Picture();
    for (int y = 0; y < 320; y += 7) {
      for (int x = 0; x < 240; x += 3) ASSERT_EQ(At(rgb, x, y), Expected565(Pattern(x, y)));
    }
    EXPECT_EQ(At(rgb, 239, 319), Expected565(Pattern(239, 319)));
  }
}

TEST_F(DisplayMemoryTest, FlippedMemoryIsBottomUp) {
  uint8_t* d = OpenIn(DisplayMode::Rgb565Flipped);
  // Row 0 is the block's last row: the byte after it is guard space.
  EXPECT_EQ(host::DisplayOrigin() + 480, Before.size() - 4096);
  const uint16_t red = 0xF800;
  std::memcpy(d - 319 * 480, &red, 2);  // row 319, first in memory
  EXPECT_EQ(At(Picture(), 0, 319), (std::array<uint8_t, 3>{255, 0, 0}));
}

TEST_F(DisplayMemoryTest, FourBitGreyColumnsRunBottomToTop) {
  uint8_t* d = OpenIn(DisplayMode::Gray4);
  EXPECT_EQ(GXGetDisplayProperties().BitsPerPixel, 4);
  std::vector<bool> written(Before.size());
  // The game's order: line x, row pairs (319, 318) ... (1, 0).
  for (int x = 0; x < 240; ++x) {
    for (int k = 0; k < 160; ++k) {
      const int lower = 319 - 2 * k;
      d[x * 160 + k] = static_cast<uint8_t>(((x + lower) % 16) << 4 | (x + lower - 1) % 16);
      written[host::DisplayOrigin() + static_cast<size_t>(x * 160 + k)] = true;
    }
  }
  ExpectOnlyWritten(written);
  const auto rgb = Picture();
  for (int y = 0; y < 320; ++y) {
    for (int x = 0; x < 240; x += 13) {
      const auto grey = static_cast<uint8_t>(17 * ((x + y) % 16));
      ASSERT_EQ(At(rgb, x, y), (std::array<uint8_t, 3>{grey, grey, grey})) << x << "," << y;
    }
  }
}

TEST_F(DisplayMemoryTest, TwoBitGreyRowsHoldFourPixelsAByte) {
  uint8_t* d = OpenIn(DisplayMode::Gray2);
  const GXDisplayProperties p = GXGetDisplayProperties();
  EXPECT_EQ(p.BitsPerPixel, 2);
  EXPECT_EQ(p.RowPitch, 60);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(d) % 4, 0u);
  std::vector<bool> written(Before.size());
  for (int y = 0; y < 320; ++y) {
    for (int w = 0; w < 15; ++w) {
      uint32_t word = 0;
      for (int b = 0; b < 4; ++b) {
        uint32_t byte = 0;
        for (int i = 0; i < 4; ++i) byte = byte << 2 | ((w * 16 + b * 4 + i + y) % 4);
        word |= byte << (8 * b);
      }
      std::memcpy(d + y * 60 + w * 4, &word, 4);
      for (int i = 0; i < 4; ++i) written[host::DisplayOrigin() + y * 60 + w * 4 + i] = true;
    }
  }
  ExpectOnlyWritten(written);
  const auto rgb = Picture();
  for (int y = 0; y < 320; y += 5) {
    for (int x = 0; x < 240; ++x) {
      const auto grey = static_cast<uint8_t>(85 * ((x + y) % 4));
      ASSERT_EQ(At(rgb, x, y), (std::array<uint8_t, 3>{grey, grey, grey})) << x << "," << y;
    }
  }
}

TEST_F(DisplayMemoryTest, StartsBlackAndRefusesDrawingWhenUnavailable) {
  host::Options options;
  options.Display = DisplayMode::Rgb444;
  Restart(options);
  EXPECT_EQ(GXGetDisplayProperties().BitsPerPixel, 12);
  EXPECT_EQ(GXBeginDraw(), nullptr);  // not open yet
  GXOpenDisplay(nullptr, GXFullScreen);
  EXPECT_TRUE(host::DisplayOpen());
  host::SetDisplayUnavailable(true);
  EXPECT_EQ(GXBeginDraw(), nullptr);
  host::SetDisplayUnavailable(false);
  EXPECT_NE(GXBeginDraw(), nullptr);
  GXEndDraw();
  EXPECT_EQ(host::BeginDrawCount(), 3u);
  EXPECT_EQ(host::EndDrawCount(), 1u);
  for (uint8_t byte : Picture()) ASSERT_EQ(byte, 0);
  GXCloseDisplay();
  EXPECT_FALSE(host::DisplayOpen());
  EXPECT_EQ(GXBeginDraw(), nullptr);
}

}  // namespace
