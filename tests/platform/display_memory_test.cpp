// The emulated displays as the game sees them. What each shows of what the
// game wrote is pinned by the golden runs (tests/golden/), which play the
// whole game in every layout and compare every shot's pixels.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "platform/host.h"
#include "platform/platform.h"
#include "support/headless_host.h"

namespace {

using host::DisplayMode;
using DisplayMemoryTest = HeadlessHostTest;

TEST_F(DisplayMemoryTest, EveryLayoutReportsItsPitchesOnceOpen) {
  const std::tuple<DisplayMode, int32_t, int32_t, int32_t> rows[] = {
      {DisplayMode::Rgb565, 16, 2, 480},         {DisplayMode::Rgb565Wide, 16, 2, 512},
      {DisplayMode::Rgb565Flipped, 16, 2, -480}, {DisplayMode::Rgb565Sideways, 16, 640, -2},
      {DisplayMode::Gray4, 4, 160, 0},           {DisplayMode::Gray2, 2, 0, 60},
      {DisplayMode::Rgb444, 12, 2, 480}};
  uint8_t* d = nullptr;  // the last display's memory
  for (const auto& [mode, bits, pixelPitch, rowPitch] : rows) {
    SCOPED_TRACE(static_cast<int>(mode));
    host::Stop();
    StartHost("wait 0\n", mode);
    EXPECT_EQ(GXBeginDraw(), nullptr);  // not open yet
    GXOpenDisplay(nullptr, GXFullScreen);
    d = static_cast<uint8_t*>(GXBeginDraw());
    ASSERT_NE(d, nullptr);
    GXEndDraw();
    const GXDisplayProperties p = GXGetDisplayProperties();
    EXPECT_EQ(std::tuple(p.Width, p.Height, p.BitsPerPixel, p.PixelPitch, p.RowPitch),
              std::tuple(240u, 320u, bits, pixelPitch, rowPitch));
  }
  // The game never draws on the 12-bit display, so no golden run shows how
  // it reads: 0x0RGB, each channel's four bits times 17, pixel (0, 0) first.
  d[0] = 0xF2;
  d[1] = 0x08;
  std::array<uint8_t, 240 * 320 * 3> rgb{};
  host::ReadDisplayPicture(rgb);
  EXPECT_EQ((std::array{rgb[0], rgb[1], rgb[2]}), (std::array<uint8_t, 3>{0x88, 0xFF, 0x22}));
}

}  // namespace
