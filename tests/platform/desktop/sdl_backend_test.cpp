// The SDL backend on SDL's dummy video and audio drivers: a window that
// nobody sees, but the same code path as on a desktop.
#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/desktop/sound.h"
#include "platform/desktop/window_picture.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/png_file.h"
#include "support/headless_host.h"

namespace {

intptr_t Quiet(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

// What reached the game: each message with its window and both parameters.
using Messages = std::vector<std::tuple<WindowHandle, uint32_t, uintptr_t, intptr_t>>;

Messages TakeAll() {
  Messages taken;
  PlatformMessage message;
  while (PeekPlatformMessage() && TakePlatformMessage(&message)) {
    taken.emplace_back(message.Window, message.Message, message.First, message.Second);
  }
  return taken;
}

void PushWindowEvent(uint8_t windowEvent) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = windowEvent;
  SDL_PushEvent(&event);
}

void PushClick(int x, int y) {
  SDL_Event event{};
  event.type = SDL_MOUSEBUTTONDOWN;
  event.button.button = SDL_BUTTON_LEFT;
  event.button.x = x;
  event.button.y = y;
  SDL_PushEvent(&event);
}

// The key goes down with these modifiers and comes up without them (as when
// Alt is let go first).
void PressKey(SDL_Keycode key, uint16_t modifiers = KMOD_NONE) {
  for (const SDL_EventType type : {SDL_KEYDOWN, SDL_KEYUP}) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.mod = type == SDL_KEYDOWN ? modifiers : uint16_t{KMOD_NONE};
    SDL_PushEvent(&event);
  }
}

// Sets display row y (rgb565, row pitch 480) to one colour.
void FillRow(int y, uint16_t colour) {
  auto* d = static_cast<uint8_t*>(GXBeginDraw());
  for (int x = 0; x < 240; ++x) std::memcpy(d + y * 480 + x * 2, &colour, 2);
  GXEndDraw();
}

class SdlBackendTest : public HeadlessHostTest {
 protected:
  // Starts the SDL host on the dummy drivers (a 1024 x 768 desktop), shows
  // the game's window and opens the display.
  void OpenWindow(host::Options options) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    options.RuntimeDir = Folder().string();
    std::string error;
    ASSERT_TRUE(host::Start(options, &error)) << error;
    ASSERT_TRUE(DeclareWindowClass(
        {0, Quiet, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "Quillmoth"}));
    Window = CreatePlatformWindow(ExStyleTopMost, "Quillmoth", "Quillmoth", StyleVisible, 0, 0, 240,
                                  320, nullptr, nullptr, GetProgramInstance(), nullptr);
    ShowPlatformWindow(Window, ShowNormal);
    for (Uint32 id = 1; id < 64 && Shown == nullptr; ++id) Shown = SDL_GetWindowFromID(id);
    ASSERT_NE(Shown, nullptr);
    GXOpenDisplay(nullptr, GXFullScreen);
  }
  void TearDown() override {
    host::Stop();
    HeadlessHostTest::TearDown();
  }

  // The window surface's pixels, 0x00RRGGBB (the dummy driver's surfaces are
  // 32-bit); `mark` puts 0x123456 at each of them first.
  std::vector<uint32_t> Pixels(const std::vector<std::pair<int, int>>& points, bool mark = false) {
    SDL_Surface* surface = SDL_GetWindowSurface(Shown);
    std::vector<uint32_t> values;
    for (const auto& [x, y] : points) {
      uint8_t* at = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch + x * 4;
      const uint32_t marked = 0x123456;
      if (mark) std::memcpy(at, &marked, 4);
      std::memcpy(&values.emplace_back(), at, 4);
      values.back() &= 0xFFFFFF;
    }
    return values;
  }

  WindowHandle Window = nullptr;
  SDL_Window* Shown = nullptr;
};

using Colours = std::vector<uint32_t>;

TEST_F(SdlBackendTest, ScaledWindowShowsChangedRowsMapsClicksAndCloses) {
  host::Options options;
  options.Scale = 8;
  testing::internal::CaptureStderr();
  OpenWindow(options);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "quillmoth: --scale 8 does not fit the desktop (1024 x 768); using 2\n");
  EXPECT_STREQ(SDL_GetWindowTitle(Shown), "Quillmoth");
  int width = 0, height = 0, minWidth = 0, minHeight = 0;
  SDL_GetWindowSize(Shown, &width, &height);
  SDL_GetWindowMinimumSize(Shown, &minWidth, &minHeight);
  EXPECT_EQ(std::tuple(width, height, minWidth, minHeight), std::tuple(480, 640, 240, 320));
  EXPECT_NE(SDL_GetWindowFlags(Shown) & SDL_WINDOW_RESIZABLE, 0u);

  FillRow(0, 0xFFFF);  // the top row white: window rows 0 and 1
  EXPECT_EQ(Pixels({{0, 0}, {479, 1}, {0, 2}}), (Colours{0xFFFFFF, 0xFFFFFF, 0}));
  TakeAll();  // whatever the driver said about focus

  // Only rows that changed are drawn again: marks elsewhere stay. The marks
  // are in display rows 10 and 200.
  Pixels({{10, 20}, {10, 400}}, true);
  FillRow(0, 0xFFFF);  // the same picture
  EXPECT_EQ(Pixels({{10, 400}}), Colours{0x123456});
  FillRow(200, 0xF800);  // red
  EXPECT_EQ(Pixels({{10, 400}, {10, 20}}), (Colours{0xFF0000, 0x123456}));

  // A minimised window gets nothing; restored, all of it.
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
  TakeAll();
  FillRow(319, 0x001F);  // blue
  EXPECT_EQ(Pixels({{0, 639}}), Colours{0});
  PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
  TakeAll();
  EXPECT_EQ(Pixels({{0, 639}, {10, 20}}), (Colours{0x0000FF, 0}));

  // A click at window pixel (100, 201) is screen pixel (50, 100).
  PushClick(100, 201);
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  EXPECT_EQ(TakeAll(), (Messages{{Window, MessageStylusDown, 0, PackStylusPosition(50, 100)},
                                 {Window, MessageDestroy, 0, 0}}));

  // Other window sizes: the picture at the largest whole factor both ways
  // allow (600 x 1000: 2, as 3 would be too wide), centred on black; clicks
  // follow it, and the border just left of it touches nothing. Width,
  // height, factor, left and top border.
  const std::array<int, 5> windows[] = {
      {600, 1000, 2, 60, 180}, {800, 1000, 3, 40, 20}, {300, 331, 1, 30, 5}};
  for (const auto& [w, h, f, left, top] : windows) {
    SDL_SetWindowSize(Shown, w, h);
    TakeAll();
    ASSERT_EQ(SDL_GetWindowSurface(Shown)->w, w);
    const int right = left + 240 * f;
    EXPECT_EQ(Pixels({{left - 1, top},
                      {left, top},
                      {right - 1, top + f - 1},
                      {right, top},
                      {left, top - 1}}),
              (Colours{0, 0xFFFFFF, 0xFFFFFF, 0, 0}))
        << w << "x" << h;
    PushClick(left - 1, top + 50);
    PushClick(left + 50, top - 1);
    PushClick(left + 11 * f - 1, top + 20 * f);
    EXPECT_EQ(TakeAll(), (Messages{{Window, MessageStylusDown, 0, PackStylusPosition(10, 20)}}));
  }
}

// F11 and Alt+Enter turn full screen on and off, Escape leaves it, F12
// writes what the display shows into the pictures folder, at --shot-scale's
// factor when one is given: none of them reaches the game, neither going
// down nor coming up.
TEST_F(SdlBackendTest, HostKeysToggleFullScreenAndTakeShotsAndNeverReachTheGame) {
  const std::filesystem::path pictures = Folder() / "pictures";  // made when missing
  setenv("XDG_PICTURES_DIR", pictures.c_str(), 1);
  host::Options options;
  options.Scale = 2;  // fits: nothing to say
  options.ShotScale = 3;
  testing::internal::CaptureStderr();
  OpenWindow(options);
  FillRow(0, 0xFFFF);    // white
  FillRow(319, 0x001F);  // blue
  TakeAll();
  // Each key with its modifiers, and whether the window is full screen after it.
  const std::tuple<SDL_Keycode, uint16_t, bool> steps[] = {
      {SDLK_F11, KMOD_NONE, true},      {SDLK_F12, KMOD_NONE, true},
      {SDLK_F11, KMOD_NONE, false},     {SDLK_ESCAPE, KMOD_NONE, false},
      {SDLK_RETURN, KMOD_LALT, true},   {SDLK_ESCAPE, KMOD_NONE, false},
      {SDLK_KP_ENTER, KMOD_RALT, true}, {SDLK_F12, KMOD_NONE, true},
  };
  for (const auto& [key, modifiers, fullScreen] : steps) {
    PressKey(key, modifiers);
    for (const auto& [window, message, first, second] : TakeAll()) {
      EXPECT_TRUE(message != MessageKeyDown && message != MessageKeyUp) << key;
    }
    const Uint32 flags = SDL_GetWindowFlags(Shown);
    EXPECT_EQ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP, fullScreen)
        << key;
  }
  // Nothing about the window, then two shots: two files, even within one
  // second.
  const std::string said = testing::internal::GetCapturedStderr();
  const std::string saved =
      "quillmoth: screenshot saved to (" + pictures.string() +
      "/quillmoth-20\\d\\d-[01]\\d-[0-3]\\d-[0-2]\\d-[0-5]\\d-[0-6]\\d(-2)?\\.png)\n";
  std::smatch match;
  ASSERT_TRUE(std::regex_match(said, match, std::regex(saved + saved))) << said;
  EXPECT_NE(match[1].str(), match[3].str());

  // Enter without Alt is the game's, and leaves full screen as it is.
  PressKey(SDLK_RETURN);
  EXPECT_EQ(TakeAll(), (Messages{{Window, MessageKeyDown, SDLK_RETURN, 0},
                                 {Window, MessageKeyUp, SDLK_RETURN, 0}}));
  EXPECT_NE(SDL_GetWindowFlags(Shown) & SDL_WINDOW_FULLSCREEN, 0u);

  // The shot is the display at three times its size, whatever the window
  // shows: row 0 the top three rows, row 319 the bottom three.
  const Shot shot = ReadShot(match[1].str());
  ASSERT_EQ(std::tuple(shot.Width, shot.Height), std::tuple(720, 960));
  EXPECT_EQ((Colours{shot.At(0, 0), shot.At(719, 2), shot.At(0, 3), shot.At(719, 956),
                     shot.At(0, 957), shot.At(719, 959)}),
            (Colours{0xFFFFFF, 0xFFFFFF, 0, 0, 0x0000FF, 0x0000FF}));
}

// Without --shot-scale a shot is as large as the picture the player sees:
// the largest whole factor the window (or the full screen) allows, 1 to 8.
// The title says what became of each shot for three seconds, then shows
// what it would have shown meanwhile.
TEST_F(SdlBackendTest, ShotsFollowTheWindowsFactorAndTheTitleSaysSoForAMoment) {
  const std::filesystem::path pictures = Folder() / "pictures";
  setenv("XDG_PICTURES_DIR", pictures.c_str(), 1);
  host::Options options;
  options.Scale = 2;
  OpenWindow(options);
  TakeAll();
  // The window's size (0 x 0: as it opened; -1 x -1: full screen on the
  // 1024 x 768 desktop, last, since leaving it restores an older size in
  // its own time) and the factor the picture is shown at.
  const std::tuple<int, int, int> windows[] = {
      {0, 0, 2}, {720, 960, 3}, {479, 2000, 1}, {2400, 2880, 8}, {-1, -1, 2}};
  for (const auto& [w, h, factor] : windows) {
    SCOPED_TRACE(w);
    if (w < 0) PressKey(SDLK_F11);
    if (w > 0) SDL_SetWindowSize(Shown, w, h);
    TakeAll();
    testing::internal::CaptureStderr();
    PressKey(SDLK_F12);
    PeekPlatformMessage();
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string prefix = "quillmoth: screenshot saved to " + pictures.string() + "/";
    ASSERT_TRUE(said.starts_with(prefix) && said.ends_with(".png\n")) << said;
    const std::string name = said.substr(prefix.size(), said.size() - prefix.size() - 1);
    EXPECT_EQ(PngSize(pictures / name), std::pair(240 * factor, 320 * factor));
    EXPECT_EQ(SDL_GetWindowTitle(Shown), "Quillmoth: screenshot saved to " + name);
  }

  // A folder that takes no new files: the title says the shot failed. A
  // notice given meanwhile waits for it, and the title goes back to that
  // notice no sooner than three seconds later.
  setenv("XDG_PICTURES_DIR", "/proc", 1);
  const uint64_t pressed = SDL_GetTicks64();
  testing::internal::CaptureStderr();
  PressKey(SDLK_F12);
  PeekPlatformMessage();
  TellPlayer("records cannot be saved");
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(said.starts_with("quillmoth: cannot write a screenshot in /proc: ")) << said;
  const std::string passing = SDL_GetWindowTitle(Shown);
  EXPECT_TRUE(passing.starts_with("Quillmoth: screenshot not saved: ")) << passing;
  // Generous: only a hang takes this long.
  while (SDL_GetWindowTitle(Shown) == passing && SDL_GetTicks64() - pressed < 60'000) {
    PeekPlatformMessage();
    SDL_Delay(10);
  }
  EXPECT_GE(SDL_GetTicks64() - pressed, 3000u);
  EXPECT_STREQ(SDL_GetWindowTitle(Shown), "Quillmoth: records cannot be saved");
}

TEST(WindowSizeTest, LargestFactorUpToTheOneAskedForThatFitsWithBorders) {
  // The usable desktop, the window manager's borders (top, left, bottom,
  // right), the factor asked for (0: the default) and the one given.
  const std::tuple<int, int, host::detail::WindowBorders, int, int> cases[] = {
      {3840, 2160, {}, 0, 3},             // 720 x 960: the default's ceiling
      {1280, 963, {1, 0, 2, 0}, 0, 3},    // exactly, frame included
      {1280, 962, {1, 0, 2, 0}, 0, 2},    // a row short
      {722, 2000, {0, 1, 0, 2}, 0, 2},    // a column short
      {3840, 2160, {30, 2, 2, 2}, 8, 6},  // 7 would be 2272 rows
      {1280, 1024, {}, 2, 2},             // fits: kept
      {200, 200, {}, 8, 1},               // nothing fits: still 1
  };
  for (const auto& [width, height, borders, requested, expected] : cases) {
    EXPECT_EQ(host::detail::FitWindowScale(width, height, borders, requested), expected)
        << width << "x" << height << " asked " << requested;
  }
}

TEST(WindowPictureTest, EveryPixelBecomesAFactorSquareInAnySurfaceFormat) {
  std::vector<uint32_t> picture(240 * 320);
  for (uint32_t i = 0; i < picture.size(); ++i) picture[i] = (i * 2654435761u >> 8) & 0xFFFFFF;
  // Factor 2 in a 400 x 300 surface, cut off at the top, bottom and right:
  // display rows 10 to 159 and columns 0 to 194 show. The whole picture,
  // three rows, then rows that lie above the surface, and the rectangle each
  // draws.
  const std::tuple<int, int, std::array<int, 4>> draws[] = {
      {0, 320, {10, 0, 390, 300}}, {100, 103, {10, 180, 390, 6}}, {0, 5, {0, 0, 0, 0}}};
  host::detail::PictureScaler scaler;
  for (const uint32_t format : {SDL_PIXELFORMAT_BGR888, SDL_PIXELFORMAT_ARGB8888,
                                SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_BGR24}) {
    SCOPED_TRACE(SDL_GetPixelFormatName(format));
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 400, 300, 32, format);
    // The same drawn by SDL itself, pixel by pixel.
    SDL_Surface* expected = SDL_CreateRGBSurfaceWithFormat(0, 400, 300, 32, format);
    ASSERT_TRUE(surface != nullptr && expected != nullptr);
    const auto colour = [&](uint32_t xrgb) {
      return SDL_MapRGB(expected->format, xrgb >> 16 & 0xFF, xrgb >> 8 & 0xFF, xrgb & 0xFF);
    };
    for (const auto& [first, end, drawn] : draws) {
      SDL_FillRect(surface, nullptr, colour(0x010203));
      SDL_FillRect(expected, nullptr, colour(0x010203));
      for (int y = 0; y < 300; ++y) {
        const int row = (y + 20) / 2;
        for (int x = 10; x < 400 && row >= first && row < end; ++x) {
          SDL_Rect dot{x, y, 1, 1};
          SDL_FillRect(expected, &dot, colour(picture[row * 240 + (x - 10) / 2]));
        }
      }
      const SDL_Rect r = scaler.Draw(surface, {2, 10, -20},
                                     std::span<const uint32_t, 240 * 320>(picture), first, end);
      EXPECT_EQ((std::array{r.x, r.y, r.w, r.h}), drawn);
      EXPECT_EQ(std::memcmp(surface->pixels, expected->pixels, 300 * surface->pitch), 0)
          << "rows " << first << " to " << end;
    }
    SDL_FreeSurface(expected);
    SDL_FreeSurface(surface);
  }
}

// The mixer and the sound device.
using SoundTest = HeadlessHostTest;
constexpr uint32_t GameFlags = SoundFileName | SoundNoStop | SoundAsync;
// The game's longest effect, over a second: still playing when a test ends.
const std::string LongSound = std::string(QUILLMOTH_BINARY_DIR) + "/Sound/startup.wav";

TEST_F(SoundTest, MixerDropsGameEffectsWhenEveryVoiceIsBusy) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const std::string notWav = (Folder() / "text.wav").string();
  std::ofstream(notWav) << "not a sound";
  host::detail::Mixer mixer;
  for (int voice = 0; voice < 4; ++voice) EXPECT_TRUE(mixer.Play(LongSound, GameFlags)) << voice;
  // The game's request is refused rather than cutting a sound short, while a
  // plain request takes the oldest voice.
  EXPECT_FALSE(mixer.Play(LongSound, GameFlags));
  EXPECT_TRUE(mixer.Play(LongSound, SoundFileName | SoundAsync));
  EXPECT_FALSE(mixer.Play(notWav, SoundFileName | SoundAsync));
  EXPECT_FALSE(mixer.Play((Folder() / "none.wav").string(), SoundFileName | SoundAsync));
}

// --mute: the game asks for its effects as ever, and the host never opens a
// sound device. A real run plays an effect at nearly every tap, for hours, so
// it keeps no record of them unless a test asked to watch them. Without a
// device at all the host says so once, in its own words.
TEST_F(SoundTest, AMutedRunOpensNoDeviceAndAMissingDeviceIsSaidOnce) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  for (const bool mute : {true, false}) {
    host::Options options;
    options.Mute = mute;
    options.LogSounds = mute;
    options.RuntimeDir = Folder().string();
    ASSERT_TRUE(host::Start(options, nullptr));
    PlaySoundFile(LongSound.c_str(), GameFlags);
    EXPECT_EQ(host::SoundRequests().size(), mute ? 1u : 0u);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO) != 0, !mute);
    host::Stop();
  }
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  testing::internal::CaptureStderr();
  {
    host::detail::Mixer mixer;
    mixer.Play(LongSound, GameFlags);
    mixer.Play(LongSound, GameFlags);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "quillmoth: no sound device: playing silently\n");
}

}  // namespace
