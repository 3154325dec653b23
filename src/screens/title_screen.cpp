#include "screens/title_screen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

#include "game/board.h"
#include "gfx/back_buffer.h"
#include "gfx/vectors.h"
#include "screens/assets.h"
#include "screens/board_select_screen.h"
#include "services/input.h"
#include "services/present_frame.h"
#include "services/shared_state.h"
#include "services/sound_effects.h"

int32_t TitleAngle;
int32_t TitlePhaseU;
int32_t TitlePhaseV;

float TitleZoom;
int32_t TitleUx, TitleUy, TitleVx, TitleVy;
int32_t TitleDriftP, TitleDriftS;

namespace {

constexpr double DegreesToRadians = std::numbers::pi / 180.0;
constexpr int32_t TextureSide = 240;
constexpr int32_t UpperRows = 240;
constexpr uint32_t PanelTop = 240;

int32_t Truncate(double value) { return static_cast<int32_t>(value); }

// The pixel shown at texture position (u, v) over a front pixel: the texel
// through a window, the front picture elsewhere. Both are read, and the key
// colour picks one without a branch. `origin` is the first texel index of
// the texture copy (u, v) lies in.
uint16_t Sample(uint16_t pixel, uint32_t u, uint32_t v, uint32_t origin) {
  const uint16_t texel = BackdropPicture[(v >> 8) * TextureSide + (u >> 8) - origin];
  const auto keyed = static_cast<uint16_t>(-static_cast<int32_t>(pixel == KeyColour));
  return static_cast<uint16_t>((texel & keyed) | (pixel & ~keyed));
}

// How many pixels of a row, from this one on and at most `left`, keep the
// coordinate c (stepping by `step` each pixel, modulo 2^32) within the same
// 240-texel copy of the texture. The last copy below 2^32 is only 16 texels
// wide: a coordinate that wraps past 2^32 starts over at texel 0 and so
// leaves its copy there too.
int32_t PixelsInCopy(uint32_t c, int32_t step, int32_t left) {
  constexpr int64_t CopyUnits = int64_t{TextureSide} * 256;
  const int64_t first = int64_t{(c >> 8) / TextureSide} * CopyUnits;  // the copy's lowest c
  int64_t pixels = left;
  if (step > 0) {
    const int64_t end = std::min(first + CopyUnits, int64_t{1} << 32);
    pixels = (end - c + step - 1) / step;
  } else if (step < 0) {
    pixels = (c - first) / -int64_t{step} + 1;
  }
  return static_cast<int32_t>(std::min<int64_t>(pixels, left));
}

}  // namespace

void ComputeTitleFrame() {
  const double a = TitleAngle * DegreesToRadians;
  // The zoom went through a float on the handheld; keeping that rounding
  // keeps the truncated steps identical at every angle.
  TitleZoom = static_cast<float>(std::sin(a) * 2.0);
  const double zoom = TitleZoom;
  TitleUx = Truncate(std::cos(a) * zoom * 256.0);
  TitleUy = Truncate(std::sin(a) * zoom * 256.0);
  TitleVx = Truncate(std::sin(a) * zoom * -256.0);
  TitleVy = Truncate(std::cos(a) * zoom * 256.0);

  const double sb = std::sin(TitlePhaseU * DegreesToRadians);
  const double cc = std::cos(TitlePhaseV * DegreesToRadians);
  TitlePhaseU = (TitlePhaseU + 2) % 360;
  TitlePhaseV = (TitlePhaseV + 3) % 360;
  TitleDriftP = Truncate(sb * 100.0 + 50.0);
  TitleDriftS = Truncate(cc * 70.0 + 35.0);
}

void DrawTitleUpperArea() {
  // Texture coordinates are 24.8 fixed point and wrap modulo 2^32, so all of
  // this runs on unsigned values. Reading them unsigned before the shift is
  // also what gives the tiling its seam where a coordinate crosses zero.
  const uint32_t ux = static_cast<uint32_t>(TitleUx);
  const uint32_t uy = static_cast<uint32_t>(TitleUy);
  const uint32_t vx = static_cast<uint32_t>(TitleVx);
  const uint32_t vy = static_cast<uint32_t>(TitleVy);
  uint32_t rowU = 65536u - static_cast<uint32_t>(TitleDriftP) * (vx + ux);
  uint32_t rowV = 65536u - static_cast<uint32_t>(TitleDriftS) * (vy + uy);

  // What four pixels' steps add, lane by lane.
  const Words4 fourSteps = Words4{0, 1, 2, 3} * ux;
  const Words4 fourRows = Words4{0, 1, 2, 3} * uy;
  const uint16_t* front = FrontPicture;
  uint16_t* out = BackBuffer;
  for (int32_t y = 0; y < UpperRows; ++y) {
    rowU += vx;
    rowV += vy;
    uint32_t u = rowU;
    uint32_t v = rowV;
    // The row is cut where either coordinate leaves its copy of the tiled
    // texture; within a piece the texel is found by subtracting that copy's
    // origin instead of by two remainders per pixel.
    for (int32_t left = ScreenWidth; left > 0;) {
      const int32_t run = std::min(PixelsInCopy(u, TitleUx, left), PixelsInCopy(v, TitleUy, left));
      const uint32_t originU = (u >> 8) / TextureSide * TextureSide;
      const uint32_t originV = (v >> 8) / TextureSide * TextureSide;
      const uint32_t origin = originV * TextureSide + originU;
      int32_t x = 0;
      for (; x + 8 <= run; x += 8) {
        const Pixels8 pixels = LoadPixels(front + x);
        const Pixels8 keyed = reinterpret_cast<Pixels8>(pixels == KeyColour);
        // Eight pixels without a window are the front picture's own, and no
        // texel is looked up for them.
        if (AnyLaneSet(keyed)) {
          // Texel indices for eight pixels at once, then the eight texels,
          // then the key colour picks between texel and front pixel.
          const Words4 u0 = u + fourSteps, v0 = v + fourRows;
          const Words4 u1 = u0 + 4 * ux, v1 = v0 + 4 * uy;
          uint32_t index[8];
          const Words4 first = (v0 >> 8) * TextureSide + (u0 >> 8) - origin;
          const Words4 second = (v1 >> 8) * TextureSide + (u1 >> 8) - origin;
          std::memcpy(index, &first, sizeof first);
          std::memcpy(index + 4, &second, sizeof second);
          uint16_t texels[8];
          for (int32_t i = 0; i < 8; ++i) texels[i] = BackdropPicture[index[i]];
          StorePixels(out + x, (LoadPixels(texels) & keyed) | (pixels & ~keyed));
        } else {
          StorePixels(out + x, pixels);
        }
        u += 8 * ux;
        v += 8 * uy;
      }
      for (; x < run; ++x) {
        out[x] = Sample(front[x], u, v, origin);
        u += ux;
        v += uy;
      }
      front += run;
      out += run;
      left -= run;
    }
  }
}

void TitleScreen() {
  std::memcpy(BackBuffer + ScreenWidth * UpperRows, TitlePanelPicture,
              sizeof(uint16_t) * ScreenWidth * (ScreenHeight - UpperRows));
  ComputeTitleFrame();
  DrawTitleUpperArea();
  TitleAngle = (TitleAngle + 2) % 360;

  // Row 240 itself still belongs to the picture above the panel.
  if (TakeTap() && StylusY > PanelTop) {
    ScreenState = ScreenBoardSelect;
    SavedBoardSize = BoardSize;
    ReturnScreen = static_cast<uint8_t>(ScreenTitle);
    EffectNew();
  }

  PresentFrame();
}
