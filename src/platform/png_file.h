// PNG files through libpng: the shots of scripted runs and the window icon.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace host::detail {

// Writes width x height RGB888 pixels, top row first, as an 8-bit RGB PNG.
bool WritePngRgb(const std::string& path, std::span<const uint8_t> rgb, int width, int height);
// Reads any PNG as RGBA8888, top row first.
bool ReadPngRgba(const std::string& path, int* width, int* height, std::vector<uint8_t>* rgba);

}  // namespace host::detail
