#include "screens/title_screen.h"

#include <cmath>
#include <cstring>

#include "app/input.h"
#include "app/main_loop.h"
#include "app/sound_effects.h"
#include "game/board.h"
#include "gfx/back_buffer.h"
#include "gfx/display_output.h"
#include "screens/assets.h"
#include "screens/board_select_screen.h"

int32_t TitleAngle;
int32_t TitlePhaseU;
int32_t TitlePhaseV;

float TitleZoom;
int32_t TitleUx, TitleUy, TitleVx, TitleVy;
int32_t TitleDriftP, TitleDriftS;

namespace {

constexpr double DegreesToRadians = 0.017453292519943295;
constexpr int32_t TextureSide = 240;
constexpr int32_t UpperRows = 240;
constexpr uint32_t PanelTop = 240;

int32_t Truncate(double value) { return static_cast<int32_t>(value); }

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

  const uint16_t* front = FrontPicture;
  const uint16_t* texture = BackdropPicture;
  uint16_t* out = BackBuffer;
  for (int32_t y = 0; y < UpperRows; ++y) {
    rowU += vx;
    rowV += vy;
    uint32_t u = rowU;
    uint32_t v = rowV;
    for (int32_t x = 0; x < ScreenWidth; ++x) {
      const uint16_t pixel = *front++;
      if (pixel == KeyColour) {
        const uint32_t tx = (u >> 8) % TextureSide;
        const uint32_t ty = (v >> 8) % TextureSide;
        *out++ = texture[TextureSide * ty + tx];
      } else {
        *out++ = pixel;
      }
      u += ux;
      v += uy;
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
