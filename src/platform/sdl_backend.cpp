// The SDL2 backend: a real window showing the display memory, input from the
// mouse, touch and keyboard, effects through the audio device, and the real
// clock.
#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/host.h"
#include "platform/icon.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/sound.h"

namespace host::detail {
namespace {

constexpr int MaxDefaultScale = 3;

class SdlBackend final : public Backend {
 public:
  SdlBackend(const Options& options, int scale) : TickStart_(options.TickStart), Scale_(scale) {}

  ~SdlBackend() override {
    Mixer_.reset();  // closes the audio device before SDL goes
    if (Texture_ != nullptr) SDL_DestroyTexture(Texture_);
    if (Renderer_ != nullptr) SDL_DestroyRenderer(Renderer_);
    if (Window_ != nullptr) SDL_DestroyWindow(Window_);
    SDL_Quit();
  }

  // SDL's millisecond count is 32 bits too and wraps the same way.
  uint32_t ReadTicks() override { return TickStart_ + SDL_GetTicks(); }
  void Sleep(uint32_t milliseconds) override { SDL_Delay(milliseconds); }
  void SetTicks(uint32_t ticks) override { TickStart_ = ticks - SDL_GetTicks(); }

  void CollectDesktopEvents() override {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) Translate(event);
  }

  void ShowGameWindow(bool visible) override {
    if (!visible) {
      if (Window_ != nullptr) SDL_HideWindow(Window_);
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
    SDL_RaiseWindow(Window_);
    Render();
  }

  void BringToFront() override {
    if (Window_ == nullptr) return;
    SDL_ShowWindow(Window_);
    SDL_RestoreWindow(Window_);
    SDL_RaiseWindow(Window_);
  }

  void PresentDisplay() override { Render(); }

  bool PlaySound(const std::string& path, uint32_t flags) override {
    if (!Mixer_) Mixer_ = std::make_unique<Mixer>();
    return Mixer_->Play(path, flags);
  }

 private:
  bool OpenWindow() {
    if (Window_ != nullptr) return true;
    // A normal desktop window: decorated so the player can move and close
    // it; the picture is scaled by a whole factor and never smoothed, so
    // every display pixel stays a crisp square.
    Window_ = SDL_CreateWindow("Quillmoth", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               ScreenWidth * Scale_, ScreenHeight * Scale_, SDL_WINDOW_HIDDEN);
    if (Window_ == nullptr) return false;
    if (const IconImage* icon = IconFromHandle(GameWindowIcon())) SetIcon(*icon);
    Renderer_ = SDL_CreateRenderer(Window_, -1, 0);
    if (Renderer_ == nullptr) return false;
    SDL_RenderSetLogicalSize(Renderer_, ScreenWidth, ScreenHeight);
    SDL_RenderSetIntegerScale(Renderer_, SDL_TRUE);
    Texture_ = SDL_CreateTexture(Renderer_, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STREAMING,
                                 ScreenWidth, ScreenHeight);
    return Texture_ != nullptr;
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

  void Render() {
    if (Texture_ == nullptr) return;
    ReadDisplayPicture(Picture_);
    SDL_UpdateTexture(Texture_, nullptr, Picture_.data(), ScreenWidth * 3);
    SDL_SetRenderDrawColor(Renderer_, 0, 0, 0, 255);
    SDL_RenderClear(Renderer_);
    SDL_RenderCopy(Renderer_, Texture_, nullptr, nullptr);
    SDL_RenderPresent(Renderer_);
  }

  void Post(uint32_t message, uintptr_t first, intptr_t second) {
    QueueMessage({GameWindow(), message, first, second});
  }

  // A stylus message at a point in 240 x 320 display pixels; the renderer
  // has already mapped the window's coordinates onto the picture. Points on
  // the border around the picture touch nothing.
  void PostStylus(uint32_t message, int x, int y) {
    if (x < 0 || y < 0 || x >= ScreenWidth || y >= ScreenHeight) return;
    Post(message, 0, PackStylusPosition(static_cast<uint32_t>(x), static_cast<uint32_t>(y)));
  }

  // Finger positions arrive as fractions of the picture (0..1).
  static int FingerToPixel(float fraction, int size) {
    return std::clamp(static_cast<int>(fraction * static_cast<float>(size)), 0, size - 1);
  }

  void Translate(const SDL_Event& event) {
    switch (event.type) {
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        // Touches also arrive as fingers below; their mouse echo is skipped.
        if (event.button.which == SDL_TOUCH_MOUSEID || event.button.button != SDL_BUTTON_LEFT) {
          break;
        }
        PostStylus(event.type == SDL_MOUSEBUTTONDOWN ? MessageStylusDown : MessageStylusUp,
                   event.button.x, event.button.y);
        break;
      case SDL_MOUSEMOTION:
        // A mouse moving with no button held is no stylus on the glass.
        if (event.motion.which == SDL_TOUCH_MOUSEID ||
            (event.motion.state & SDL_BUTTON_LMASK) == 0) {
          break;
        }
        PostStylus(MessageStylusMove, event.motion.x, event.motion.y);
        break;
      case SDL_FINGERDOWN:
      case SDL_FINGERUP:
      case SDL_FINGERMOTION: {
        const uint32_t message = event.type == SDL_FINGERDOWN ? MessageStylusDown
                                 : event.type == SDL_FINGERUP ? MessageStylusUp
                                                              : MessageStylusMove;
        PostStylus(message, FingerToPixel(event.tfinger.x, ScreenWidth),
                   FingerToPixel(event.tfinger.y, ScreenHeight));
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        Post(event.type == SDL_KEYDOWN ? MessageKeyDown : MessageKeyUp,
             static_cast<uintptr_t>(static_cast<uint32_t>(event.key.keysym.sym)), 0);
        break;
      case SDL_WINDOWEVENT:
        switch (event.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            Post(MessageActivate, ActivateOn, 0);
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            Post(MessageActivate, ActivateOff, 0);
            break;
          case SDL_WINDOWEVENT_EXPOSED:
            Render();
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

  uint32_t TickStart_;
  int Scale_;
  SDL_Window* Window_ = nullptr;
  SDL_Renderer* Renderer_ = nullptr;
  SDL_Texture* Texture_ = nullptr;
  std::unique_ptr<Mixer> Mixer_;
  std::array<uint8_t, ScreenWidth * ScreenHeight * 3> Picture_{};
  bool Closed_ = false;
};

// The largest whole factor, up to 3, at which the window fits the desktop's
// usable area (without the panels a desktop reserves).
int DefaultScale() {
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
  int scale = MaxDefaultScale;
  while (scale > 1 && (ScreenWidth * scale > usable.w || ScreenHeight * scale > usable.h)) --scale;
  return scale;
}

}  // namespace

std::unique_ptr<Backend> MakeSdlBackend(const Options& options, std::string* error) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  // Touches are read as fingers; mouse events SDL makes from them are marked
  // and skipped, so each touch counts once.
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    *error = std::string("cannot open the video device: ") + SDL_GetError();
    SDL_Quit();
    return nullptr;
  }
  const int scale = options.Scale > 0 ? options.Scale : DefaultScale();
  return std::make_unique<SdlBackend>(options, scale);
}

}  // namespace host::detail
