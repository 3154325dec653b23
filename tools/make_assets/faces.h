// The tile pictures: forty faces, each a different silhouette in its own
// ink on a parchment tile, and the tile back.
#pragma once

#include "make_assets/canvas.h"

namespace assets {

constexpr int TileSize = 30;
constexpr int FaceCount = 40;

// n is 1..40.
Canvas MakeFace(int n);
Canvas MakeTileBack();

}  // namespace assets
