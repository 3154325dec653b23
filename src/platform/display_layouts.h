// Every display memory layout the host can emulate, one row each: its name
// (--display MODE, and the page's ?display=MODE), the shape of its memory,
// what GXGetDisplayProperties tells the game's encoder, and the decoder that
// turns the memory back into a picture. A new layout is a value in
// DisplayMode (host.h) and a row in display_layouts.cpp; the command line,
// its --help text, the page and the display memory all read the table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/host.h"

namespace host::detail {

struct DisplayLayout;
// Reads the memory at GXBeginDraw's address (`origin`) into 240 x 320
// 0x00RRGGBB pixels, top row first.
using DisplayDecoder = void (*)(const uint8_t* origin, const DisplayLayout& layout,
                                uint32_t* picture);

struct DisplayLayout {
  DisplayMode Mode;
  std::string_view Name;
  size_t BlockBytes;  // the layout's own bytes, between the guards
  ptrdiff_t Origin;   // GXBeginDraw's address, from the block's start
  // What the game's encoder is told, and writes by.
  int32_t PixelPitch;
  int32_t RowPitch;
  int32_t BitsPerPixel;
  DisplayDecoder Decode;
};

// Every layout, in the order of DisplayMode.
std::span<const DisplayLayout> DisplayLayouts();
// The row of `mode`; rgb565's for a value that names no layout.
const DisplayLayout& LayoutOf(DisplayMode mode);
// The row called `name`; nullptr when none is.
const DisplayLayout* FindDisplayLayout(std::string_view name);

}  // namespace host::detail
