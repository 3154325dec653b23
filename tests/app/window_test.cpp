#include "app/window.h"

#include <gtest/gtest.h>

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

  // {message, first parameter, taskbar visible after, shell flags after}
  const struct {
    uint32_t Message;
    uintptr_t First;
    bool Visible;
    uint32_t Flags;
  } steps[] = {
      {MessageActivate, ActivateOff, true, ShownFlags},
      {MessageActivate, ActivateByStylus, true, ShownFlags},  // a click changes nothing
      {MessageActivate, ActivateOn, false, HiddenFlags},
      {MessageActivate, 0x0001'0000u | ActivateOff, true, ShownFlags},  // only the low word
      {MessageEnable, 0, false, HiddenFlags},
      {MessageActivate, ActivateOff, true, ShownFlags},
      {MessageSettingChange, 0, false, HiddenFlags},
  };
  for (const auto& step : steps) {
    EXPECT_EQ(GameWindowProcedure(MainWindow, step.Message, step.First, 0), 0);
    EXPECT_EQ(host::TaskbarVisible(), step.Visible) << step.Message << " " << step.First;
    EXPECT_EQ(host::LastShellFlags(), step.Flags) << step.Message << " " << step.First;
  }

  // Destroying the window asks the program to quit.
  PlatformMessage message{};
  while (PeekPlatformMessage()) TakePlatformMessage(&message);
  EXPECT_EQ(GameWindowProcedure(MainWindow, MessageDestroy, 0, 0), 0);
  ASSERT_TRUE(PeekPlatformMessage());
  EXPECT_FALSE(TakePlatformMessage(&message));
  EXPECT_EQ(message.Message, MessageQuit);
}

}  // namespace
