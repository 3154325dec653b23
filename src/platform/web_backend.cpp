// The browser backend: the page's canvas shows the display memory, pointer
// events (touch, mouse, pen) are the stylus, the page being hidden or shown
// is the window losing or gaining focus, Web Audio plays the effects, and the
// page's clock counts the ticks. The JavaScript half is web/host_library.js.
//
// The game's loop blocks: it draws, presents and sleeps. Built with ASYNCIFY,
// each sleep hands the page back to the browser, which paints, delivers input
// and runs its timers until the sleep is over; the game sees input only
// between frames, as on the desktop. The sleep is one browser timer and
// nothing else: between frames the page asks the browser for no work at all.
//
// A phone pays for every frame the browser composes, so the canvas hears of
// a frame only when its picture changed, and then only of the rectangle that
// changed; a hidden page gets no pictures, and plays no sound.
//
// Records need nothing here: the game forces every save to disk, and the
// page answers that flush by copying the IndexedDB-backed folder to
// IndexedDB before the game goes on; a write IndexedDB refuses is a failed
// flush, so the game's save fails as on a full disk (fd_sync in
// web/host_library.js, and web/storage.js).
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <utility>
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
void quillmoth_page_pause(uint32_t milliseconds);
int quillmoth_page_listen();
int quillmoth_page_take_input(int32_t* event);
void quillmoth_page_show(const uint32_t* rgba, int left, int top, int width, int height);
int quillmoth_page_play_sound(const char* path, int noStop);
void quillmoth_page_frame_ended(double frames);
void quillmoth_page_say(const char* text);
}

namespace host::detail {
namespace {

// What web/host_library.js queues for the game, one event at a time.
enum PageInput : int32_t { PointerDown, PointerMove, PointerUp, PageHidden, PageShown };

using Picture = std::array<uint32_t, ScreenWidth * ScreenHeight>;

// Whether two blocks of display memory hold the same bytes, eight at a time:
// the still frames of a game are most of its frames, and this is all they
// cost.
bool SameBytes(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  if (a.size() != b.size()) return false;
  size_t i = 0;
  for (; i + 8 <= a.size(); i += 8) {
    uint64_t x = 0;
    uint64_t y = 0;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y) return false;
  }
  for (; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// Whether pixels [from, to) of row y are the same in both pictures.
bool SameRun(const Picture& a, const Picture& b, int y, int from, int to) {
  const size_t at = static_cast<size_t>(y) * ScreenWidth;
  for (auto x = static_cast<size_t>(from); x < static_cast<size_t>(to); ++x) {
    if (a[at + x] != b[at + x]) return false;
  }
  return true;
}

// The smallest rectangle holding every pixel that differs between the two
// pictures; empty (Right == 0) when none does.
struct Box {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

Box ChangedBox(const Picture& now, const Picture& before) {
  Box box;
  int top = 0;
  while (top < ScreenHeight && SameRun(now, before, top, 0, ScreenWidth)) ++top;
  if (top == ScreenHeight) return box;
  int bottom = ScreenHeight;
  while (SameRun(now, before, bottom - 1, 0, ScreenWidth)) --bottom;
  // Each row between moves the sides out only as far as it needs.
  int left = ScreenWidth;
  int right = 0;
  for (int y = top; y < bottom; ++y) {
    const size_t at = static_cast<size_t>(y) * ScreenWidth;
    for (int x = 0; x < left; ++x) {
      if (now[at + x] != before[at + x]) {
        left = x;
        break;
      }
    }
    for (int x = ScreenWidth; x > right; --x) {
      if (now[at + x - 1] != before[at + x - 1]) {
        right = x;
        break;
      }
    }
  }
  return {left, top, right, bottom};
}

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
    quillmoth_page_pause(milliseconds);
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
      // A page opened behind another tab starts hidden, with no event to say so.
      Hidden_ = quillmoth_page_listen() != 0;
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
          Hidden_ = true;
          Post(MessageActivate, ActivateOff, 0);
          break;
        case PageShown:
          // The browser may have let the canvas go while nobody saw it; the
          // picture comes back whole, at once, not at the next change.
          Hidden_ = false;
          Repaint_ = true;
          Present();
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

  // Nobody sees a hidden page: its frames wait until it is shown again.
  void PresentDisplay() override {
    if (!Hidden_) Present();
  }

  bool PlaySound(const std::string& path, uint32_t flags) override {
    if (!IsPlainFile(path)) return false;
    return quillmoth_page_play_sound(path.c_str(), (flags & SoundNoStop) != 0 ? 1 : 0) != 0;
  }

 private:
  void Post(uint32_t message, uintptr_t first, intptr_t second) {
    QueueMessage({GameWindow(), message, first, second});
  }

  // Gives the canvas what changed since it was last given a picture. A frame
  // that leaves display memory as it was costs one comparison; one that
  // changes it is decoded, and only the rectangle around the pixels that
  // differ goes to the canvas. Nothing is allocated after the first frame.
  void Present() {
    const std::span<const uint8_t> block = DisplayBlock();
    if (!Repaint_ && SameBytes(block, Shown_)) return;
    // Once, and again only if the layout's size changed (it never does
    // within a run).
    if (Shown_.size() != block.size()) Shown_.resize(block.size());
    std::memcpy(Shown_.data(), block.data(), block.size());
    DecodeDisplay(XrgbPicture(*Decoded_));
    const Box box = Repaint_ ? Box{0, 0, ScreenWidth, ScreenHeight} : ChangedBox(*Decoded_, *Drawn_);
    if (box.Right == 0) return;  // bytes no pixel shows
    std::swap(Decoded_, Drawn_);
    Repaint_ = false;
    // ImageData wants red, green, blue, alpha in memory order.
    for (int y = box.Top; y < box.Bottom; ++y) {
      const size_t at = static_cast<size_t>(y) * ScreenWidth;
      for (auto i = at + box.Left; i < at + box.Right; ++i) {
        const uint32_t pixel = (*Drawn_)[i];
        Rgba_[i] = 0xFF000000u | (pixel & 0xFFu) << 16 | (pixel & 0xFF00u) | (pixel >> 16 & 0xFFu);
      }
    }
    quillmoth_page_show(Rgba_.data(), box.Left, box.Top, box.Right - box.Left,
                        box.Bottom - box.Top);
  }

  uint32_t Latched_ = 0;
  double Origin_ = 0;  // the page's time when the counter read Latched_
  bool Listening_ = false;
  bool Hidden_ = false;
  // The canvas must be given the whole picture at the next present: nothing
  // is on it yet, or the page was hidden.
  bool Repaint_ = true;
  std::vector<uint8_t> Shown_;  // the display memory the canvas shows
  // The picture the canvas shows, and the one being decoded; swapped when
  // the canvas is given the new one.
  std::unique_ptr<Picture> Drawn_ = std::make_unique<Picture>();
  std::unique_ptr<Picture> Decoded_ = std::make_unique<Picture>();
  // What the canvas reads: the shown picture as red, green, blue, alpha
  // bytes, kept between frames so that only a changed rectangle is redone.
  Picture Rgba_{};
};

}  // namespace

std::unique_ptr<Backend> MakeWebBackend(const Options& options) {
  return std::make_unique<WebBackend>(options);
}

}  // namespace host::detail
