// The frame every tile shares: a dark rim with rounded, smoothed corners
// around a face shaded from top to bottom. The asset generator paints its
// faces and the tile back on it, and faces made from photos sit in the same
// frame, so both take the geometry from here. Colours are 0xRRGGBB.
#pragma once

#include <algorithm>
#include <cstdint>

namespace tile_frame {

constexpr int Side = 30;
constexpr uint32_t Rim = 0x0E0C1E;
// The parchment of a face-up tile, lightest at the top.
constexpr uint32_t ParchmentTop = 0xF6EED8;
constexpr uint32_t ParchmentBottom = 0xDCCCA8;

// a mixed with b: t = 0 gives a, t = 256 gives b, rounded to nearest.
constexpr uint32_t Mix(uint32_t a, uint32_t b, int t) {
  t = std::clamp(t, 0, 256);
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const auto x = static_cast<int>((a >> shift) & 255);
    const auto y = static_cast<int>((b >> shift) & 255);
    out |= static_cast<uint32_t>((x * (256 - t) + y * t + 128) >> 8) << shift;
  }
  return out;
}

// The face's shading at row y (0..29) between its top and bottom colours.
constexpr uint32_t Shade(uint32_t top, uint32_t bottom, int y) {
  return Mix(top, bottom, y * 256 / (Side - 1));
}

// How much of pixel (x, y) the face covers, 0..256: the face is the box from
// (1, 1) to (29, 29) with corners of radius 3.5, sampled 4 x 4 in each pixel
// (pixel x spans [x, x + 1)); the rim shows through the rest.
inline int FaceCoverage(int x, int y) {
  constexpr int Sub = 4;
  constexpr double Low = 1, High = 29, Radius = 3.5;
  int inside = 0;
  for (int j = y * Sub; j < (y + 1) * Sub; ++j)
    for (int i = x * Sub; i < (x + 1) * Sub; ++i) {
      const double px = (i + 0.5) / Sub;
      const double py = (j + 0.5) / Sub;
      if (px < Low || px > High || py < Low || py > High) continue;
      const double cx = std::clamp(px, Low + Radius, High - Radius);
      const double cy = std::clamp(py, Low + Radius, High - Radius);
      inside += (px - cx) * (px - cx) + (py - cy) * (py - cy) <= Radius * Radius;
    }
  return inside * 256 / (Sub * Sub);
}

// Pixel (x, y) of a tile whose face shows `face` there.
inline uint32_t Framed(int x, int y, uint32_t face) { return Mix(Rim, face, FaceCoverage(x, y)); }

}  // namespace tile_frame
