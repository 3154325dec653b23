// The night-sky backdrop: marbled ink clouds and stars, periodic in 240 in
// both directions so that the title's tiled, rotating view shows no seam.
#pragma once

#include "make_assets/canvas.h"

namespace assets {

constexpr int BackdropSize = 240;

Canvas MakeBackdrop();

// Periodic value noise in 0..1; cells must divide 240.
double PeriodicNoise(double x, double y, int cells, uint32_t seed);

}  // namespace assets
