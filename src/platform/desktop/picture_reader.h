// The player's own pictures, decoded for the face maker: PNG through libpng,
// JPEG through libjpeg-turbo with the orientation its EXIF data stores.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host::detail {

struct DecodedPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Orientation = 1;    // EXIF 1..8: how the stored pixels are to be turned
  std::vector<uint8_t> Rgba;  // Width x Height pixels, red first, alpha straight
};

// The picture at `path`, or false with a few words saying why not ("not a
// PNG or JPEG picture", "damaged: ...", "too large: ...").
bool ReadPicture(const std::string& path, DecodedPicture* picture, std::string* why);

}  // namespace host::detail
