#include "app/main_loop.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/entry.h"
#include "app/input.h"
#include "gfx/back_buffer.h"
#include "gfx/display_output.h"
#include "support/headless_host.h"

namespace {

class MainLoop : public HeadlessHostTest {};

TEST_F(MainLoop, PauseLastsThirtyMillisecondsAcrossTheTickWrap) {
  StartHost("wait 0\n", host::DisplayMode::Rgb565, 0xFFFF'FFF0u);
  MarkFrameStart();
  PauseForNextFrame();
  EXPECT_EQ(TickCount(), 0x0000'000Eu) << "the counter wrapped and 30 ms passed";
  EXPECT_EQ(MillisecondsSinceFrameMark(), 30);
}

TEST_F(MainLoop, FrameWithoutAScreenPresentsTheLastPictureAgain) {
  StartHost();
  AllocateBackBuffer();
  GXOpenDisplay(nullptr, GXFullScreen);
  const GXDisplayProperties p = GXGetDisplayProperties();
  DisplayFormat = {p.BitsPerPixel, p.PixelPitch, p.RowPitch};
  ClearBackBuffer(0x5A);
  const uint32_t presented = host::EndDrawCount();
  const uint32_t before = TickCount();

  ScreenState = 3;
  RunFrame();

  EXPECT_EQ(host::EndDrawCount(), presented + 1);
  EXPECT_EQ(TickCount() - before, 30u);
  const uint16_t* frame = GetBackBuffer();
  EXPECT_TRUE(std::all_of(frame, frame + BackBufferPixels, [](uint16_t v) { return v == 0x5A5A; }));
  GXCloseDisplay();
  ReleaseBackBuffer();
  ScreenState = ScreenTitle;
}

// A touch made while the pictures load waits in the queue; the title's first
// frame dispatches it and only its second frame can take it.
TEST_F(MainLoop, TapDuringStartUpIsTakenInTheSecondTitleFrame) {
  StartHost("tap 120 300\nquit\n");
  EXPECT_EQ(ProgramEntry(nullptr, nullptr, "", ShowNormal), 0);
  EXPECT_EQ(host::FramesRun(), 1u);
  EXPECT_EQ(ScreenState, ScreenTitle);
  host::Stop();

  StartHost("tap 120 300\nwait 1\nquit\n");
  EXPECT_EQ(ProgramEntry(nullptr, nullptr, "", ShowNormal), 0);
  EXPECT_EQ(host::FramesRun(), 2u);
  EXPECT_EQ(ScreenState, ScreenBoardSelect);
}

}  // namespace
