// Emulated display memory and the direct display library (GX*) over it.
//
// The game writes straight into display memory, in whatever layout the
// display reports, so the host keeps real memory in that layout and decodes
// it into a picture only to show or photograph it. Each layout is what some
// handheld panel really had:
//
//   rgb565           16-bit pixels, rows of 480 bytes, top row first. The
//                    game copies its whole frame in one block.
//   rgb565-wide      16-bit pixels, rows of 512 bytes: 32 bytes past each
//                    row belong to no pixel and are never written.
//   rgb565-flipped   rows bottom-up: the block's first bytes are row 319, and
//                    GXBeginDraw hands out the address of row 0, 319 rows
//                    into the block, with a row pitch of -480.
//   rgb565-sideways  a portrait screen on a landscape panel: each screen
//                    column x is one 640-byte panel line (320 pixels), bottom
//                    pixel first. Pitches: 640 along x, -2 along y. The game
//                    writes such displays from d + 640 when the row pitch is
//                    negative (d being GXBeginDraw's address), so pixel (x, y)
//                    lives at d + 640 - 2y + 640x: the lowest address used is
//                    d + 2 (x 0, y 319), the highest d + 153601. The block is
//                    exactly those 153,600 bytes and d lies 2 bytes before
//                    it, inside the guard space.
//   gray4            240 lines of 160 bytes, line x holding screen column x
//                    from the bottom up, two pixels a byte: byte k of line x
//                    has row 319 - 2k in its high nibble, row 318 - 2k in its
//                    low nibble. The game consults neither pitch.
//   gray2            rows of 60 bytes, four pixels a byte, leftmost in the
//                    two most significant bits; the game stores whole 32-bit
//                    words, so the block starts 4-byte aligned.
//   rgb444           12-bit colour the game cannot draw; it never calls
//                    GXBeginDraw. Kept as 16-bit words (0x0RGB) so the picture
//                    is still defined: black.
//
// Every block sits in one std::vector with guard space on both sides, filled
// with GuardByte, so that an address computed one step off still lands in
// owned memory (and a test can see that the guard was not touched).
#include <array>
#include <cstddef>
#include <cstring>
#include <span>
#include <vector>

#include "platform/backend.h"
#include "platform/display_memory.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/png_file.h"

namespace host {
namespace {

// A multiple of 16, so the block inherits the vector's alignment.
constexpr size_t GuardBytes = 4096;
constexpr uint8_t GuardByte = 0xA5;

struct Layout {
  size_t BlockBytes;  // the layout's own bytes, between the guards
  ptrdiff_t Origin;   // GXBeginDraw's address, from the block's start
  int32_t PixelPitch;
  int32_t RowPitch;
  int32_t BitsPerPixel;
};

Layout LayoutOf(DisplayMode mode) {
  switch (mode) {
    case DisplayMode::Rgb565:
      return {153600, 0, 2, 480, 16};
    case DisplayMode::Rgb565Wide:
      return {512 * 320, 0, 2, 512, 16};
    case DisplayMode::Rgb565Flipped:
      return {153600, 319 * 480, 2, -480, 16};
    case DisplayMode::Rgb565Sideways:
      return {153600, -2, 640, -2, 16};
    case DisplayMode::Gray4:
      // One column a line; a row step is half a byte, which a byte pitch
      // cannot say, so the row pitch reads 0.
      return {240 * 160, 0, 160, 0, 4};
    case DisplayMode::Gray2:
      return {60 * 320, 0, 0, 60, 2};
    case DisplayMode::Rgb444:
      return {153600, 0, 2, 480, 12};
  }
  return {153600, 0, 2, 480, 16};
}

struct DisplayState {
  DisplayMode Mode = DisplayMode::Rgb565;
  Layout Shape = LayoutOf(DisplayMode::Rgb565);
  std::vector<uint8_t> Memory;
  bool Open = false;
  bool Unavailable = false;
  uint32_t EndDraws = 0;
};

DisplayState& State() {
  static DisplayState state;
  return state;
}

size_t OriginOffset() {
  return static_cast<size_t>(static_cast<ptrdiff_t>(GuardBytes) + State().Shape.Origin);
}

uint8_t Expand5(uint32_t v) { return static_cast<uint8_t>(v << 3 | v >> 2); }
uint8_t Expand6(uint32_t v) { return static_cast<uint8_t>(v << 2 | v >> 4); }

uint16_t Read16(const uint8_t* at) {
  uint16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// Byte offset, from GXBeginDraw's address, of the 16-bit pixel (x, y).
ptrdiff_t Offset16(DisplayMode mode, int x, int y) {
  switch (mode) {
    case DisplayMode::Rgb565Wide:
      return static_cast<ptrdiff_t>(y) * 512 + x * 2;
    case DisplayMode::Rgb565Flipped:
      return -static_cast<ptrdiff_t>(y) * 480 + x * 2;
    case DisplayMode::Rgb565Sideways:
      return 640 - static_cast<ptrdiff_t>(y) * 2 + static_cast<ptrdiff_t>(x) * 640;
    default:
      return static_cast<ptrdiff_t>(y) * 480 + x * 2;
  }
}

void SetPixel(std::span<uint8_t> rgb, int x, int y, uint8_t r, uint8_t g, uint8_t b) {
  const size_t at = (static_cast<size_t>(y) * ScreenWidth + x) * 3;
  rgb[at] = r;
  rgb[at + 1] = g;
  rgb[at + 2] = b;
}

}  // namespace

namespace detail {

void ResetDisplayMemory(DisplayMode mode) {
  DisplayState& state = State();
  state = DisplayState{};
  state.Mode = mode;
  state.Shape = LayoutOf(mode);
  state.Memory.assign(GuardBytes + state.Shape.BlockBytes + GuardBytes, GuardByte);
  std::memset(state.Memory.data() + GuardBytes, 0, state.Shape.BlockBytes);
}

}  // namespace detail

void ReadDisplayPicture(std::span<uint8_t, ScreenWidth * ScreenHeight * 3> rgb) {
  DisplayState& state = State();
  if (state.Memory.empty()) detail::ResetDisplayMemory(state.Mode);
  const uint8_t* d = state.Memory.data() + OriginOffset();
  const DisplayMode mode = state.Mode;
  for (int y = 0; y < ScreenHeight; ++y) {
    if (mode == DisplayMode::Gray4) {
      const int fromBottom = ScreenHeight - 1 - y;
      const int shift = fromBottom % 2 == 0 ? 4 : 0;
      for (int x = 0; x < ScreenWidth; ++x) {
        const auto grey = static_cast<uint8_t>(17 * (d[x * 160 + fromBottom / 2] >> shift & 0x0F));
        SetPixel(rgb, x, y, grey, grey, grey);
      }
    } else if (mode == DisplayMode::Gray2) {
      for (int x = 0; x < ScreenWidth; ++x) {
        const auto grey = static_cast<uint8_t>(85 * (d[y * 60 + x / 4] >> (6 - 2 * (x % 4)) & 3));
        SetPixel(rgb, x, y, grey, grey, grey);
      }
    } else if (mode == DisplayMode::Rgb444) {
      for (int x = 0; x < ScreenWidth; ++x) {
        const uint16_t v = Read16(d + Offset16(mode, x, y));
        SetPixel(rgb, x, y, static_cast<uint8_t>(17 * (v >> 8 & 15)),
                 static_cast<uint8_t>(17 * (v >> 4 & 15)), static_cast<uint8_t>(17 * (v & 15)));
      }
    } else {
      for (int x = 0; x < ScreenWidth; ++x) {
        const uint16_t v = Read16(d + Offset16(mode, x, y));
        SetPixel(rgb, x, y, Expand5(v >> 11), Expand6(v >> 5 & 0x3F), Expand5(v & 0x1F));
      }
    }
  }
}

bool WriteDisplayPng(const std::string& path) {
  std::vector<uint8_t> rgb(ScreenWidth * ScreenHeight * 3);
  ReadDisplayPicture(std::span<uint8_t, ScreenWidth * ScreenHeight * 3>(rgb));
  return detail::WritePngRgb(path, rgb, ScreenWidth, ScreenHeight);
}

std::span<const uint8_t> DisplayMemory() {
  if (State().Memory.empty()) detail::ResetDisplayMemory(State().Mode);
  return State().Memory;
}

size_t DisplayOrigin() { return OriginOffset(); }

uint32_t EndDrawCount() { return State().EndDraws; }
bool DisplayOpen() { return State().Open; }
void SetDisplayUnavailable(bool unavailable) { State().Unavailable = unavailable; }

}  // namespace host

int GXOpenDisplay(WindowHandle, uint32_t) {
  auto& state = host::State();
  if (state.Memory.empty()) host::detail::ResetDisplayMemory(state.Mode);
  state.Open = true;
  return 1;
}

int GXOpenInput() { return 1; }

GXDisplayProperties GXGetDisplayProperties() {
  const host::Layout& shape = host::State().Shape;
  return {host::ScreenWidth, host::ScreenHeight, shape.PixelPitch,
          shape.RowPitch,    shape.BitsPerPixel, 0};
}

void* GXBeginDraw() {
  auto& state = host::State();
  if (!state.Open || state.Unavailable || state.Memory.empty()) return nullptr;
  return state.Memory.data() + host::OriginOffset();
}

int GXEndDraw() {
  auto& state = host::State();
  ++state.EndDraws;
  if (!state.Open) return 0;
  host::detail::CurrentBackend().PresentDisplay();
  return 1;
}

int GXCloseInput() { return 1; }

int GXCloseDisplay() {
  auto& state = host::State();
  const bool wasOpen = state.Open;
  state.Open = false;
  return wasOpen ? 1 : 0;
}
