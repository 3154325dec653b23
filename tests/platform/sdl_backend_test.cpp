// The SDL backend on SDL's dummy video and audio drivers: a window that
// nobody sees, but the same code path as on a desktop.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/host.h"
#include "platform/platform.h"
#include "platform/window_picture.h"
#include "support/headless_host.h"

namespace {

using host::detail::PicturePlacement;

intptr_t Quiet(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

std::vector<PlatformMessage> TakeAll() {
  std::vector<PlatformMessage> taken;
  PlatformMessage message;
  while (PeekPlatformMessage() && TakePlatformMessage(&message)) taken.push_back(message);
  return taken;
}

void Push(SDL_Window* window, uint8_t windowEvent) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = SDL_GetWindowID(window);
  event.window.event = windowEvent;
  SDL_PushEvent(&event);
}

void PushClick(SDL_Window* window, int x, int y) {
  SDL_Event click{};
  click.type = SDL_MOUSEBUTTONDOWN;
  click.button.windowID = SDL_GetWindowID(window);
  click.button.button = SDL_BUTTON_LEFT;
  click.button.state = SDL_PRESSED;
  click.button.x = x;
  click.button.y = y;
  SDL_PushEvent(&click);
}

// The window surface's pixel, 0x00RRGGBB (the dummy driver's surfaces are
// 32-bit).
uint32_t SurfacePixel(SDL_Window* window, int x, int y) {
  const SDL_Surface* surface = SDL_GetWindowSurface(window);
  uint32_t value = 0;
  std::memcpy(&value, static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch + x * 4, 4);
  return value & 0xFFFFFF;
}

void ScribbleOn(SDL_Window* window, int x, int y) {
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  const uint32_t mark = 0x123456;
  std::memcpy(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch + x * 4, &mark, 4);
}

// Sets display row y (rgb565, row pitch 480) to one colour.
void FillRow(int y, uint16_t colour) {
  auto* d = static_cast<uint8_t*>(GXBeginDraw());
  for (int x = 0; x < 240; ++x) std::memcpy(d + y * 480 + x * 2, &colour, 2);
  GXEndDraw();
}

using SdlBackendTest = HeadlessHostTest;

TEST_F(SdlBackendTest, ScaledWindowShowsChangedRowsMapsClicksAndCloses) {
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
  FillRow(0, 0xFFFF);  // the top row white: window rows 0 and 1
  EXPECT_EQ(SurfacePixel(shown, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(SurfacePixel(shown, 479, 1), 0xFFFFFFu);
  EXPECT_EQ(SurfacePixel(shown, 0, 2), 0u);
  TakeAll();  // whatever the driver said about focus

  // Only rows that changed are drawn again: marks elsewhere stay.
  ScribbleOn(shown, 10, 20);   // display row 10
  ScribbleOn(shown, 10, 400);  // display row 200
  FillRow(0, 0xFFFF);          // the same picture
  EXPECT_EQ(SurfacePixel(shown, 10, 400), 0x123456u);
  FillRow(200, 0xF800);  // red
  EXPECT_EQ(SurfacePixel(shown, 10, 400), 0xFF0000u);
  EXPECT_EQ(SurfacePixel(shown, 10, 20), 0x123456u);

  // A minimised window gets nothing; restored, all of it.
  Push(shown, SDL_WINDOWEVENT_MINIMIZED);
  TakeAll();
  FillRow(319, 0x001F);  // blue
  EXPECT_EQ(SurfacePixel(shown, 0, 639), 0u);
  Push(shown, SDL_WINDOWEVENT_RESTORED);
  TakeAll();
  EXPECT_EQ(SurfacePixel(shown, 0, 639), 0x0000FFu);
  EXPECT_EQ(SurfacePixel(shown, 10, 20), 0u);

  // A click at window pixel (100, 201) is screen pixel (50, 100).
  PushClick(shown, 100, 201);
  Push(shown, SDL_WINDOWEVENT_CLOSE);
  const auto messages = TakeAll();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].Message, MessageStylusDown);
  EXPECT_EQ(messages[0].Window, window);
  EXPECT_EQ(messages[0].Second, PackStylusPosition(50, 100));
  EXPECT_EQ(messages[1].Message, MessageDestroy);

  // A larger window: the picture at factor 2, centred on black, 60 pixels
  // in from the left and 30 from the top; clicks follow it.
  SDL_SetWindowSize(shown, 600, 700);
  TakeAll();
  ASSERT_EQ(SDL_GetWindowSurface(shown)->w, 600);
  EXPECT_EQ(SurfacePixel(shown, 59, 30), 0u);
  EXPECT_EQ(SurfacePixel(shown, 60, 30), 0xFFFFFFu);
  EXPECT_EQ(SurfacePixel(shown, 539, 31), 0xFFFFFFu);
  EXPECT_EQ(SurfacePixel(shown, 540, 30), 0u);
  EXPECT_EQ(SurfacePixel(shown, 60, 669), 0x0000FFu);
  PushClick(shown, 59, 100);
  PushClick(shown, 81, 71);
  const auto clicks = TakeAll();
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].Second, PackStylusPosition(10, 20));
  host::Stop();
}

TEST(WindowPictureTest, LargestWholeFactorCentredAndClicksMappedBack) {
  const struct {
    int Width, Height;
    PicturePlacement Expected;
  } placements[] = {{480, 640, {2, 0, 0}},     {1280, 1024, {3, 280, 32}},
                    {800, 700, {2, 160, 30}},  {481, 641, {2, 0, 0}},
                    {200, 300, {1, -20, -10}}, {720, 959, {2, 120, 159}},
                    {5000, 400, {1, 2380, 40}}};
  for (const auto& c : placements) {
    const PicturePlacement p = host::detail::PlacePicture(c.Width, c.Height);
    EXPECT_EQ(p.Factor, c.Expected.Factor) << c.Width << "x" << c.Height;
    EXPECT_EQ(p.Left, c.Expected.Left) << c.Width << "x" << c.Height;
    EXPECT_EQ(p.Top, c.Expected.Top) << c.Width << "x" << c.Height;
  }

  // Window pixel -> display pixel: (x - left) / factor, rounded down; -1
  // means off the picture.
  const struct {
    PicturePlacement Placement;
    int X, Y, DisplayX, DisplayY;
  } points[] = {
      {{3, 280, 32}, 280, 32, 0, 0},       {{3, 280, 32}, 282, 34, 0, 0},
      {{3, 280, 32}, 283, 35, 1, 1},       {{3, 280, 32}, 999, 991, 239, 319},
      {{3, 280, 32}, 1000, 500, -1, -1},   {{3, 280, 32}, 279, 500, -1, -1},
      {{3, 280, 32}, 500, 31, -1, -1},     {{3, 280, 32}, 500, 992, -1, -1},
      {{3, 5, 5}, 4, 10, -1, -1},          {{3, 5, 5}, 3, 10, -1, -1},
      {{2, 0, 0}, 100, 201, 50, 100},      {{2, 0, 0}, 479, 639, 239, 319},
      {{2, 0, 0}, 480, 0, -1, -1},         {{2, 160, 30}, 159, 100, -1, -1},
      {{2, 160, 30}, 161, 31, 0, 0},       {{1, -20, -10}, 0, 0, 20, 10},
      {{1, -20, -10}, 199, 299, 219, 309}, {{5, 0, 0}, 1199, 1599, 239, 319},
      {{5, 0, 0}, 1200, 10, -1, -1},
  };
  for (const auto& c : points) {
    int x = -1, y = -1;
    const bool inside = host::detail::WindowToDisplay(c.Placement, c.X, c.Y, &x, &y);
    EXPECT_EQ(inside, c.DisplayX >= 0) << c.X << "," << c.Y;
    if (inside) {
      EXPECT_EQ(x, c.DisplayX) << c.X << "," << c.Y;
      EXPECT_EQ(y, c.DisplayY) << c.X << "," << c.Y;
    }
  }
}

// The bytes SDL itself stores for a colour in a format: a 1 x 1 surface
// filled through SDL.
std::vector<uint8_t> SdlBytes(SDL_Surface* dot, uint32_t xrgb) {
  SDL_FillRect(dot, nullptr,
               SDL_MapRGB(dot->format, static_cast<uint8_t>(xrgb >> 16),
                          static_cast<uint8_t>(xrgb >> 8), static_cast<uint8_t>(xrgb)));
  const auto* bytes = static_cast<const uint8_t*>(dot->pixels);
  return {bytes, bytes + dot->format->BytesPerPixel};
}

TEST(WindowPictureTest, EveryPixelBecomesAFactorSquareInAnySurfaceFormat) {
  std::vector<uint32_t> picture(240 * 320);
  for (uint32_t i = 0; i < picture.size(); ++i) picture[i] = (i * 2654435761u >> 8) & 0xFFFFFF;
  const std::span<const uint32_t, 240 * 320> view(picture);
  // Factor 2 in a 400 x 300 surface, cut off at the top, bottom and right:
  // display rows 10 to 159 and columns 0 to 194 show.
  const PicturePlacement placement{2, 10, -20};
  const uint32_t formats[] = {SDL_PIXELFORMAT_RGB888,   SDL_PIXELFORMAT_BGR888,
                              SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_RGBA8888,
                              SDL_PIXELFORMAT_RGB565,   SDL_PIXELFORMAT_RGB24,
                              SDL_PIXELFORMAT_BGR24};
  host::detail::PictureScaler scaler;
  for (const uint32_t format : formats) {
    SCOPED_TRACE(SDL_GetPixelFormatName(format));
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 400, 300, 32, format);
    SDL_Surface* dot = SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, format);
    ASSERT_NE(surface, nullptr);
    ASSERT_NE(dot, nullptr);
    const int bytes = surface->format->BytesPerPixel;
    std::vector<std::vector<uint8_t>> expected(picture.size());
    for (size_t i = 0; i < picture.size(); ++i) expected[i] = SdlBytes(dot, picture[i]);
    const std::vector<uint8_t> blank = SdlBytes(dot, 0x010203);
    const auto check = [&](int firstRow, int endRow) {
      for (int y = 0; y < 300; ++y) {
        const int row = (y + 20) / 2;
        for (int x = 0; x < 400; ++x) {
          const bool drawn = x >= 10 && row >= firstRow && row < endRow;
          const std::vector<uint8_t>& want = drawn ? expected[row * 240 + (x - 10) / 2] : blank;
          const auto* at = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
          ASSERT_EQ(std::memcmp(at + x * bytes, want.data(), want.size()), 0) << x << "," << y;
        }
      }
    };
    const auto rectangle = [](const SDL_Rect& r) { return std::vector<int>{r.x, r.y, r.w, r.h}; };
    // The whole picture, then three rows into a blank surface, then rows
    // that lie above the surface.
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 1, 2, 3));
    EXPECT_EQ(rectangle(scaler.Draw(surface, placement, view, 0, 320)),
              (std::vector<int>{10, 0, 390, 300}));
    check(0, 320);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 1, 2, 3));
    EXPECT_EQ(rectangle(scaler.Draw(surface, placement, view, 100, 103)),
              (std::vector<int>{10, 180, 390, 6}));
    EXPECT_EQ(rectangle(scaler.Draw(surface, placement, view, 0, 5)),
              (std::vector<int>{0, 0, 0, 0}));
    check(100, 103);
    SDL_FreeSurface(dot);
    SDL_FreeSurface(surface);
  }
}

}  // namespace
