// The game's moth emblem (a long-tailed night moth), as shapes placed at any
// centre and size, shared by the title window, the about page and the icon.
#pragma once

#include "make_assets/canvas.h"

namespace assets {

struct MothEmblem {
  Shape wings;
  Shape body;
  Shape antennae;
  Shape eyespots;       // rings on the wings
  Shape eyespotPupils;  // their centres
  Shape veins;
};

// size is half the wingspan in pixels.
MothEmblem MakeMothEmblem(double cx, double cy, double size);

// Night-ink colours shared by the screens.
constexpr Rgb InkDeep = MakeRgb(12, 10, 30);
constexpr Rgb InkPanel = MakeRgb(30, 26, 66);
constexpr Rgb Gold = MakeRgb(226, 182, 82);
constexpr Rgb GoldDark = MakeRgb(150, 110, 40);
constexpr Rgb Cream = MakeRgb(248, 236, 204);
constexpr Rgb Lavender = MakeRgb(170, 156, 220);

// Fills a canvas with the night gradient and a sprinkle of faint stars.
void PaintNight(Canvas& canvas, Rgb top, Rgb bottom, uint32_t seed, int stars);

}  // namespace assets
