// The screens the player taps: the play panel, the board selection screen
// and the about page. Every control sits exactly on the rectangle the game
// tests taps against.
#pragma once

#include "make_assets/canvas.h"

namespace assets {

Canvas MakePlayPanel();     // 240 x 80, screen rows 240..319
Canvas MakeSelectScreen();  // 240 x 320
Canvas MakeAboutScreen();   // 240 x 320

// A raised button filling x0..x1, y0..y1 (both included).
void PaintButton(Canvas& canvas, int x0, int y0, int x1, int y1);
// A plain sunken well behind numbers the game prints.
void PaintWell(Canvas& canvas, int x0, int y0, int x1, int y1);
constexpr Rgb WellColour = MakeRgb(8, 8, 22);

}  // namespace assets
