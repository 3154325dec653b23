// Turns a canvas into the 8-bit colour-mapped form the game loads: at most
// 256 RGB565 colours. The key colour 0xF800 and black stay exact (the title
// window and the record banner depend on them); every other colour is kept
// away from the key so that nothing becomes see-through by accident.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "make_assets/canvas.h"

namespace assets {

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::array<uint16_t, 256> palette{};  // RGB565; unused entries are black
  int used = 0;
  std::vector<uint8_t> indices;  // top row first
};

// The RGB565 value a canvas pixel stands for.
uint16_t PixelRgb565(Rgb pixel);
IndexedImage Quantise(const Canvas& canvas);
// The picture as the game will see it, top row first.
std::vector<uint16_t> Decode(const IndexedImage& image);

}  // namespace assets
