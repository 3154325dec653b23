#include "app/main_loop.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/entry.h"
#include "gfx/back_buffer.h"
#include "gfx/display_output.h"
#include "services/shared_state.h"
#include "support/headless_host.h"

namespace {

class MainLoop : public HeadlessHostTest {};

// A frame lasts 30 ms from its own start, also when the tick counter wraps
// in the middle.
TEST_F(MainLoop, FrameWithoutAScreenPresentsTheLastPictureAgainAfterThirtyMilliseconds) {
  StartHost("wait 0\n", host::DisplayMode::Rgb565, 0xFFFF'FFE0u);
  AllocateBackBuffer();
  GXOpenDisplay(nullptr, GXFullScreen);
  const GXDisplayProperties p = GXGetDisplayProperties();
  DisplayFormat = {p.BitsPerPixel, p.PixelPitch, p.RowPitch};
  ClearBackBuffer(0x5A);
  const uint32_t presented = host::EndDrawCount();
  MarkFrameStart();  // the frame before, 20 ms ago
  SleepMilliseconds(20);
  const uint32_t before = TickCount();

  ScreenState = 3;
  RunFrame();

  EXPECT_EQ(host::EndDrawCount(), presented + 1);
  EXPECT_EQ(TickCount(), before + 30) << "from " << before;
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
