#include <gtest/gtest.h>

#include <vector>

#include "platform/headless_run.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace {

struct Seen {
  WindowHandle Window;
  uint32_t Message;
  uintptr_t First;
  intptr_t Second;
};
std::vector<Seen> seen;

intptr_t Record(WindowHandle window, uint32_t message, uintptr_t first, intptr_t second) {
  seen.push_back({window, message, first, second});
  return message == MessageDestroy ? 77 : 0;
}

class MessagesTest : public HeadlessRun {
 protected:
  void SetUp() override {
    HeadlessRun::SetUp();
    seen.clear();
  }
  WindowHandle CreateGameWindow() {
    WindowClass windowClass{};
    windowClass.Procedure = Record;
    windowClass.ClassName = "Quillmoth";
    windowClass.Icon = LoadIconResource(GetProgramInstance(), 101);
    if (!DeclareWindowClass(windowClass)) return nullptr;
    return CreatePlatformWindow(ExStyleTopMost, "Quillmoth", "Quillmoth", StyleVisible, 0, 0, 240,
                                320, nullptr, nullptr, GetProgramInstance(), nullptr);
  }
};

TEST_F(MessagesTest, CreationAndFirstShowingReachTheProcedureAtOnce) {
  const WindowHandle window = CreateGameWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].Message, MessageCreate);
  EXPECT_EQ(seen[0].Window, window);
  EXPECT_FALSE(host::WindowShown());
  EXPECT_TRUE(ShowPlatformWindow(window, ShowNormal));
  EXPECT_TRUE(host::WindowShown());
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].Message, MessageActivate);
  EXPECT_EQ(seen[1].First, ActivateOn);
  ShowPlatformWindow(window, ShowShow);  // already shown once: no new activation
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(FindTopLevelWindow("Quillmoth"), window);

  PlatformRect rect;
  ASSERT_TRUE(GetPlatformWindowRect(window, &rect));
  EXPECT_EQ(rect.Right, 240);
  EXPECT_EQ(rect.Bottom, 320);
  EXPECT_TRUE(MovePlatformWindow(window, 0, 0, 240, 320, true));
  EXPECT_TRUE(UpdatePlatformWindow(window));
}

TEST_F(MessagesTest, QueueKeepsOrderAndEndsAtTheQuitRequest) {
  const WindowHandle window = CreateGameWindow();
  seen.clear();
  EXPECT_FALSE(PeekPlatformMessage());
  host::PostMessageToGameWindow(MessageStylusDown, 0, PackStylusPosition(10, 300));
  host::PostMessageToGameWindow(MessageStylusUp, 0, PackStylusPosition(11, 301));
  host::PostMessageToGameWindow(MessageDestroy, 0, 0);
  PostQuitRequest(3);
  host::PostMessageToGameWindow(MessageKeyDown, 42, 0);

  PlatformMessage message;
  std::vector<uint32_t> order;
  while (PeekPlatformMessage()) {
    const bool more = TakePlatformMessage(&message);
    if (!more) {
      EXPECT_EQ(message.Message, MessageQuit);
      EXPECT_EQ(message.Window, nullptr);
      EXPECT_EQ(message.First, 3u);
      break;
    }
    EXPECT_EQ(message.Window, window);
    TranslatePlatformMessage(message);
    const intptr_t result = DispatchPlatformMessage(message);
    EXPECT_EQ(result, message.Message == MessageDestroy ? 77 : 0);
  }
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].Message, MessageStylusDown);
  EXPECT_EQ(seen[0].Second, PackStylusPosition(10, 300));
  EXPECT_EQ(seen[1].Second, PackStylusPosition(11, 301));
  EXPECT_EQ(seen[2].Message, MessageDestroy);
  // The message behind the quit request is still waiting.
  ASSERT_TRUE(PeekPlatformMessage());
  EXPECT_TRUE(TakePlatformMessage(&message));
  EXPECT_EQ(message.First, 42u);
}

TEST_F(MessagesTest, TaskbarHidesAndShowsAndTheShellFlagsAreKept) {
  const WindowHandle taskbar = FindTopLevelWindow("HHTaskbar");
  ASSERT_NE(taskbar, nullptr);
  EXPECT_TRUE(host::TaskbarVisible());
  EXPECT_TRUE(ShowPlatformWindow(taskbar, ShowHide));
  EXPECT_FALSE(host::TaskbarVisible());
  EXPECT_TRUE(ShowPlatformWindow(taskbar, ShowShow));
  EXPECT_TRUE(host::TaskbarVisible());

  EXPECT_FALSE(ShellFullScreen(nullptr, 0x2A));  // no window, no record
  EXPECT_EQ(host::LastShellFlags(), 0u);
  const WindowHandle window = CreateGameWindow();
  EXPECT_TRUE(ShellFullScreen(window, 0x2A));
  EXPECT_EQ(host::LastShellFlags(), 0x2Au);
  EXPECT_TRUE(ShellFullScreen(window, 0x15));
  EXPECT_EQ(host::LastShellFlags(), 0x15u);
  EXPECT_EQ(FindTopLevelWindow("NoSuchClass"), nullptr);
}

TEST_F(MessagesTest, CreationCanBeMadeToFailAndStopForgetsEverything) {
  host::SetWindowCreationFails(true, false);
  EXPECT_EQ(CreateGameWindow(), nullptr);
  host::SetWindowCreationFails(false, true);
  EXPECT_EQ(CreateGameWindow(), nullptr);
  EXPECT_TRUE(seen.empty());

  Restart({});
  EXPECT_NE(CreateGameWindow(), nullptr);
  ShowPlatformWindow(FindTopLevelWindow("HHTaskbar"), ShowHide);
  Restart({});
  EXPECT_TRUE(host::TaskbarVisible());
  EXPECT_FALSE(host::WindowShown());
  EXPECT_EQ(FindTopLevelWindow("Quillmoth"), nullptr);
  EXPECT_FALSE(PeekPlatformMessage());
}

}  // namespace
