// The browser backend: the page's canvas shows the display memory, pointer
// events (touch, mouse, pen) are the stylus, the page being hidden or shown
// is the window losing or gaining focus, Web Audio plays the effects, and the
// page's clock counts the ticks. The JavaScript half is web/host_library.js.
//
// The game's loop blocks: it draws, presents and sleeps. Built with ASYNCIFY,
// each sleep hands the page back to the browser, which paints, delivers input
// and runs its timers until the sleep is over; the game sees input only
// between frames, as on the desktop.
//
// Records need nothing here: the game forces every save to disk, and the
// page answers that flush by copying the IndexedDB-backed folder to
// IndexedDB before the game goes on; a write IndexedDB refuses is a failed
// flush, so the game's save fails as on a full disk (fd_sync in
// web/host_library.js, and web/storage.js).
#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/display_memory.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/messages.h"
#include "platform/platform.h"

extern "C" {
// web/host_library.js
double quillmoth_page_clock();
void quillmoth_page_listen();
int quillmoth_page_take_input(int32_t* event);
void quillmoth_page_show(const uint32_t* rgba);
int quillmoth_page_play_sound(const char* path, int noStop);
void quillmoth_page_frame_ended(double frames);
void quillmoth_page_say(const char* text);
}

namespace host::detail {
namespace {

// What web/host_library.js queues for the game, one event at a time.
enum PageInput : int32_t { PointerDown, PointerMove, PointerUp, PageHidden, PageShown };

class WebBackend final : public Backend {
 public:
  // The counter starts at the tick start, the game's seed, so a page given
  // ?tick-start deals the board a desktop run with that --tick-start deals.
  // It moves only in the frame's pause, by the page's real time (see
  // backend.h), so that a recording of the page replays exactly.
  explicit WebBackend(const Options& options) { SetTicks(options.TickStart.value_or(0)); }

  uint32_t ReadTicks() override { return Latched_; }

  void SetTicks(uint32_t ticks) override {
    Latched_ = ticks;
    Origin_ = quillmoth_page_clock();
  }

  void BeginFrame(uint32_t) override {}

  // Once a frame, after its picture: the browser gets the page until the
  // pause is over.
  void Sleep(uint32_t milliseconds) override {
    quillmoth_page_frame_ended(static_cast<double>(FramesRun()));
    emscripten_sleep(milliseconds);
    // Whole milliseconds since the counter last moved; the fraction left
    // over counts towards the next move, so no time is lost on the way.
    const double now = quillmoth_page_clock();
    const double moved = std::floor(now - Origin_);
    Latched_ += static_cast<uint32_t>(static_cast<uint64_t>(moved));
    Origin_ += moved;
  }

  void ShowNotice(const std::string& text) override { quillmoth_page_say(text.c_str()); }

  // Nobody closes the page's canvas; the page offers a new game instead.
  void HoldLastFrame() override {}

  void CollectDesktopEvents() override {
    if (!Listening_) {
      Listening_ = true;
      quillmoth_page_listen();
    }
    std::array<int32_t, 3> event{};
    while (quillmoth_page_take_input(event.data()) != 0) {
      const auto position =
          PackStylusPosition(static_cast<uint32_t>(event[1]), static_cast<uint32_t>(event[2]));
      switch (event[0]) {
        case PointerDown:
          Post(MessageStylusDown, 0, position);
          break;
        case PointerMove:
          Post(MessageStylusMove, 0, position);
          break;
        case PointerUp:
          Post(MessageStylusUp, 0, position);
          break;
        case PageHidden:
          Post(MessageActivate, ActivateOff, 0);
          break;
        case PageShown:
          Post(MessageActivate, ActivateOn, 0);
          break;
        default:
          break;
      }
    }
  }

  // The canvas is always on the page.
  void ShowGameWindow(bool) override {}
  void BringToFront() override {}

  void PresentDisplay() override {
    const std::span<const uint8_t> block = DisplayBlock();
    if (std::equal(block.begin(), block.end(), Shown_.begin(), Shown_.end())) return;
    Shown_.assign(block.begin(), block.end());
    DecodeDisplay(XrgbPicture(Picture_));
    // ImageData wants red, green, blue, alpha in memory order.
    for (uint32_t& pixel : Picture_) {
      pixel = 0xFF000000u | (pixel & 0xFFu) << 16 | (pixel & 0xFF00u) | (pixel >> 16 & 0xFFu);
    }
    quillmoth_page_show(Picture_.data());
  }

  bool PlaySound(const std::string& path, uint32_t flags) override {
    if (!IsPlainFile(path)) return false;
    return quillmoth_page_play_sound(path.c_str(), (flags & SoundNoStop) != 0 ? 1 : 0) != 0;
  }

 private:
  void Post(uint32_t message, uintptr_t first, intptr_t second) {
    QueueMessage({GameWindow(), message, first, second});
  }

  uint32_t Latched_ = 0;
  double Origin_ = 0;  // the page's time when the counter read Latched_
  bool Listening_ = false;
  std::vector<uint8_t> Shown_;
  std::array<uint32_t, ScreenWidth * ScreenHeight> Picture_{};
};

}  // namespace

std::unique_ptr<Backend> MakeWebBackend(const Options& options) {
  return std::make_unique<WebBackend>(options);
}

}  // namespace host::detail
