#include "make_assets/backdrop.h"

#include <algorithm>
#include <cmath>

namespace assets {
namespace {

double LatticeValue(int i, int j, int cells, uint32_t seed) {
  i = ((i % cells) + cells) % cells;
  j = ((j % cells) + cells) % cells;
  uint32_t h =
      seed ^ (static_cast<uint32_t>(i) * 0x8DA6B343u) ^ (static_cast<uint32_t>(j) * 0xD8163841u);
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return static_cast<double>(h >> 8) / 16777216.0;
}

double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }

// Fractal sum of periodic noise, 0..1.
double Clouds(double x, double y, uint32_t seed) {
  static constexpr int Cells[] = {4, 8, 16, 30, 60};
  double sum = 0;
  double weight = 0;
  double amplitude = 1.0;
  for (int cells : Cells) {
    sum += amplitude * PeriodicNoise(x, y, cells, seed + static_cast<uint32_t>(cells));
    weight += amplitude;
    amplitude *= 0.5;
  }
  return sum / weight;
}

void Sparkle(Canvas& c, int x, int y, int arm, Rgb colour) {
  auto put = [&](int px, int py, int alpha) {
    c.Blend(((px % BackdropSize) + BackdropSize) % BackdropSize,
            ((py % BackdropSize) + BackdropSize) % BackdropSize, colour, alpha);
  };
  put(x, y, 256);
  for (int k = 1; k <= arm; ++k) {
    const int alpha = 220 - 200 * k / (arm + 1);
    put(x + k, y, alpha);
    put(x - k, y, alpha);
    put(x, y + k, alpha);
    put(x, y - k, alpha);
  }
  put(x + 1, y + 1, 60);
  put(x - 1, y + 1, 60);
  put(x + 1, y - 1, 60);
  put(x - 1, y - 1, 60);
}

}  // namespace

double PeriodicNoise(double x, double y, int cells, uint32_t seed) {
  const double size = static_cast<double>(BackdropSize) / cells;
  const double fx = x / size;
  const double fy = y / size;
  const int i = static_cast<int>(std::floor(fx));
  const int j = static_cast<int>(std::floor(fy));
  const double tx = Smooth(fx - i);
  const double ty = Smooth(fy - j);
  const double a = LatticeValue(i, j, cells, seed);
  const double b = LatticeValue(i + 1, j, cells, seed);
  const double c = LatticeValue(i, j + 1, cells, seed);
  const double d = LatticeValue(i + 1, j + 1, cells, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

Canvas MakeBackdrop() {
  Canvas sky(BackdropSize, BackdropSize);
  // Colour ramp from the darkest ink to the brightest cloud. Clouds carry
  // red and green because the record banner shows this picture shifted
  // (red becomes green, green becomes blue).
  const Rgb ramp[] = {MakeRgb(36, 18, 56),   MakeRgb(60, 32, 92),    MakeRgb(96, 50, 128),
                      MakeRgb(144, 78, 160), MakeRgb(198, 118, 168), MakeRgb(240, 182, 160)};
  for (int y = 0; y < BackdropSize; ++y)
    for (int x = 0; x < BackdropSize; ++x) {
      // Domain warping makes the clouds swirl like ink dropped in water;
      // the warp itself is periodic, so the picture still tiles.
      const double wx = 34.0 * (Clouds(x, y, 101) - 0.5);
      const double wy = 34.0 * (Clouds(x, y, 202) - 0.5);
      double n = Clouds(x + wx, y + wy, 7);
      n = std::clamp((n - 0.3) / 0.42, 0.0, 1.0);
      const double pos = n * n * 4.2;
      const int k = std::min(static_cast<int>(pos), 4);
      Rgb colour = MixF(ramp[k], ramp[k + 1], std::min(pos - k, 1.0));
      // Thin brighter ink lines along the contours give fine detail.
      const double band = n * 9.0;
      const double f = band - std::floor(band);
      if (f < 0.07 && n > 0.18) colour = Mix(colour, MakeRgb(196, 150, 220), 70);
      sky.Set(x, y, colour);
    }
  Random random(0x51A7u);
  for (int s = 0; s < 260; ++s) {
    const int x = random.Below(BackdropSize);
    const int y = random.Below(BackdropSize);
    const int brightness = 120 + random.Below(136);
    const Rgb star = MakeRgb(brightness, brightness, std::min(255, brightness + 30));
    sky.Blend(x, y, star, 200);
  }
  const Rgb warm = MakeRgb(255, 236, 180);
  const Rgb cool = MakeRgb(220, 230, 255);
  for (int s = 0; s < 18; ++s) {
    const int x = random.Below(BackdropSize);
    const int y = random.Below(BackdropSize);
    Sparkle(sky, x, y, 1 + random.Below(3), (s & 1) ? warm : cool);
  }
  return sky;
}

}  // namespace assets
