#include "platform/png_file.h"

#include <png.h>

#include <cstring>

namespace host::detail {

bool WritePngRgb(const std::string& path, std::span<const uint8_t> rgb, int width, int height) {
  if (width <= 0 || height <= 0 ||
      rgb.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
    return false;
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  const int ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr);
  png_image_free(&image);
  return ok != 0;
}

bool ReadPngRgba(const std::string& path, int* width, int* height, std::vector<uint8_t>* rgba) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return false;
  image.format = PNG_FORMAT_RGBA;
  // A desktop icon larger than this is a mistake, not an icon.
  if (image.width == 0 || image.height == 0 || image.width > 1024 || image.height > 1024) {
    png_image_free(&image);
    return false;
  }
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return false;
  }
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  *rgba = std::move(pixels);
  return true;
}

}  // namespace host::detail
