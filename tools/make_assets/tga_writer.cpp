#include "make_assets/tga_writer.h"

#include <fstream>

namespace assets {

std::vector<uint8_t> EncodeTga(const IndexedImage& image) {
  std::vector<uint8_t> out;
  out.reserve(18 + 768 + image.indices.size());
  auto u8 = [&out](int v) { out.push_back(static_cast<uint8_t>(v)); };
  auto u16 = [&](int v) {
    u8(v & 255);
    u8((v >> 8) & 255);
  };
  u8(0);     // no image id
  u8(1);     // has a colour map
  u8(1);     // uncompressed, colour-mapped
  u16(0);    // first colour-map entry
  u16(256);  // colour-map length
  u8(24);    // bits per colour-map entry
  u16(0);    // x origin
  u16(0);    // y origin
  u16(image.width);
  u16(image.height);
  u8(8);  // bits per pixel
  u8(0);  // bottom-left origin, no attribute bits
  for (uint16_t c : image.palette) {
    // Low bits repeat the high ones so other viewers see full white; the
    // game's conversion drops them again.
    const Rgb rgb = FromRgb565(c);
    u8(Blue(rgb));
    u8(Green(rgb));
    u8(Red(rgb));
  }
  for (int row = image.height - 1; row >= 0; --row)
    for (int x = 0; x < image.width; ++x)
      out.push_back(image.indices[static_cast<size_t>(row * image.width + x)]);
  return out;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace assets
