// Tile faces from players' own pictures: decoded pixels in, the bytes of a
// 30 x 30 face file out, in the layout the game reads from its Graph folder.
// No files and no platform: the desktop's decoder and the web page's both
// hand their pixels here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pictures {

// Header, 256 three-byte palette entries, one index a pixel.
constexpr size_t FaceFileBytes = 18 + 256 * 3 + 30 * 30;

// `pixels` holds `height` rows of `width` RGBA pixels (red first, alpha not
// premultiplied), `stride` bytes from one row to the next. The picture is
// cut to the square in its middle, scaled to the face and framed like the
// game's own tiles; its see-through parts show the tile's parchment. Gives
// FaceFileBytes bytes, or none when the arguments describe no picture (no
// pixels, a side below 1, rows shorter than their pixels).
std::vector<uint8_t> MakeFace(const uint8_t* pixels, int32_t width, int32_t height, size_t stride);

// The same for a picture stored turned or mirrored, as an EXIF orientation
// tag says (1 upright, 2 mirrored, 3 upside down, 4 flipped, 5 to 8 the same
// four turned a quarter); any other value counts as upright.
std::vector<uint8_t> MakeFaceOriented(const uint8_t* pixels, int32_t width, int32_t height,
                                      size_t stride, int32_t orientation);

}  // namespace pictures
