// Writes 8-bit colour-mapped TGA files in the exact layout the game reads:
// 18-byte header, 256 three-byte entries (blue, green, red), then the
// indices bottom row first.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "make_assets/palette.h"

namespace assets {

std::vector<uint8_t> EncodeTga(const IndexedImage& image);
bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

}  // namespace assets
