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

RgbaImage MakeIcon();  // 64 x 64, transparent corners
bool WritePng(const std::filesystem::path& path, const RgbaImage& image);

}  // namespace assets
