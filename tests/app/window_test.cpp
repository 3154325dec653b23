#include "app/window.h"

#include <gtest/gtest.h>

#include "support/headless_host.h"

namespace {

constexpr uint32_t HiddenFlags = 0x2A;
constexpr uint32_t ShownFlags = 0x15;

class GameWindow : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    StartHost();
  }
  void TearDown() override {
    MainWindow = nullptr;
    HeadlessHostTest::TearDown();
  }
  void CreateMainWindow() {
    const WindowClass windowClass{
        0, GameWindowProcedure, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, WindowClassName};
    ASSERT_TRUE(DeclareWindowClass(windowClass));
    MainWindow = CreatePlatformWindow(ExStyleTopMost, WindowClassName, WindowTitle, StyleVisible, 0,
                                      0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(MainWindow, nullptr);
  }
  static void Activate(uint32_t how) { GameWindowProcedure(MainWindow, MessageActivate, how, 0); }
};

TEST_F(GameWindow, BeforeTheWindowExistsOnlyTheTaskbarHides) {
  ASSERT_TRUE(host::TaskbarVisible());
  SetTaskbarVisible(false);
  EXPECT_FALSE(host::TaskbarVisible());
  EXPECT_EQ(host::LastShellFlags(), 0u) << "no full-screen call without a window";
}

TEST_F(GameWindow, CreationTakesTheWholeScreen) {
  CreateMainWindow();
  EXPECT_FALSE(host::TaskbarVisible());
  PlatformRect rect{};
  ASSERT_TRUE(GetPlatformWindowRect(MainWindow, &rect));
  EXPECT_EQ(rect.Left, 0);
  EXPECT_EQ(rect.Top, 0);
  EXPECT_EQ(rect.Right, 240);
  EXPECT_EQ(rect.Bottom, 320);
}

TEST_F(GameWindow, ActivationDecidesWhoOwnsTheScreen) {
  CreateMainWindow();
  Activate(ActivateOff);
  EXPECT_TRUE(host::TaskbarVisible());
  EXPECT_EQ(host::LastShellFlags(), ShownFlags);

  // Brought forward by a stylus click: the taskbar stays as it is.
  Activate(ActivateByStylus);
  EXPECT_TRUE(host::TaskbarVisible());
  EXPECT_EQ(host::LastShellFlags(), ShownFlags);

  Activate(ActivateOn);
  EXPECT_FALSE(host::TaskbarVisible());
  EXPECT_EQ(host::LastShellFlags(), HiddenFlags);

  // Only the low word says how; the high word carries other information.
  Activate(0x0001'0000u | ActivateOff);
  EXPECT_TRUE(host::TaskbarVisible());
}

TEST_F(GameWindow, EnableAndSettingChangesReapplyFullScreen) {
  CreateMainWindow();
  for (uint32_t message : {MessageEnable, MessageSettingChange}) {
    SetTaskbarVisible(true);
    EXPECT_EQ(GameWindowProcedure(MainWindow, message, 0, 0), 0);
    EXPECT_FALSE(host::TaskbarVisible());
    EXPECT_EQ(host::LastShellFlags(), HiddenFlags);
  }
}

TEST_F(GameWindow, DestroyAsksTheProgramToQuit) {
  CreateMainWindow();
  while (PeekPlatformMessage()) {
    PlatformMessage drained{};
    TakePlatformMessage(&drained);
  }
  EXPECT_EQ(GameWindowProcedure(MainWindow, MessageDestroy, 0, 0), 0);
  ASSERT_TRUE(PeekPlatformMessage());
  PlatformMessage message{};
  EXPECT_FALSE(TakePlatformMessage(&message)) << "the quit request ends message taking";
  EXPECT_EQ(message.Message, MessageQuit);
  EXPECT_EQ(message.First, 0u);
}

}  // namespace
