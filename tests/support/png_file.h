// Reading the program's PNG screenshots back in tests.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
  int Width = 0;
  int Height = 0;
  int Channels = 3;          // 3: RGB, 4: RGBA
  std::vector<uint8_t> Rgb;  // Width * Height pixels of Channels bytes, top row first

  const uint8_t* At(int x, int y) const {
    return &Rgb[(static_cast<size_t>(y) * Width + x) * static_cast<size_t>(Channels)];
  }
};

// Empty picture when the file cannot be read; with alpha, RGBA pixels.
inline Picture ReadPng(const std::string& path, bool alpha = false) {
  Picture picture;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  picture.Channels = alpha ? 4 : 3;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return picture;
  picture.Width = static_cast<int>(image.width);
  picture.Height = static_cast<int>(image.height);
  picture.Rgb = std::move(rgb);
  return picture;
}

// The pixels of a rectangle, for comparing regions of two pictures; nothing
// when the picture (one never written, say) does not hold the rectangle.
inline std::vector<uint8_t> Region(const Picture& p, int x, int y, int w, int h) {
  std::vector<uint8_t> out;
  if (x + w > p.Width || y + h > p.Height) return out;
  for (int row = y; row < y + h; ++row)
    for (int col = x; col < x + w; ++col) out.insert(out.end(), p.At(col, row), p.At(col, row) + 3);
  return out;
}
