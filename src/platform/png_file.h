// PNG files through libpng: the shots of scripted runs and of F12, and the
// window icon (desktop/png_file.cpp). The page writes none
// (web/web_services.cpp).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace host::detail {

// Writes width x height RGB888 pixels, top row first, as an 8-bit RGB PNG
// at `path`, replacing what is there (through a link, the file it names)
// only once the new picture is whole: a script's shot names its path.
bool WritePngRgb(const std::string& path, std::span<const uint8_t> rgb, int width, int height);
// Writes the same into a new file under a hidden temporary name in
// `folder`, where nothing can have been replaced, and returns that file's
// path for the caller to name; empty, with errno saying why, on failure.
std::string WritePngRgbInFolder(const std::string& folder, std::span<const uint8_t> rgb, int width,
                                int height);
// Reads any PNG as RGBA8888, top row first.
bool ReadPngRgba(const std::string& path, int* width, int* height, std::vector<uint8_t>* rgba);

}  // namespace host::detail
