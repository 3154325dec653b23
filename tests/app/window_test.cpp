#include "app/window.h"

#include <gtest/gtest.h>

#include <utility>

#include "services/input.h"
#include "support/headless_host.h"

namespace {

constexpr uint32_t HiddenFlags = 0x2A;
constexpr uint32_t ShownFlags = 0x15;

class GameWindow : public HeadlessHostTest {
 protected:
  void TearDown() override {
    MainWindow = nullptr;
    HeadlessHostTest::TearDown();
  }
};

TEST_F(GameWindow, WhoOwnsTheScreenFollowsTheWindowsMessages) {
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
// and keys do nothing.
TEST(GameWindowStylus, OnlyTheTouchDownMakesATap) {
  TapConsumed = 1;
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
}

}  // namespace
