// The SDL2 backend: a real window showing the display memory, input from the
// mouse, touch and keyboard, effects through the audio device, and the real
// clock. The window also answers a few keys of its own (full screen, a
// screenshot) that the game never sees.
//
// A replay (--replay) shows a recorded game in the window: its clock is the
// recording's, the window keeps the recorded pace, and the player's stylus,
// keys and focus never reach the game; the window's own keys and its close
// button work as always.
//
// The picture goes into the window's own surface, scaled by the host (see
// window_picture.h), not through an SDL renderer: without a GPU driver the
// renderer falls back to a software OpenGL rasteriser that costs more than
// the whole game. A frame reaches the desktop only when its picture differs
// from the last one shown, and then only the band of rows that changed; a
// minimised or hidden window gets nothing until it is shown again.
#include <SDL.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <span>
#include <vector>

#include "platform/backend.h"
#include "platform/desktop/backends.h"
#include "platform/desktop/screenshot.h"
#include "platform/desktop/sound.h"
#include "platform/desktop/virtual_clock.h"
#include "platform/desktop/window_picture.h"
#include "platform/display_memory.h"
#include "platform/host.h"
#include "platform/icon.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace host::detail {
namespace {

// The handheld's counter ran from the moment the device started; so does
// ours when no start is given. It is also the game's random seed, so it
// must differ from one start to the next.
uint32_t MillisecondsSinceBoot() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                               static_cast<uint64_t>(now.tv_nsec) / 1'000'000u);
}

class SdlBackend final : public Backend {
 public:
  explicit SdlBackend(const Options& options)
      : Replay_(!options.ReplayPath.empty()),
        Virtual_(0),
        RequestedScale_(options.Scale),
        ShotScale_(options.ShotScale) {
    SetTicks(options.TickStart.value_or(MillisecondsSinceBoot()));
    FrameBegan_ = LastRead_ = SDL_GetTicks64();
  }

  ~SdlBackend() override {
    Mixer_.reset();  // closes the audio device before SDL goes
    if (Window_ != nullptr) SDL_DestroyWindow(Window_);
    SDL_Quit();
  }

  uint32_t ReadTicks() override {
    LastRead_ = SDL_GetTicks64();
    return Replay_ ? Virtual_.Read() : Latched_;
  }

  void Sleep(uint32_t milliseconds) override {
    if (Replay_) {
      Virtual_.Sleep(milliseconds);
      WaitUntil(FrameBegan_ + Virtual_.FrameTime());
      return;
    }
    // The pause is counted from the game's last look at the clock, which
    // its frame pause takes right after the presentation.
    WaitUntil(std::max(LastRead_ + milliseconds, FrameBegan_ + FrameLength_));
    Latched_ = Base_ + static_cast<uint32_t>(SDL_GetTicks64());
  }

  void SetTicks(uint32_t ticks) override {
    Virtual_.Set(ticks);
    Latched_ = ticks;
    // Wraps after 2^32 ms as the device's counter did.
    Base_ = ticks - static_cast<uint32_t>(SDL_GetTicks64());
  }

  void BeginFrame(uint32_t length) override {
    FrameBegan_ = SDL_GetTicks64();
    FrameLength_ = length;
    Virtual_.BeginFrame(length);
  }

  void CollectDesktopEvents() override {
    EndPassingTitleWhenDue();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) Translate(event);
  }

  void ShowGameWindow(bool visible) override {
    if (!visible) {
      if (Window_ != nullptr) SDL_HideWindow(Window_);
      Hidden_ = true;
      return;
    }
    if (!OpenWindow()) {
      // The game must never run on without a window: close it as the
      // window manager would, and the game shuts down after its frame.
      std::fprintf(stderr, "quillmoth: cannot open the window: %s\n", SDL_GetError());
      PostMessageToGameWindow(MessageDestroy, 0, 0);
      return;
    }
    SDL_ShowWindow(Window_);
    if (!Fitted_) {
      // An X11 window manager tells its frame only once the window is
      // mapped: size the window again now that its borders are known.
      Fitted_ = true;
      SDL_PumpEvents();
      FitToDesktop(false);
    }
    SDL_RaiseWindow(Window_);
    Hidden_ = Minimised_ = false;
    Present(true);
  }

  void BringToFront() override {
    if (Window_ == nullptr) return;
    SDL_ShowWindow(Window_);
    SDL_RestoreWindow(Window_);
    SDL_RaiseWindow(Window_);
  }

  void PresentDisplay() override { Present(false); }

  bool PlaySound(const std::string& path, uint32_t flags) override {
    if (!Mixer_) Mixer_ = std::make_unique<Mixer>();
    return Mixer_->Play(path, flags);
  }

  void ShowNotice(const std::string& text) override {
    Title_ = "Quillmoth: " + text;
    // A passing title keeps the window for its few seconds, then gives way
    // to this one.
    if (Window_ != nullptr && PassingTitleEnds_ == 0) SDL_SetWindowTitle(Window_, Title_.c_str());
  }

  void HoldLastFrame() override {
    if (Window_ == nullptr || Closed_) return;
    SDL_Event event;
    while (!Closed_) {
      EndPassingTitleWhenDue();
      // With a passing title on show, the wait ends in time to take it down
      // even when the desktop sends nothing.
      const bool passing = PassingTitleEnds_ != 0;
      const int got =
          passing ? SDL_WaitEventTimeout(&event, PassingTitleLeft()) : SDL_WaitEvent(&event);
      if (got != 0) {
        Translate(event);
      } else if (!passing) {
        return;
      }
    }
  }

 private:
  // A long wait (a recorded stall, replayed) keeps the desktop's events
  // flowing into SDL's own queue, so the window manager never takes the
  // window for a hung one; they reach the game only when it looks.
  static void WaitUntil(uint64_t end) {
    for (uint64_t now = SDL_GetTicks64(); now < end; now = SDL_GetTicks64()) {
      SDL_Delay(static_cast<uint32_t>(std::min<uint64_t>(end - now, 100)));
      if (end - now > 100) SDL_PumpEvents();
    }
  }

  bool OpenWindow() {
    if (Window_ != nullptr) return true;
    // A normal desktop window: decorated so the player can move and close
    // it, resizable and maximisable; the picture is scaled by a whole factor
    // and never smoothed, so every display pixel stays a crisp square. It is
    // made hidden at a guess (no borders) and sized once its borders are
    // known.
    Window_ = SDL_CreateWindow(Title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               ScreenWidth, ScreenHeight, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (Window_ == nullptr) return false;
    // Smaller than the picture, its edges would be cut off.
    SDL_SetWindowMinimumSize(Window_, ScreenWidth, ScreenHeight);
    FitToDesktop(true);
    if (const IconImage* icon = IconFromHandle(GameWindowIcon())) SetIcon(*icon);
    // The surface is made here, not at the first frame, so that a desktop
    // that cannot give one fails the start like a window that cannot open.
    return SDL_GetWindowSurface(Window_) != nullptr;
  }

  // Gives the window the largest whole factor (up to the one asked for) at
  // which it fits the desktop's usable area with its borders, centred
  // there, frame included. `first` sizes it whatever it is; the call after
  // the first show only shrinks a window that turned out too large and
  // centres it again with its frame, and says so when an explicit --scale
  // had to come down.
  void FitToDesktop(bool first) {
    SDL_Rect usable{};
    const int display = std::max(SDL_GetWindowDisplayIndex(Window_), 0);
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) {
      // No desktop size to go by: the factor asked for, else 1.
      if (first) SetScale(std::max(RequestedScale_, 1), usable, {});
      return;
    }
    WindowBorders borders;
    // Unknown borders (an error, or none yet, as without a window manager)
    // count as none.
    if (SDL_GetWindowBordersSize(Window_, &borders.Top, &borders.Left, &borders.Bottom,
                                 &borders.Right) != 0) {
      borders = {};
    }
    const int scale = FitWindowScale(usable.w, usable.h, borders, RequestedScale_);
    const bool bordered = borders.Top + borders.Left + borders.Bottom + borders.Right > 0;
    if (first || scale < Scale_ || bordered) SetScale(scale, usable, borders);
    if (!first && RequestedScale_ > scale) {
      std::fprintf(stderr, "quillmoth: --scale %d does not fit the desktop (%d x %d); using %d\n",
                   RequestedScale_, usable.w, usable.h, scale);
    }
  }

  void SetScale(int scale, const SDL_Rect& usable, const WindowBorders& borders) {
    Scale_ = scale;
    const int width = ScreenWidth * scale;
    const int height = ScreenHeight * scale;
    SDL_SetWindowSize(Window_, width, height);
    if (usable.w <= 0 || usable.h <= 0) return;
    // Centred frame and all, so a tall title bar never lands above the desktop.
    const int outerWidth = width + borders.Left + borders.Right;
    const int outerHeight = height + borders.Top + borders.Bottom;
    SDL_SetWindowPosition(Window_,
                          usable.x + std::max((usable.w - outerWidth) / 2, 0) + borders.Left,
                          usable.y + std::max((usable.h - outerHeight) / 2, 0) + borders.Top);
  }

  // The host's keys: full screen on and off, and a screenshot. True when the
  // key is the host's; the game never sees it, neither going down nor
  // coming up.
  bool HostKey(const SDL_KeyboardEvent& key) {
    const SDL_Keycode code = key.keysym.sym;
    if (key.type == SDL_KEYUP) return HostKeysDown_.erase(code) > 0;
    const bool enter = code == SDLK_RETURN || code == SDLK_KP_ENTER;
    const bool fullScreen =
        Window_ != nullptr && (SDL_GetWindowFlags(Window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    if (code != SDLK_F11 && code != SDLK_F12 && code != SDLK_ESCAPE &&
        !(enter && (key.keysym.mod & KMOD_ALT) != 0)) {
      return false;
    }
    HostKeysDown_.insert(code);
    if (key.repeat != 0 || Window_ == nullptr) return true;  // held down: once is enough
    if (code == SDLK_F12) {
      // Without --shot-scale, the picture as large as the player sees it.
      const Screenshot shot = SaveScreenshot(ShotScale_ > 0 ? ShotScale_ : ShownFactor());
      ShowPassingTitle(shot.Title);
    } else if (code != SDLK_ESCAPE || fullScreen) {
      // Borderless over the whole desktop, no video mode change; the
      // surface takes the desktop's size and the picture is centred in it.
      SDL_SetWindowFullscreen(Window_, fullScreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    return true;
  }

  // The whole factor the picture is shown at now, windowed or full screen.
  int ShownFactor() const {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(Window_, &width, &height);
    return PlacePicture(width, height).Factor;
  }

  // Says something in the title for a few seconds: a player without a
  // terminal learns what a key did. The title then goes back to Title_, as
  // it is by then. Taken down from the frame's own look at the desktop, so
  // no other thread ever touches the window.
  void ShowPassingTitle(const std::string& text) {
    PassingTitleEnds_ = SDL_GetTicks64() + PassingTitleLength;
    SDL_SetWindowTitle(Window_, ("Quillmoth: " + text).c_str());
  }

  // Milliseconds until the passing title is due to go, at most its length.
  int PassingTitleLeft() const {
    const uint64_t now = SDL_GetTicks64();
    return now < PassingTitleEnds_ ? static_cast<int>(PassingTitleEnds_ - now) : 0;
  }

  void EndPassingTitleWhenDue() {
    if (PassingTitleEnds_ == 0 || SDL_GetTicks64() < PassingTitleEnds_) return;
    PassingTitleEnds_ = 0;
    if (Window_ != nullptr) SDL_SetWindowTitle(Window_, Title_.c_str());
  }

  void SetIcon(const IconImage& icon) {
    // SDL copies the pixels; the surface only borrows them for the call.
    std::vector<uint8_t> pixels = icon.Rgba;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        pixels.data(), icon.Width, icon.Height, 32, icon.Width * 4, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(Window_, surface);
    SDL_FreeSurface(surface);
  }

  // Shows the display memory's picture. `full` repaints the whole window
  // (after an expose, a size change or a restore); otherwise an unchanged
  // picture costs one comparison and sends nothing.
  void Present(bool full) {
    if (Window_ == nullptr || Hidden_ || Minimised_) return;
    // Valid until the window's size changes; SDL then makes a new one.
    SDL_Surface* surface = SDL_GetWindowSurface(Window_);
    if (surface == nullptr) return;
    if (surface != Surface_ || surface->w != SurfaceWidth_ || surface->h != SurfaceHeight_) {
      Surface_ = surface;
      SurfaceWidth_ = surface->w;
      SurfaceHeight_ = surface->h;
      RepaintAll_ = true;
    }
    full = full || RepaintAll_;
    const std::span<const uint8_t> block = DisplayBlock();
    if (!full && std::ranges::equal(block, ShownBlock_)) return;
    ShownBlock_.assign(block.begin(), block.end());
    DecodeDisplay(*Decoded_);

    int firstRow = 0;
    int endRow = ScreenHeight;
    if (!full) {
      const auto rowDiffers = [this](int y) {
        const size_t at = static_cast<size_t>(y) * ScreenWidth;
        return std::memcmp(Decoded_->data() + at, Shown_->data() + at,
                           ScreenWidth * sizeof(uint32_t)) != 0;
      };
      while (firstRow < ScreenHeight && !rowDiffers(firstRow)) ++firstRow;
      if (firstRow == ScreenHeight) return;  // bytes no pixel shows
      while (!rowDiffers(endRow - 1)) --endRow;
    }
    std::swap(Decoded_, Shown_);

    const PicturePlacement placement = PlacePicture(SurfaceWidth_, SurfaceHeight_);
    if (full) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    const SDL_Rect drawn = Scaler_.Draw(surface, placement, *Shown_, firstRow, endRow);
    if (full) {
      SDL_UpdateWindowSurface(Window_);
    } else if (drawn.w > 0 && drawn.h > 0) {
      SDL_UpdateWindowSurfaceRects(Window_, &drawn, 1);
    }
    RepaintAll_ = false;
  }

  void Post(uint32_t message, uintptr_t first, intptr_t second) {
    QueueMessage({GameWindow(), message, first, second});
  }

  // A stylus message at window pixel (x, y), mapped onto the picture as it
  // is drawn now. Points on the border around the picture touch nothing.
  void PostStylus(uint32_t message, int x, int y) {
    if (Window_ == nullptr) return;
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(Window_, &width, &height);
    int displayX = 0;
    int displayY = 0;
    if (!WindowToDisplay(PlacePicture(width, height), x, y, &displayX, &displayY)) return;
    Post(message, 0,
         PackStylusPosition(static_cast<uint32_t>(displayX), static_cast<uint32_t>(displayY)));
  }

  // Finger positions arrive as fractions of the window (0..1).
  void PostFinger(uint32_t message, float x, float y) {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(Window_, &width, &height);
    const auto toPixel = [](float fraction, int size) {
      return std::clamp(static_cast<int>(fraction * static_cast<float>(size)), 0, size - 1);
    };
    PostStylus(message, toPixel(x, width), toPixel(y, height));
  }

  void Translate(const SDL_Event& event) {
    switch (event.type) {
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        // Touches also arrive as fingers below; their mouse echo is skipped.
        if (Replay_ || event.button.which == SDL_TOUCH_MOUSEID ||
            event.button.button != SDL_BUTTON_LEFT) {
          break;
        }
        PostStylus(event.type == SDL_MOUSEBUTTONDOWN ? MessageStylusDown : MessageStylusUp,
                   event.button.x, event.button.y);
        break;
      case SDL_MOUSEMOTION:
        // A mouse moving with no button held is no stylus on the glass.
        if (Replay_ || event.motion.which == SDL_TOUCH_MOUSEID ||
            (event.motion.state & SDL_BUTTON_LMASK) == 0) {
          break;
        }
        PostStylus(MessageStylusMove, event.motion.x, event.motion.y);
        break;
      case SDL_FINGERDOWN:
      case SDL_FINGERUP:
      case SDL_FINGERMOTION: {
        if (Replay_) break;
        const uint32_t message = event.type == SDL_FINGERDOWN ? MessageStylusDown
                                 : event.type == SDL_FINGERUP ? MessageStylusUp
                                                              : MessageStylusMove;
        PostFinger(message, event.tfinger.x, event.tfinger.y);
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (HostKey(event.key) || Replay_) break;
        Post(event.type == SDL_KEYDOWN ? MessageKeyDown : MessageKeyUp,
             static_cast<uintptr_t>(static_cast<uint32_t>(event.key.keysym.sym)), 0);
        break;
      case SDL_WINDOWEVENT:
        switch (event.window.event) {
          // A replay has the recorded game's focus changes instead.
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (!Replay_) Post(MessageActivate, ActivateOn, 0);
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            if (!Replay_) Post(MessageActivate, ActivateOff, 0);
            break;
          // What the desktop kept of the window may be gone: repaint it all.
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            Present(true);
            break;
          case SDL_WINDOWEVENT_MINIMIZED:
            Minimised_ = true;
            break;
          case SDL_WINDOWEVENT_HIDDEN:
            Hidden_ = true;
            break;
          case SDL_WINDOWEVENT_RESTORED:
          case SDL_WINDOWEVENT_MAXIMIZED:
            Minimised_ = false;
            Present(true);
            break;
          case SDL_WINDOWEVENT_SHOWN:
            Hidden_ = false;
            Present(true);
            break;
          case SDL_WINDOWEVENT_CLOSE:
            Close();
            break;
          default:
            break;
        }
        break;
      case SDL_QUIT:
        Close();
        break;
      default:
        break;
    }
  }

  // The close button destroys the game's window, once; the game answers
  // with its quit request.
  void Close() {
    if (Closed_) return;
    Closed_ = true;
    Post(MessageDestroy, 0, 0);
  }

  // The clock: real time latched at each sleep (Base_ turns SDL's count
  // into ticks), or a replay's virtual one; the real moments the current
  // frame began and the game last read the clock, for pacing.
  bool Replay_;
  VirtualClock Virtual_;
  uint32_t Latched_ = 0;
  uint32_t Base_ = 0;
  uint64_t FrameBegan_ = 0;
  uint64_t LastRead_ = 0;
  uint32_t FrameLength_ = 0;
  std::string Title_ = "Quillmoth";
  // Long enough to read, short enough not to stay in the way.
  static constexpr uint64_t PassingTitleLength = 3000;
  uint64_t PassingTitleEnds_ = 0;  // SDL's milliseconds; 0: none on show
  int RequestedScale_;             // 0: the default
  int ShotScale_;                  // 0: the factor the picture is shown at
  int Scale_ = 1;
  bool Fitted_ = false;  // sized again after the first show
  std::set<SDL_Keycode> HostKeysDown_;
  SDL_Window* Window_ = nullptr;
  std::unique_ptr<Mixer> Mixer_;
  bool Closed_ = false;
  bool Hidden_ = true;  // made hidden; shown by ShowGameWindow
  bool Minimised_ = false;

  // What the window shows: the display memory it was decoded from and the
  // picture, to compare the next frame with. Two pictures, swapped after
  // each decode.
  using Picture = std::array<uint32_t, ScreenWidth * ScreenHeight>;
  std::vector<uint8_t> ShownBlock_;
  std::unique_ptr<Picture> Shown_ = std::make_unique<Picture>();
  std::unique_ptr<Picture> Decoded_ = std::make_unique<Picture>();
  SDL_Surface* Surface_ = nullptr;
  int SurfaceWidth_ = 0;
  int SurfaceHeight_ = 0;
  bool RepaintAll_ = true;
  PictureScaler Scaler_;
};

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend(const Options& options, std::string* error) {
  // Without this SDL backs the window surface with its renderer, which on a
  // desktop without a GPU driver is a software OpenGL rasteriser; with it,
  // X11 gets shared-memory images, a plain copy.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Touches are read as fingers; mouse events SDL makes from them are marked
  // and skipped, so each touch counts once.
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    *error = std::string("cannot open the video device: ") + SDL_GetError();
    SDL_Quit();
    return nullptr;
  }
  return std::make_unique<SdlBackend>(options);
}

}  // namespace host::detail
