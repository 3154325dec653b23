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
#include <algorithm>
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
#include "platform/web/web_backend.h"

extern "C" {
// web/host_library.js
double quillmoth_page_clock();
void quillmoth_page_pause(uint32_t milliseconds);
void quillmoth_page_listen(int32_t* hidden);
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

// The pixels a canvas is given: red, green, blue, alpha in memory order.
constexpr uint32_t Rgba(uint32_t red, uint32_t green, uint32_t blue) {
  return 0xFF000000u | blue << 16 | green << 8 | red;
}

// A 16-bit pixel as the desktop shows it (display_memory.cpp): each channel
// widened to 8 bits by repeating its top bits, so full scale stays full.
constexpr uint32_t RgbaOf565(uint32_t v) {
  const uint32_t r = v >> 11;
  const uint32_t g = v >> 5 & 0x3F;
  const uint32_t b = v & 0x1F;
  return Rgba(r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2);
}

constexpr uint32_t RgbaOf444(uint32_t v) {
  return Rgba((v >> 8 & 15) * 0x11, (v >> 4 & 15) * 0x11, (v & 15) * 0x11);
}

// A 16-bit format converted by two table look-ups, one for each byte of the
// pixel, whose results are ORed. That holds for both formats: each 8-bit
// channel's bits come from one byte only, except rgb565's green, whose bits
// from the high byte (g << 2's top three, g >> 4) and from the low byte
// (g << 2's lower three) never overlap.
struct Palette {
  std::array<uint32_t, 256> High{};
  std::array<uint32_t, 256> Low{};

  constexpr uint32_t operator()(uint32_t v) const { return High[v >> 8] | Low[v & 0xFF]; }
};

template <uint32_t (*Convert)(uint32_t)>
constexpr Palette MakePalette() {
  Palette palette;
  for (uint32_t i = 0; i < 256; ++i) {
    palette.High[i] = Convert(i << 8);
    palette.Low[i] = Convert(i);
  }
  return palette;
}

constexpr Palette Palette565 = MakePalette<RgbaOf565>();
constexpr Palette Palette444 = MakePalette<RgbaOf444>();

// The split holds for every pixel value: checked here, in halves that stay
// within the compiler's limit on work done at compile time.
template <uint32_t (*Convert)(uint32_t)>
constexpr bool SameEverywhere(const Palette& palette, uint32_t from, uint32_t to) {
  for (uint32_t v = from; v < to; ++v) {
    if (palette(v) != Convert(v)) return false;
  }
  return true;
}
static_assert(SameEverywhere<RgbaOf565>(Palette565, 0, 0x8000));
static_assert(SameEverywhere<RgbaOf565>(Palette565, 0x8000, 0x10000));
static_assert(SameEverywhere<RgbaOf444>(Palette444, 0, 0x8000));
static_assert(SameEverywhere<RgbaOf444>(Palette444, 0x8000, 0x10000));

uint64_t Load8(const uint8_t* at) {
  uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// Whether two blocks of display memory hold the same bytes, eight at a time.
bool SameBytes(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  if (a.size() != b.size()) return false;
  size_t i = 0;
  for (; i + 8 <= a.size(); i += 8) {
    if (Load8(a.data() + i) != Load8(b.data() + i)) return false;
  }
  for (; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// The rectangle of the picture the canvas must be given again.
struct Box {
  int Left = ScreenWidth;
  int Top = ScreenHeight;
  int Right = 0;
  int Bottom = 0;

  bool Empty() const { return Right <= Left; }
  void Add(int left, int top, int right, int bottom) {
    Left = std::min(Left, left);
    Top = std::min(Top, top);
    Right = std::max(Right, right);
    Bottom = std::max(Bottom, bottom);
  }
};

// Whether pixels [from, to) of row y are the same in both pictures.
bool SameRun(const Picture& a, const Picture& b, int y, int from, int to) {
  const size_t at = static_cast<size_t>(y) * ScreenWidth;
  for (auto x = static_cast<size_t>(from); x < static_cast<size_t>(to); ++x) {
    if (a[at + x] != b[at + x]) return false;
  }
  return true;
}

// The smallest rectangle holding every pixel that differs between the two
// pictures.
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
  box.Add(left, top, right, bottom);
  return box;
}

class WebBackend final : public Backend {
 public:
  // The counter starts at the tick start, the game's seed, so a page given
  // ?tick-start deals the board a desktop run with that --tick-start deals.
  // It moves only in the frame's pause, by the page's real time (see
  // backend.h), so that a recording of the page replays exactly.
  explicit WebBackend(const Options& options) : Mode_(options.Display) {
    SetTicks(options.TickStart.value_or(0));
  }

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
      quillmoth_page_listen(&Hidden_);
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
          // The browser may have let the canvas go while nobody saw it; the
          // picture comes back whole, at once, not at the next change.
          Repaint_ = true;
          if (Hidden_ == 0) Present();
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
    if (Hidden_ == 0) Present();
  }

  bool PlaySound(const std::string& path, uint32_t flags) override {
    if (!IsPlainFile(path)) return false;
    return quillmoth_page_play_sound(path.c_str(), (flags & SoundNoStop) != 0 ? 1 : 0) != 0;
  }

 private:
  void Post(uint32_t message, uintptr_t first, intptr_t second) {
    QueueMessage({GameWindow(), message, first, second});
  }

  // Gives the canvas what changed since it was last given a picture: a frame
  // that leaves display memory as it was costs one comparison, and one that
  // changes it sends the canvas only the rectangle around the pixels that
  // differ. Nothing is allocated after the first frame.
  void Present() {
    const std::span<const uint8_t> block = DisplayBlock();
    if (Shown_.size() != block.size()) {
      // The first frame; a layout's size never changes within a run.
      Shown_.assign(block.size(), 0);
      Repaint_ = true;
    }
    Box box;
    switch (Mode_) {
      case DisplayMode::Rgb565:
        box = CompareRows(block, 480, false, Palette565);
        break;
      case DisplayMode::Rgb565Wide:
        box = CompareRows(block, 512, false, Palette565);
        break;
      case DisplayMode::Rgb565Flipped:
        box = CompareRows(block, 480, true, Palette565);
        break;
      case DisplayMode::Rgb444:
        box = CompareRows(block, 480, false, Palette444);
        break;
      default:
        box = CompareDecoded(block);
        break;
    }
    Repaint_ = false;
    if (box.Empty()) return;
    quillmoth_page_show(Rgba_.data(), box.Left, box.Top, box.Right - box.Left,
                        box.Bottom - box.Top);
  }

  // The layouts whose memory is picture rows of 16-bit pixels, `pitch`
  // bytes apart, top row first or (flipped) bottom row first. One pass over
  // the block: a row that equals the shown bytes costs a few operations a
  // word; in one that differs, what differs is converted into Rgba_, four
  // pixels at a time, and taken into the box.
  Box CompareRows(std::span<const uint8_t> block, size_t pitch, bool flipped,
                  const Palette& convert) {
    constexpr int Words = ScreenWidth / 4;  // a wide row's bytes past them show nothing
    const bool all = Repaint_;
    Box box;
    for (int row = 0; row < ScreenHeight; ++row) {
      const size_t at = static_cast<size_t>(row) * pitch;
      const uint8_t* now = block.data() + at;
      uint8_t* shown = Shown_.data() + at;
      if (!all) {
        uint64_t differ = 0;
        for (int w = 0; w < Words; ++w) differ |= Load8(now + 8 * w) ^ Load8(shown + 8 * w);
        if (differ == 0) continue;
      }
      const int y = flipped ? ScreenHeight - 1 - row : row;
      uint32_t* out = Rgba_.data() + static_cast<size_t>(y) * ScreenWidth;
      int left = ScreenWidth;
      int right = 0;
      for (int w = 0; w < Words; ++w) {
        const uint64_t word = Load8(now + 8 * w);
        if (!all && word == Load8(shown + 8 * w)) continue;
        std::memcpy(shown + 8 * w, &word, sizeof word);
        uint32_t* four = out + 4 * w;
        four[0] = convert(static_cast<uint32_t>(word & 0xFFFF));
        four[1] = convert(static_cast<uint32_t>(word >> 16 & 0xFFFF));
        four[2] = convert(static_cast<uint32_t>(word >> 32 & 0xFFFF));
        four[3] = convert(static_cast<uint32_t>(word >> 48));
        left = std::min(left, 4 * w);
        right = 4 * w + 4;
      }
      box.Add(left, y, right, y + 1);
    }
    return box;
  }

  // Any other layout: decoded whole as the desktop decodes it, then
  // compared pixel by pixel with the picture on the canvas.
  Box CompareDecoded(std::span<const uint8_t> block) {
    if (!Repaint_ && SameBytes(block, Shown_)) return {};
    std::memcpy(Shown_.data(), block.data(), block.size());
    if (!Drawn_) {
      Drawn_ = std::make_unique<Picture>();
      Decoded_ = std::make_unique<Picture>();
    }
    DecodeDisplay(XrgbPicture(*Decoded_));
    Box box;
    if (Repaint_) {
      box.Add(0, 0, ScreenWidth, ScreenHeight);
    } else {
      box = ChangedBox(*Decoded_, *Drawn_);
    }
    std::swap(Decoded_, Drawn_);
    for (int y = box.Top; y < box.Bottom; ++y) {
      const size_t at = static_cast<size_t>(y) * ScreenWidth;
      for (auto i = at + box.Left; i < at + box.Right; ++i) {
        const uint32_t pixel = (*Drawn_)[i];
        Rgba_[i] = Rgba(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
      }
    }
    return box;
  }

  uint32_t Latched_ = 0;
  double Origin_ = 0;  // the page's time when the counter read Latched_
  bool Listening_ = false;
  // 1 while the page is hidden: set by the page itself the moment it is, so
  // that not even the frame under way reaches the canvas.
  int32_t Hidden_ = 0;
  // The canvas must be given the whole picture at the next present: nothing
  // is on it yet, or the page was hidden.
  bool Repaint_ = true;
  DisplayMode Mode_;
  std::vector<uint8_t> Shown_;  // the display memory the canvas shows
  // For the layouts CompareRows cannot read: the picture the canvas shows,
  // and the next one, decoded.
  std::unique_ptr<Picture> Drawn_;
  std::unique_ptr<Picture> Decoded_;
  // What the canvas reads: the shown picture as red, green, blue, alpha
  // bytes, kept between frames so that only what changed is redone.
  Picture Rgba_{};
};

}  // namespace

std::unique_ptr<Backend> MakeWebBackend(const Options& options) {
  return std::make_unique<WebBackend>(options);
}

}  // namespace host::detail
