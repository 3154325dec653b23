// The window icon, and a small PNG writer also used for previews.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace assets {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // top row first, 4 bytes a pixel
};

// size x size, transparent corners; the window icon is 64.
RgbaImage MakeIcon(int size);
// The sizes of the desktop theme's icons.
constexpr int IconSizes[] = {16, 32, 48, 64, 128, 256};
bool WritePng(const std::filesystem::path& path, const RgbaImage& image);

}  // namespace assets
