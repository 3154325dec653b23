// The SDL backend on SDL's dummy video and audio drivers: a window that
// nobody sees, but the same code path as on a desktop.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/host.h"
#include "platform/platform.h"

namespace {

std::vector<PlatformMessage> received;

intptr_t Record(WindowHandle window, uint32_t message, uintptr_t first, intptr_t second) {
  received.push_back({window, message, first, second});
  return 0;
}

std::vector<PlatformMessage> TakeAll() {
  std::vector<PlatformMessage> taken;
  PlatformMessage message;
  while (PeekPlatformMessage() && TakePlatformMessage(&message)) taken.push_back(message);
  return taken;
}

TEST(SdlBackendTest, RunsAWindowOnTheDummyDriver) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::string folder = (std::filesystem::temp_directory_path() / "quillmoth-sdl-XXXXXX").string();
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  host::Options options;
  options.Scale = 2;
  options.TickStart = 1000;
  options.RuntimeDir = folder;
  std::string error;
  ASSERT_TRUE(host::Start(options, &error)) << error;

  // The real clock starts at the given tick and runs on.
  const uint32_t before = ReadTickCounter();
  EXPECT_GE(before, 1000u);
  SleepMilliseconds(5);
  EXPECT_GE(ReadTickCounter() - before, 5u);

  WindowClass windowClass{};
  windowClass.Procedure = Record;
  windowClass.ClassName = "Quillmoth";
  windowClass.Icon = LoadIconResource(GetProgramInstance(), 101);
  EXPECT_NE(windowClass.Icon, nullptr);
  ASSERT_TRUE(DeclareWindowClass(windowClass));
  const WindowHandle window =
      CreatePlatformWindow(ExStyleTopMost, "Quillmoth", "Quillmoth", StyleVisible, 0, 0, 240, 320,
                           nullptr, nullptr, GetProgramInstance(), nullptr);
  ASSERT_NE(window, nullptr);
  ShowPlatformWindow(window, ShowNormal);
  EXPECT_TRUE(host::WindowShown());
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
  // A click at window pixel (100, 201) is display pixel (50, 100).
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
  EXPECT_FALSE(host::WindowShown());
  std::filesystem::remove_all(folder);
}

}  // namespace
