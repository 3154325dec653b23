#include "gfx/display_output.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/main_loop.h"
#include "gfx/back_buffer.h"
#include "support/headless_host.h"

namespace {

std::vector<uint32_t> Delivered;

intptr_t RecordingProcedure(WindowHandle, uint32_t message, uintptr_t, intptr_t) {
  Delivered.push_back(message);
  return 0;
}

class DisplayOutputTest : public HeadlessHostTest {
 protected:
  void TearDown() override {
    GXCloseDisplay();
    ReleaseBackBuffer();
    QuitFlag = 0;
    HeadlessHostTest::TearDown();
  }

  // Starts the host with the mode and takes the display's format the way the
  // program does at start-up.
  void Open(host::DisplayMode mode) {
    // A long wait: the end of a script closes the window, which would add
    // its own message to the queue.
    StartHost("wait 1000\n", mode);
    AllocateBackBuffer();
    GXOpenDisplay(nullptr, GXFullScreen);
    const GXDisplayProperties p = GXGetDisplayProperties();
    DisplayFormat = {p.BitsPerPixel, p.PixelPitch, p.RowPitch};
  }

  // Creates a window whose procedure records what reaches it; the host's
  // test messages go to the first window created.
  static void OpenRecordingWindow() {
    Delivered.clear();
    WindowClass windowClass{};
    windowClass.Procedure = RecordingProcedure;
    windowClass.ClassName = "GfxRecorder";
    ASSERT_TRUE(DeclareWindowClass(windowClass));
    ASSERT_NE(CreatePlatformWindow(0, "GfxRecorder", "", 0, 0, 0, 240, 320, nullptr, nullptr,
                                   nullptr, nullptr),
              nullptr);
    Delivered.clear();
  }

  // Every pixel a different value, so a misplaced row or column shows.
  static void FillWithPattern() {
    for (int y = 0; y < ScreenHeight; ++y) {
      for (int x = 0; x < ScreenWidth; ++x) {
        BackBuffer[y * ScreenWidth + x] = static_cast<uint16_t>((y << 8 | x) ^ 0x5A5A);
      }
    }
  }

  // Fills the frame with colours picked by position from the list.
  static void FillWithColours(std::initializer_list<uint16_t> colours) {
    const std::vector<uint16_t> list(colours);
    for (int y = 0; y < ScreenHeight; ++y) {
      for (int x = 0; x < ScreenWidth; ++x) {
        BackBuffer[y * ScreenWidth + x] = list[(x * 7 + y * 3) % list.size()];
      }
    }
  }

  static uint16_t Pixel(int x, int y) { return BackBuffer[y * ScreenWidth + x]; }
  // Display byte at a distance from GXBeginDraw's address.
  static uint8_t At(ptrdiff_t offset) {
    return host::DisplayMemory()[static_cast<size_t>(static_cast<ptrdiff_t>(host::DisplayOrigin()) +
                                                     offset)];
  }
  static uint16_t At16(ptrdiff_t offset) {
    return static_cast<uint16_t>(At(offset) | At(offset + 1) << 8);
  }
  static std::vector<uint8_t> Memory() {
    const auto memory = host::DisplayMemory();
    return {memory.begin(), memory.end()};
  }
  static std::vector<uint8_t> Picture() {
    std::vector<uint8_t> rgb(240 * 320 * 3);
    host::ReadDisplayPicture(std::span<uint8_t, 240 * 320 * 3>(rgb.data(), rgb.size()));
    return rgb;
  }
  static uint32_t Draws() { return host::BeginDrawCount() * 1000 + host::EndDrawCount(); }
};

TEST_F(DisplayOutputTest, SameLayoutIsOneExactCopy) {
  Open(host::DisplayMode::Rgb565);
  FillWithPattern();
  const uint32_t before = Draws();
  CopyFrameToDisplay();
  EXPECT_EQ(Draws(), before + 1001);
  EXPECT_EQ(std::memcmp(host::DisplayMemory().data() + host::DisplayOrigin(), BackBuffer,
                        BackBufferBytes),
            0);
}

TEST_F(DisplayOutputTest, SixteenBitRowsFollowTheRowPitch) {
  Open(host::DisplayMode::Rgb565Wide);
  FillWithPattern();
  const std::vector<uint8_t> before = Memory();
  CopyFrameToDisplay();
  const std::vector<uint8_t> after = Memory();
  const size_t origin = host::DisplayOrigin();
  for (int y = 0; y < ScreenHeight; ++y) {
    const size_t row = origin + static_cast<size_t>(y) * 512;
    ASSERT_EQ(std::memcmp(after.data() + row, BackBuffer + y * ScreenWidth, 480), 0) << y;
    ASSERT_TRUE(std::equal(after.begin() + row + 480, after.begin() + row + 512,
                           before.begin() + row + 480))
        << "padding of row " << y;
  }
}

TEST_F(DisplayOutputTest, NegativeRowPitchWritesLaterRowsLowerInMemory) {
  Open(host::DisplayMode::Rgb565Flipped);
  ASSERT_EQ(DisplayFormat.RowPitch, -480);
  FillWithPattern();
  CopyFrameToDisplay();
  for (int y = 0; y < ScreenHeight; ++y) {
    for (int x = 0; x < ScreenWidth; x += 7) {
      ASSERT_EQ(At16(-480 * y + 2 * x), Pixel(x, y)) << x << "," << y;
    }
  }
}

TEST_F(DisplayOutputTest, SidewaysPanelGetsEveryPixelAndShowsTheFrame) {
  Open(host::DisplayMode::Rgb565Sideways);
  // Black and white by position: the picture is then exact whatever the
  // 565-to-888 expansion.
  for (size_t i = 0; i < BackBufferPixels; ++i) {
    BackBuffer[i] = ((i * 2654435761u) >> 7 & 1) != 0 ? 0xFFFF : 0x0000;
  }
  // Odd pitches are rounded toward minus infinity to whole pixels: the
  // second pass, with the frame inverted, must behave as 640 and -2 too.
  for (const auto& [pixelPitch, rowPitch] : {std::pair{640, -2}, std::pair{641, -1}}) {
    DisplayFormat.PixelPitch = pixelPitch;
    DisplayFormat.RowPitch = rowPitch;
    CopyFrameToDisplay();
    const std::vector<uint8_t> picture = Picture();
    for (size_t i = 0; i < BackBufferPixels; ++i) {
      ASSERT_EQ(picture[3 * i], BackBuffer[i] != 0 ? 255 : 0) << "pixel " << i;
    }
    EXPECT_EQ(At16(640), Pixel(0, 0));
    EXPECT_EQ(At16(640 - 2 * 319 + 640 * 239), Pixel(239, 319));
    EXPECT_EQ(At(0), 0xA5) << "the guard before the block";
    for (size_t i = 0; i < BackBufferPixels; ++i) BackBuffer[i] = ~BackBuffer[i] & 0xFFFF;
  }
}

TEST_F(DisplayOutputTest, FourBitGreyIsColumnsFromTheBottomTwoPixelsAByte) {
  Open(host::DisplayMode::Gray4);
  // Levels (R + G + B) >> 3: 15, 0, 8, 3, 7, 3.
  FillWithColours({0xFFFF, 0x0000, 0x8410, 0xF800, 0x07E0, 0x001F});
  const uint32_t before = Draws();
  CopyFrameToDisplay();
  EXPECT_EQ(Draws(), before + 1001);
  const auto level = [](uint16_t v) { return ((v >> 11) + (v >> 5 & 63) + (v & 31)) >> 3; };
  for (int x = 0; x < ScreenWidth; ++x) {
    for (int k = 0; k < 160; ++k) {
      const int lower = 319 - 2 * k;
      ASSERT_EQ(At(160 * x + k), level(Pixel(x, lower)) << 4 | level(Pixel(x, lower - 1)))
          << x << "," << k;
    }
  }
  EXPECT_EQ(level(0xFFFF), 15);
  EXPECT_EQ(level(0x8410), 8);
  BackBuffer[319 * 240] = 0xFFFF;
  BackBuffer[318 * 240] = 0x8410;
  CopyFrameToDisplay();
  EXPECT_EQ(At(0), 0xF8);
}

TEST_F(DisplayOutputTest, TwoBitGreyTakesTheTopBitsOfRed) {
  Open(host::DisplayMode::Gray2);
  const uint16_t colours[] = {0x07E0, 0x001F, 0xF800, 0xFFFF, 0x8410, 0x4000};
  const int levels[] = {0, 0, 3, 3, 2, 1};
  for (int y = 0; y < ScreenHeight; ++y) {
    for (int x = 0; x < ScreenWidth; ++x) BackBuffer[y * 240 + x] = colours[(x * 5 + y) % 6];
  }
  const auto expectedByte = [&](int y, int k) {
    int byte = 0;
    for (int i = 0; i < 4; ++i) byte = byte << 2 | levels[((4 * k + i) * 5 + y) % 6];
    return byte;
  };
  CopyFrameToDisplay();
  for (int y = 0; y < ScreenHeight; ++y) {
    for (int k = 0; k < 60; ++k) ASSERT_EQ(At(60 * y + k), expectedByte(y, k)) << y << "," << k;
  }

  // A pitch that is not a multiple of 4 is rounded down to whole words:
  // 58 steps 56, so each row overlaps the last and row 319 ends the writes.
  const std::vector<uint8_t> before = Memory();
  DisplayFormat.RowPitch = 58;
  ClearBackBuffer(0);
  CopyFrameToDisplay();
  const std::vector<uint8_t> after = Memory();
  const size_t origin = host::DisplayOrigin();
  for (size_t i = 0; i < 56 * 319 + 60; ++i) ASSERT_EQ(after[origin + i], 0) << i;
  EXPECT_TRUE(std::equal(after.begin() + origin + 56 * 319 + 60, after.end(),
                         before.begin() + origin + 56 * 319 + 60));
}

TEST_F(DisplayOutputTest, OtherDepthsDrawNothingButMessagesStillFlow) {
  Open(host::DisplayMode::Rgb444);
  OpenRecordingWindow();
  FillWithPattern();
  const std::vector<uint8_t> before = Memory();
  const uint32_t draws = Draws();
  host::PostMessageToGameWindow(MessageStylusDown, 0, PackStylusPosition(10, 20));
  host::PostMessageToGameWindow(MessageStylusUp, 0, PackStylusPosition(10, 20));
  PresentFrame();
  EXPECT_EQ(Draws(), draws);
  EXPECT_EQ(Memory(), before);
  EXPECT_EQ(Delivered, (std::vector<uint32_t>{MessageStylusDown, MessageStylusUp}));
  EXPECT_FALSE(PeekPlatformMessage());
}

TEST_F(DisplayOutputTest, NoDisplayAddressSkipsTheCopyButPumpsMessages) {
  Open(host::DisplayMode::Rgb565);
  OpenRecordingWindow();
  FillWithPattern();
  const std::vector<uint8_t> before = Memory();
  host::SetDisplayUnavailable(true);
  host::PostMessageToGameWindow(MessageStylusDown, 0, PackStylusPosition(1, 2));
  const uint32_t begins = host::BeginDrawCount();
  const uint32_t ends = host::EndDrawCount();
  PresentFrame();
  EXPECT_EQ(host::BeginDrawCount(), begins + 1);
  EXPECT_EQ(host::EndDrawCount(), ends);
  EXPECT_EQ(Memory(), before);
  EXPECT_EQ(Delivered, std::vector<uint32_t>{MessageStylusDown});

  host::SetDisplayUnavailable(false);
  PresentFrame();
  EXPECT_EQ(host::EndDrawCount(), ends + 1);
  EXPECT_EQ(At16(2), BackBuffer[1]);
}

TEST_F(DisplayOutputTest, QuitRequestEndsTheLoopAndTheRestOfTheQueueIsStillDelivered) {
  Open(host::DisplayMode::Rgb565);
  OpenRecordingWindow();
  QuitFlag = 0;
  host::PostMessageToGameWindow(MessageStylusDown, 0, 0);
  PostQuitRequest(0);
  host::PostMessageToGameWindow(MessageStylusUp, 0, 0);
  PumpMessages();
  EXPECT_EQ(QuitFlag, 1);
  EXPECT_EQ(Delivered, (std::vector<uint32_t>{MessageStylusDown, MessageStylusUp}));
  EXPECT_FALSE(PeekPlatformMessage());
}

}  // namespace
