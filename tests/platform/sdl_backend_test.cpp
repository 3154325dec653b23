// The SDL backend on SDL's dummy video and audio drivers: a window that
// nobody sees, but the same code path as on a desktop.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/platform.h"
#include "platform/png_file.h"
#include "platform/window_picture.h"
#include "support/headless_host.h"

namespace {

using host::detail::PicturePlacement;
using host::detail::WindowBorders;

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

void PushKey(SDL_EventType type, SDL_Keycode key, uint16_t modifiers = KMOD_NONE) {
  SDL_Event event{};
  event.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = key;
  event.key.keysym.mod = modifiers;
  SDL_PushEvent(&event);
}

class SdlBackendTest : public HeadlessHostTest {
 protected:
  // Starts the SDL host on the dummy drivers and shows the game's window;
  // the SDL window it opened, or nullptr.
  SDL_Window* OpenWindow(host::Options options, WindowHandle* handle = nullptr) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    options.RuntimeDir = Folder().string();
    std::string error;
    if (!host::Start(options, &error)) {
      ADD_FAILURE() << error;
      return nullptr;
    }
    WindowClass windowClass{};
    windowClass.Procedure = Quiet;
    windowClass.ClassName = "Quillmoth";
    if (!DeclareWindowClass(windowClass)) return nullptr;
    const WindowHandle window =
        CreatePlatformWindow(ExStyleTopMost, "Quillmoth", "Quillmoth", StyleVisible, 0, 0, 240, 320,
                             nullptr, nullptr, GetProgramInstance(), nullptr);
    if (window == nullptr) return nullptr;
    if (handle != nullptr) *handle = window;
    ShowPlatformWindow(window, ShowNormal);
    SDL_Window* shown = nullptr;
    for (Uint32 id = 1; id < 64 && shown == nullptr; ++id) shown = SDL_GetWindowFromID(id);
    return shown;
  }
};

TEST_F(SdlBackendTest, ScaledWindowShowsChangedRowsMapsClicksAndCloses) {
  host::Options options;
  options.Scale = 2;
  WindowHandle window = nullptr;
  SDL_Window* shown = OpenWindow(options, &window);
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

TEST(WindowSizeTest, LargestFactorUpToTheOneAskedForThatFitsWithBorders) {
  const struct {
    int Width, Height;
    WindowBorders Borders;  // top, left, bottom, right
    int Requested, Expected;
  } cases[] = {
      {1280, 1024, {}, 0, 3},             // 720 x 960: the default's ceiling
      {1280, 960, {}, 0, 3},              // exactly
      {1280, 960, {20, 1, 5, 1}, 0, 2},   // 960 + 25 rows of frame do not fit
      {1280, 1024, {}, 4, 3},             // 1280 rows do not fit
      {1280, 1024, {20, 1, 5, 1}, 4, 3},  // 985 x 722 do
      {1280, 1024, {}, 2, 2},             // fits: kept
      {1920, 1080, {}, 0, 3},
      {1920, 1080, {121, 0, 0, 0}, 0, 2},  // 1081 rows
      {1920, 1080, {}, 8, 3},
      {3840, 2160, {}, 0, 3},
      {3840, 2160, {30, 2, 2, 2}, 8, 6},  // 7 would be 2240 rows
      {700, 2000, {}, 0, 2},              // 720 columns do not fit
      {700, 2000, {0, 10, 0, 10}, 5, 2},
      {480, 640, {}, 2, 2},
      {480, 640, {0, 1, 0, 0}, 2, 1},
      {800, 600, {}, 0, 1},
      {200, 200, {}, 8, 1},  // nothing fits: still 1
  };
  for (const auto& c : cases) {
    EXPECT_EQ(host::detail::FitWindowScale(c.Width, c.Height, c.Borders, c.Requested), c.Expected)
        << c.Width << "x" << c.Height << " top " << c.Borders.Top << " asked " << c.Requested;
  }
}

TEST_F(SdlBackendTest, ScaleThatDoesNotFitTheDummyDesktopComesDownAndSaysSo) {
  // The dummy driver's one display, with no window manager and so no borders.
  const struct {
    int Requested, Width, Height;
    const char* Said;
  } cases[] = {
      {0, 480, 640, ""},
      {1, 240, 320, ""},
      {2, 480, 640, ""},
      {3, 480, 640, "quillmoth: --scale 3 does not fit the desktop (1024 x 768); using 2\n"},
      {8, 480, 640, "quillmoth: --scale 8 does not fit the desktop (1024 x 768); using 2\n"},
  };
  for (const auto& c : cases) {
    host::Options options;
    options.Scale = c.Requested;
    testing::internal::CaptureStderr();
    SDL_Window* shown = OpenWindow(options);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.Said);
    ASSERT_NE(shown, nullptr);
    SDL_Rect usable{};
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
    ASSERT_EQ(std::vector<int>({usable.w, usable.h}), std::vector<int>({1024, 768}));
    int width = 0, height = 0;
    SDL_GetWindowSize(shown, &width, &height);
    EXPECT_EQ(std::vector<int>({width, height}), std::vector<int>({c.Width, c.Height}))
        << "--scale " << c.Requested;
    EXPECT_NE(SDL_GetWindowFlags(shown) & SDL_WINDOW_RESIZABLE, 0u);
    SDL_GetWindowMinimumSize(shown, &width, &height);
    EXPECT_EQ(std::vector<int>({width, height}), std::vector<int>({240, 320}));
    host::Stop();
  }
}

TEST_F(SdlBackendTest, FullScreenKeysToggleTheWindowAndNeverReachTheGame) {
  WindowHandle window = nullptr;
  SDL_Window* shown = OpenWindow({}, &window);
  ASSERT_NE(shown, nullptr);
  TakeAll();
  // Each key event, and whether the window is full screen after it; none of
  // them reaches the game.
  const struct {
    SDL_EventType Type;
    SDL_Keycode Key;
    uint16_t Modifiers;
    bool FullScreen;
  } steps[] = {
      {SDL_KEYDOWN, SDLK_F11, KMOD_NONE, true},      {SDL_KEYUP, SDLK_F11, KMOD_NONE, true},
      {SDL_KEYDOWN, SDLK_F11, KMOD_NONE, false},     {SDL_KEYUP, SDLK_F11, KMOD_NONE, false},
      {SDL_KEYDOWN, SDLK_ESCAPE, KMOD_NONE, false},  // not full screen: nothing to leave
      {SDL_KEYUP, SDLK_ESCAPE, KMOD_NONE, false},    {SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT, true},
      {SDL_KEYUP, SDLK_RETURN, KMOD_NONE, true},  // Alt let go first
      {SDL_KEYDOWN, SDLK_ESCAPE, KMOD_NONE, false},  {SDL_KEYUP, SDLK_ESCAPE, KMOD_NONE, false},
      {SDL_KEYDOWN, SDLK_KP_ENTER, KMOD_RALT, true}, {SDL_KEYUP, SDLK_KP_ENTER, KMOD_RALT, true},
      {SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT, false},  {SDL_KEYUP, SDLK_RETURN, KMOD_LALT, false},
  };
  for (const auto& step : steps) {
    PushKey(step.Type, step.Key, step.Modifiers);
    for (const PlatformMessage& message : TakeAll()) {
      EXPECT_NE(message.Message, MessageKeyDown) << step.Key;
      EXPECT_NE(message.Message, MessageKeyUp) << step.Key;
    }
    EXPECT_EQ((SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                  SDL_WINDOW_FULLSCREEN_DESKTOP,
              step.FullScreen)
        << step.Key << (step.Type == SDL_KEYDOWN ? " down" : " up");
  }

  // Any other key, Enter without Alt among them, reaches the game as before.
  PushKey(SDL_KEYDOWN, SDLK_RETURN);
  PushKey(SDL_KEYUP, SDLK_RETURN);
  PushKey(SDL_KEYDOWN, SDLK_a, KMOD_LALT);
  const auto messages = TakeAll();
  ASSERT_EQ(messages.size(), 3u);
  const uint32_t expected[][2] = {
      {MessageKeyDown, SDLK_RETURN}, {MessageKeyUp, SDLK_RETURN}, {MessageKeyDown, SDLK_a}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(messages[i].Window, window);
    EXPECT_EQ(messages[i].Message, expected[i][0]);
    EXPECT_EQ(messages[i].First, expected[i][1]);
  }
  EXPECT_EQ(SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN, 0u);
  host::Stop();
}

TEST_F(SdlBackendTest, F12WritesWhatTheDisplayShowsIntoThePicturesFolder) {
  const std::filesystem::path pictures = Folder() / "pictures";  // made when missing
  setenv("XDG_PICTURES_DIR", pictures.c_str(), 1);
  std::vector<std::string> written;
  for (const int factor : {1, 2}) {
    SCOPED_TRACE(factor);
    host::Options options;
    options.ShotScale = factor;
    SDL_Window* shown = OpenWindow(options);
    ASSERT_NE(shown, nullptr);
    GXOpenDisplay(nullptr, GXFullScreen);
    FillRow(0, 0xFFFF);    // white
    FillRow(319, 0x001F);  // blue
    TakeAll();
    testing::internal::CaptureStderr();
    PushKey(SDL_KEYDOWN, SDLK_F12);
    PushKey(SDL_KEYUP, SDLK_F12);
    const auto messages = TakeAll();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(messages.empty());
    std::smatch match;
    ASSERT_TRUE(std::regex_match(
        said, match,
        std::regex("quillmoth: screenshot saved to (.*)/(quillmoth-20\\d\\d-[01]\\d-[0-3]\\d-"
                   "[0-2]\\d-[0-5]\\d-[0-6]\\d(-2)?\\.png)\n")))
        << said;
    EXPECT_EQ(std::filesystem::path(match[1].str()), pictures);
    written.push_back(match[2].str());

    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    ASSERT_TRUE(
        host::detail::ReadPngRgba(match[1].str() + "/" + match[2].str(), &width, &height, &rgba));
    ASSERT_EQ(std::vector<int>({width, height}), std::vector<int>({240 * factor, 320 * factor}));
    const auto pixel = [&](int x, int y) {
      const uint8_t* p = rgba.data() + (static_cast<size_t>(y) * width + x) * 4;
      return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    };
    // Display row 0 is the top `factor` rows, row 319 the bottom ones.
    EXPECT_EQ(pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(pixel(width - 1, factor - 1), 0xFFFFFFu);
    EXPECT_EQ(pixel(0, factor), 0u);
    EXPECT_EQ(pixel(width - 1, height - factor - 1), 0u);
    EXPECT_EQ(pixel(0, height - factor), 0x0000FFu);
    EXPECT_EQ(pixel(width - 1, height - 1), 0x0000FFu);
    host::Stop();
  }
  unsetenv("XDG_PICTURES_DIR");
  // Two shots, two files, even within one second.
  ASSERT_EQ(written.size(), 2u);
  EXPECT_NE(written[0], written[1]);
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
