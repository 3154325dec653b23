// The program's start and end, its frame loop and its window.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "app/entry.h"
#include "app/main_loop.h"
#include "app/window.h"
#include "gfx/back_buffer.h"
#include "gfx/display_output.h"
#include "services/input.h"
#include "services/shared_state.h"
#include "support/headless_host.h"

namespace {

// The taskbar's flags when the game hands the screen back, and takes it.
constexpr uint32_t ShownFlags = 0x15, HiddenFlags = 0x2A;

class App : public HeadlessHostTest {
 protected:
  void TearDown() override {
    MainWindow = nullptr;
    HeadlessHostTest::TearDown();
  }
};

// A run ends with the quit request, or before any frame when the window
// class or the window cannot be made; every end gives the screen back.
TEST_F(App, OpensOnTheTitleWithTheStartUpChimeAndEveryEndGivesTheScreenBack) {
  // Whether the class, or the window, cannot be made; the frames run, the
  // last of them the one that took the quit request.
  const std::tuple<bool, bool, uint32_t> runs[] = {
      {false, false, 4}, {true, false, 0}, {false, true, 0}};
  for (const auto& [classFails, windowFails, frames] : runs) {
    StartHost("wait 3\nquit\n");
    host::SetWindowCreationFails(classFails, windowFails);
    std::tie(StylusX, StylusY, TapConsumed) = std::tuple(120u, 300u, 0);  // no touch of this run's
    EXPECT_EQ(ProgramEntry(nullptr, nullptr, "", ShowNormal), 0);
    EXPECT_EQ(std::tuple(host::FramesRun(), host::TaskbarVisible(), host::DisplayOpen()),
              std::tuple(frames, true, false));
    if (frames != 0) {
      EXPECT_EQ(std::tuple(ScreenState, host::LastShellFlags()),
                std::tuple(ScreenTitle, ShownFlags));
      const auto& sounds = host::SoundRequests();
      ASSERT_EQ(sounds.size(), 1u);
      EXPECT_EQ(sounds[0].Path, (Folder() / "Sound" / "startup.wav").string());
    }
    host::Stop();
  }
}

// A frame lasts 30 ms from its own start, also when the tick counter wraps
// in the middle.
TEST_F(App, FrameWithoutAScreenPresentsTheLastPictureAgainAfterThirtyMilliseconds) {
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

TEST_F(App, WhoOwnsTheScreenFollowsTheWindowsMessages) {
  StartHost();
  // Before the window exists only the taskbar itself can hide.
  SetTaskbarVisible(false);
  EXPECT_FALSE(host::TaskbarVisible());
  EXPECT_EQ(host::LastShellFlags(), 0u);
  SetTaskbarVisible(true);

  const WindowClass windowClass{
      0, GameWindowProcedure, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, WindowClassName};
  ASSERT_TRUE(DeclareWindowClass(windowClass));
  MainWindow = CreatePlatformWindow(ExStyleTopMost, WindowClassName, WindowTitle, StyleVisible, 0,
                                    0, 240, 320, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(MainWindow, nullptr);
  EXPECT_FALSE(host::TaskbarVisible()) << "creation takes the whole screen";

  // Message, first parameter, and whether the taskbar shows after it.
  const std::tuple<uint32_t, uintptr_t, bool> steps[] = {
      {MessageActivate, ActivateOff, true},
      {MessageActivate, ActivateByStylus, true},  // a click changes nothing
      {MessageActivate, ActivateOn, false},
      {MessageActivate, 0x0001'0000u | ActivateOff, true},  // only the low word
      {MessageEnable, 0, false},
      {MessageActivate, ActivateOff, true},
      {MessageSettingChange, 0, false},
  };
  for (const auto& [message, first, visible] : steps) {
    EXPECT_EQ(GameWindowProcedure(MainWindow, message, first, 0), 0);
    EXPECT_EQ(host::TaskbarVisible(), visible) << message << " " << first;
    EXPECT_EQ(host::LastShellFlags(), visible ? ShownFlags : HiddenFlags)
        << message << " " << first;
  }

  // Destroying the window asks the program to quit.
  PlatformMessage message{};
  while (PeekPlatformMessage()) TakePlatformMessage(&message);
  EXPECT_EQ(GameWindowProcedure(MainWindow, MessageDestroy, 0, 0), 0);
  ASSERT_TRUE(PeekPlatformMessage());
  EXPECT_FALSE(TakePlatformMessage(&message));
  EXPECT_EQ(message.Message, MessageQuit);
}

void Stylus(uint32_t message, uint32_t x, uint32_t y) {
  GameWindowProcedure(nullptr, message, 0, PackStylusPosition(x, y));
}

// Only the touch-down point counts: dragging and lifting elsewhere keep it,
// and keys do nothing. Nothing is pending before any touch, and the
// position word is read unsigned: the largest halves come back whole.
TEST(GameWindowStylus, OnlyTheTouchDownMakesATap) {
  TapConsumed = 1;
  EXPECT_FALSE(TakeTap());
  Stylus(MessageStylusDown, 10, 20);
  Stylus(MessageStylusUp, 10, 20);
  Stylus(MessageStylusDown, 200, 310);
  Stylus(MessageStylusMove, 90, 100);
  Stylus(MessageStylusUp, 150, 160);
  EXPECT_EQ(GameWindowProcedure(nullptr, MessageKeyDown, 0x0D, 0), 0);
  EXPECT_EQ(GameWindowProcedure(nullptr, MessageKeyUp, 0x0D, 0), 0);
  EXPECT_TRUE(TakeTap());
  EXPECT_EQ(std::pair(StylusX, StylusY), std::pair(200u, 310u));
  EXPECT_FALSE(TakeTap());
  Stylus(MessageStylusDown, 0xFFFF, 0xFFFF);
  EXPECT_TRUE(TakeTap());
  EXPECT_EQ(std::pair(StylusX, StylusY), std::pair(0xFFFFu, 0xFFFFu));
}

}  // namespace
