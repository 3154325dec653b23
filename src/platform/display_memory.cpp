// Emulated display memory and the direct display library (GX*) over it.
//
// The game writes straight into display memory, in whatever layout the
// display reports, so the host keeps real memory in that layout and decodes
// it into a picture only to show or photograph it. The layouts themselves,
// and their decoders, are rows of one table (display_layouts.cpp).
//
// Every block sits in one std::vector with guard space on both sides, filled
// with GuardByte, so that an address computed one step off still lands in
// owned memory (and a test can see that the guard was not touched).
#include <cstddef>
#include <cstring>
#include <span>
#include <vector>

#include "platform/backend.h"
#include "platform/display_layouts.h"
#include "platform/display_memory.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/png_file.h"

namespace host {
namespace {

// A multiple of 16, so the block inherits the vector's alignment.
constexpr size_t GuardBytes = 4096;
constexpr uint8_t GuardByte = 0xA5;

using detail::DisplayLayout;

struct DisplayState {
  DisplayMode Mode = DisplayMode::Rgb565;
  const DisplayLayout* Shape = &detail::LayoutOf(DisplayMode::Rgb565);
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
  return static_cast<size_t>(static_cast<ptrdiff_t>(GuardBytes) + State().Shape->Origin);
}

}  // namespace

namespace detail {

void ResetDisplayMemory(DisplayMode mode) {
  DisplayState& state = State();
  state = DisplayState{};
  state.Mode = mode;
  state.Shape = &LayoutOf(mode);
  state.Memory.assign(GuardBytes + state.Shape->BlockBytes + GuardBytes, GuardByte);
  std::memset(state.Memory.data() + GuardBytes, 0, state.Shape->BlockBytes);
}

std::span<const uint8_t> DisplayBlock() {
  DisplayState& state = State();
  if (state.Memory.empty()) ResetDisplayMemory(state.Mode);
  return std::span<const uint8_t>(state.Memory).subspan(GuardBytes, state.Shape->BlockBytes);
}

void DecodeDisplay(XrgbPicture picture) {
  DisplayState& state = State();
  if (state.Memory.empty()) ResetDisplayMemory(state.Mode);
  const uint8_t* d = state.Memory.data() + OriginOffset();
  state.Shape->Decode(d, *state.Shape, picture.data());
}

}  // namespace detail

void ReadDisplayPicture(std::span<uint8_t, ScreenWidth * ScreenHeight * 3> rgb) {
  std::vector<uint32_t> picture(ScreenWidth * ScreenHeight);
  detail::DecodeDisplay(detail::XrgbPicture(picture));
  for (size_t i = 0; i < picture.size(); ++i) {
    rgb[3 * i] = static_cast<uint8_t>(picture[i] >> 16);
    rgb[3 * i + 1] = static_cast<uint8_t>(picture[i] >> 8);
    rgb[3 * i + 2] = static_cast<uint8_t>(picture[i]);
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
  const host::detail::DisplayLayout& shape = *host::State().Shape;
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
