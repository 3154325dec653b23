#include <gtest/gtest.h>

#include <vector>

#include "platform/host.h"
#include "platform/platform.h"
#include "support/headless_host.h"

namespace {

std::vector<PlatformMessage> seen;

intptr_t Record(WindowHandle window, uint32_t message, uintptr_t first, intptr_t second) {
  seen.push_back({window, message, first, second});
  return message == MessageDestroy ? 77 : 0;
}

using MessagesTest = HeadlessHostTest;

TEST_F(MessagesTest, QueueKeepsOrderAndStopsAtTheQuitRequest) {
  StartHost("wait 1000000\n");  // no scripted input
  WindowClass windowClass{};
  windowClass.Procedure = Record;
  windowClass.ClassName = "Quillmoth";
  ASSERT_TRUE(DeclareWindowClass(windowClass));
  const WindowHandle window = CreatePlatformWindow(0, "Quillmoth", "Quillmoth", 0, 0, 0, 240, 320,
                                                   nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  seen.clear();
  EXPECT_FALSE(PeekPlatformMessage());
  host::PostMessageToGameWindow(MessageStylusDown, 0, PackStylusPosition(10, 300));
  host::PostMessageToGameWindow(MessageDestroy, 0, 0);
  PostQuitRequest(3);
  host::PostMessageToGameWindow(MessageKeyDown, 42, 0);

  // The game's loop: dispatch until the quit request comes out.
  PlatformMessage message;
  while (PeekPlatformMessage() && TakePlatformMessage(&message)) {
    EXPECT_EQ(message.Window, window);
    EXPECT_EQ(DispatchPlatformMessage(message), message.Message == MessageDestroy ? 77 : 0);
  }
  EXPECT_EQ(message.Message, MessageQuit);
  EXPECT_EQ(message.Window, nullptr);
  EXPECT_EQ(message.First, 3u);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].Message, MessageStylusDown);
  EXPECT_EQ(seen[0].Second, PackStylusPosition(10, 300));
  EXPECT_EQ(seen[1].Message, MessageDestroy);
  // The message behind the quit request is still waiting.
  ASSERT_TRUE(PeekPlatformMessage());
  EXPECT_TRUE(TakePlatformMessage(&message));
  EXPECT_EQ(message.First, 42u);
}

}  // namespace
