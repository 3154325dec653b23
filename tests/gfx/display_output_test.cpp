#include "gfx/display_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

#include "app/main_loop.h"
#include "gfx/back_buffer.h"
#include "support/headless_host.h"

namespace {

using Bytes = std::vector<uint8_t>;
using enum host::DisplayMode;

std::vector<uint32_t> Delivered;
intptr_t Log(WindowHandle, uint32_t m, uintptr_t, intptr_t) { return Delivered.push_back(m), 0; }

Bytes Memory() { return {host::DisplayMemory().begin(), host::DisplayMemory().end()}; }

class DisplayOutputTest : public HeadlessHostTest {
 protected:
  void TearDown() override {
    ReleaseBackBuffer();
    QuitFlag = 0;
    HeadlessHostTest::TearDown();
  }

  // Takes the display's format the way start-up does. The long wait keeps the
  // script's end from queueing a close message of its own.
  void Open(host::DisplayMode mode) {
    host::Stop();
    StartHost("wait 1000\n", mode);
    AllocateBackBuffer();
    GXOpenDisplay(nullptr, GXFullScreen);
    const GXDisplayProperties p = GXGetDisplayProperties();
    DisplayFormat = {p.BitsPerPixel, p.PixelPitch, p.RowPitch};
  }
};

// The whole display memory is compared, so a row in the wrong place and any
// write past a row (the padding of a 512-byte row, the guards) show. Messages
// are dispatched after every frame, drawn or not, and a quit request among
// them ends the loop without cutting the queue short.
TEST_F(DisplayOutputTest, FramesLandAtTheDisplaysPitchesAndMessagesAlwaysFlow) {
  // Pixel pitch 2 with row pitch 480, 512 and -480; the sideways panel (640,
  // -2), whose pixel (0, 0) lies 640 bytes past GXBeginDraw's address; then a
  // 12-bit display and one that gives no address, where nothing is drawn.
  const std::tuple<host::DisplayMode, ptrdiff_t, bool> cases[] = {
      {Rgb565, 0, true},           {Rgb565Wide, 0, true}, {Rgb565Flipped, 0, true},
      {Rgb565Sideways, 640, true}, {Rgb444, 0, false},    {Rgb565, 0, false}};
  for (const auto& [mode, start, drawn] : cases) {
    Open(mode);
    // The host's test messages go to the first window created.
    DeclareWindowClass({0, Log, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "GfxRecorder"});
    CreatePlatformWindow(0, "GfxRecorder", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    host::SetDisplayUnavailable(mode == Rgb565 && !drawn);
    host::PostMessageToGameWindow(MessageStylusDown, 0, 0);
    PostQuitRequest(0);
    host::PostMessageToGameWindow(MessageStylusUp, 0, 0);
    Bytes expected = Memory();
    for (ptrdiff_t i = 0; i < 76800; ++i) {
      BackBuffer[i] = static_cast<uint16_t>(i * 40503);  // neighbours all differ
      const ptrdiff_t at = static_cast<ptrdiff_t>(host::DisplayOrigin()) + start +
                           i / 240 * DisplayFormat.RowPitch + i % 240 * DisplayFormat.PixelPitch;
      if (drawn) std::memcpy(&expected[static_cast<size_t>(at)], &BackBuffer[i], 2);
    }
    Delivered.clear();
    QuitFlag = 0;
    PresentFrame();
    EXPECT_TRUE(Memory() == expected) << static_cast<int>(mode);
    EXPECT_EQ(Delivered, (std::vector<uint32_t>{MessageStylusDown, MessageStylusUp}));
    EXPECT_EQ(QuitFlag, 1);
  }
}

TEST_F(DisplayOutputTest, GreyDisplaysShowLevelsPackedInThePanelsOrder) {
  // A one-colour frame shows its level in every 2- or 4-bit field of its
  // bytes; one pixel marked in another colour shows where each pixel goes.
  // 2-bit: 60 bytes a row, the leftmost pixel in the top two bits. 4-bit: a
  // 160-byte line per column from the bottom up, the lower pixel of each pair
  // in the high nibble. Each row: display, colour, its byte, marked pixel,
  // its colour, the byte it falls in and that byte's value.
  const std::tuple<host::DisplayMode, uint16_t, uint8_t, int, uint16_t, size_t, uint8_t> cases[] = {
      {Gray2, 0x07E0, 0x00, 0, 0xFFFF, 0, 0xC0},
      {Gray2, 0x001F, 0x00, 5, 0x8410, 1, 0x20},
      {Gray2, 0xF800, 0xFF, 240 + 239, 0x4000, 119, 0xFD},
      {Gray2, 0xFFFF, 0xFF, 0, 0x0000, 0, 0x3F},
      {Gray2, 0x8410, 0xAA, 0, 0x07E0, 0, 0x2A},
      {Gray4, 0xFFFF, 0xFF, 319 * 240 + 1, 0x0000, 160, 0x0F},
      {Gray4, 0x0000, 0x00, 318 * 240, 0x8410, 0, 0x08},
      {Gray4, 0x8410, 0x88, 319 * 240, 0xFFFF, 0, 0xF8}};
  for (const auto& [mode, colour, byte, pixel, mark, at, marked] : cases) {
    Open(mode);
    std::fill_n(BackBuffer, BackBufferPixels, colour);
    BackBuffer[pixel] = mark;
    Bytes expected = Memory();
    const auto origin = expected.begin() + static_cast<ptrdiff_t>(host::DisplayOrigin());
    std::fill_n(origin, 76800 * DisplayFormat.BitsPerPixel / 8, byte);
    origin[static_cast<ptrdiff_t>(at)] = marked;
    CopyFrameToDisplay();
    EXPECT_TRUE(Memory() == expected) << colour;
  }
}

}  // namespace
