// The emulated display memory behind the GX* calls.
#pragma once

#include <cstdint>
#include <span>

#include "platform/host.h"

namespace host::detail {

// Lays out fresh, cleared display memory for the mode; the display is closed.
void ResetDisplayMemory(DisplayMode mode);

// The layout's own bytes, without the guard space: equal blocks mean equal
// pictures, so a window can skip a frame that changed nothing.
std::span<const uint8_t> DisplayBlock();

// A decoded picture: 0x00RRGGBB pixels, top row first. ReadDisplayPicture's
// bytes are these pixels' red, green and blue.
using XrgbPicture = std::span<uint32_t, ScreenWidth * ScreenHeight>;
void DecodeDisplay(XrgbPicture picture);

}  // namespace host::detail
