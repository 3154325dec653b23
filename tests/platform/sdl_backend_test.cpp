// The SDL backend on SDL's dummy video and audio drivers: a window that
// nobody sees, but the same code path as on a desktop.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/host.h"
#include "platform/platform.h"
#include "support/headless_host.h"

namespace {

intptr_t Quiet(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

std::vector<PlatformMessage> TakeAll() {
  std::vector<PlatformMessage> taken;
  PlatformMessage message;
  while (PeekPlatformMessage() && TakePlatformMessage(&message)) taken.push_back(message);
  return taken;
}

using SdlBackendTest = HeadlessHostTest;

TEST_F(SdlBackendTest, ScaledWindowMapsClicksToScreenPixelsAndCloses) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  host::Options options;
  options.Scale = 2;
  options.RuntimeDir = Folder().string();
  std::string error;
  ASSERT_TRUE(host::Start(options, &error)) << error;

  WindowClass windowClass{};
  windowClass.Procedure = Quiet;
  windowClass.ClassName = "Quillmoth";
  ASSERT_TRUE(DeclareWindowClass(windowClass));
  const WindowHandle window =
      CreatePlatformWindow(ExStyleTopMost, "Quillmoth", "Quillmoth", StyleVisible, 0, 0, 240, 320,
                           nullptr, nullptr, GetProgramInstance(), nullptr);
  ASSERT_NE(window, nullptr);
  ShowPlatformWindow(window, ShowNormal);
  SDL_Window* shown = nullptr;
  for (Uint32 id = 1; id < 64 && shown == nullptr; ++id) shown = SDL_GetWindowFromID(id);
  ASSERT_NE(shown, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(shown), "Quillmoth");
  int width = 0, height = 0;
  SDL_GetWindowSize(shown, &width, &height);
  EXPECT_EQ(width, 480);
  EXPECT_EQ(height, 640);

  GXOpenDisplay(nullptr, GXFullScreen);
  auto* d = static_cast<uint8_t*>(GXBeginDraw());
  ASSERT_NE(d, nullptr);
  std::memset(d, 0xFF, 480);  // the top row white
  EXPECT_EQ(GXEndDraw(), 1);

  TakeAll();  // whatever the driver said about focus
  // A click at window pixel (100, 201) is screen pixel (50, 100).
  SDL_Event click{};
  click.type = SDL_MOUSEBUTTONDOWN;
  click.button.windowID = SDL_GetWindowID(shown);
  click.button.button = SDL_BUTTON_LEFT;
  click.button.state = SDL_PRESSED;
  click.button.x = 100;
  click.button.y = 201;
  SDL_PushEvent(&click);
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.windowID = SDL_GetWindowID(shown);
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  SDL_PushEvent(&close);
  const auto messages = TakeAll();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].Message, MessageStylusDown);
  EXPECT_EQ(messages[0].Window, window);
  EXPECT_EQ(messages[0].Second, PackStylusPosition(50, 100));
  EXPECT_EQ(messages[1].Message, MessageDestroy);
  host::Stop();
}

}  // namespace
