// The face maker against pictures of any pixels, size, row stride and stored
// orientation. The pixels sit in a buffer of exactly the size the arguments
// describe, so a read past it is an ASan report. Every face must be a whole
// 30 x 30 file in the game's layout, whose rim is the rim.
//
// Input: width and height selectors (16 bits each, little endian), a stride
// byte, an orientation byte, then pixel bytes, repeated to fill the picture.
//   sides      selector % 1030 - 2: -2..1027, so empty and negative ones too
//   stride     255: one byte short of a row; else that many bytes of padding
//   orientation as given, in range or not
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pictures/face_maker.h"

namespace {

constexpr size_t PrefixBytes = 6;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "pictures_fuzz: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < PrefixBytes) return 0;
  const int32_t width = (data[0] | data[1] << 8) % 1030 - 2;
  int32_t height = (data[2] | data[3] << 8) % 1030 - 2;
  // A million pixels at most keeps a run quick.
  if (width > 0 && height > 0 && width * height > (1 << 20)) height = (1 << 20) / width;
  const size_t row = width > 0 ? static_cast<size_t>(width) * 4 : 0;
  const size_t stride = data[4] == 255 ? row - 1 : row + data[4];
  const int32_t orientation = static_cast<int8_t>(data[5]);
  const uint8_t* pixels = data + PrefixBytes;
  const size_t count = size - PrefixBytes;

  const bool valid = width > 0 && height > 0 && data[4] != 255;
  std::vector<uint8_t> picture(valid ? stride * static_cast<size_t>(height - 1) + row : 1);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = count ? pixels[i % count] : 0;

  const std::vector<uint8_t> face =
      pictures::MakeFaceOriented(picture.data(), width, height, stride, orientation);
  if (!valid) {
    Check(face.empty(), "a face from arguments that describe no picture");
    return 0;
  }
  Check(face.size() == 1686, "a face of the wrong size");
  const uint8_t header[18] = {0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 30, 0, 30, 0, 8, 0};
  for (size_t i = 0; i < 18; ++i) Check(face[i] == header[i], "a header unlike the game's");
  // Each entry holds full levels: a 5- or 6-bit field with its top bits repeated below.
  for (size_t i = 0; i < 256; ++i) {
    const uint8_t blue = face[18 + 3 * i], green = face[19 + 3 * i], red = face[20 + 3 * i];
    Check(blue == ((blue & 0xF8) | blue >> 5) && red == ((red & 0xF8) | red >> 5) &&
              green == ((green & 0xFC) | green >> 6),
          "a palette entry that is not a 16-bit colour");
    Check(!(red >= 0xF8 && green < 4 && blue < 8), "the see-through colour in the palette");
  }
  // The outer ring and the pixel inside each corner: the rim, 14, 12, 30,
  // which the game shows as 0x0863. Rows are stored bottom row first.
  const auto shown = [&](int x, int y) {
    const size_t entry = 18 + 3 * size_t{face[786 + static_cast<size_t>((29 - y) * 30 + x)]};
    return (face[entry + 2] & 0xF8) << 8 | (face[entry + 1] & 0xFC) << 3 | face[entry] >> 3;
  };
  for (int i = 0; i < 30; ++i) {
    Check(shown(i, 0) == 0x0863 && shown(i, 29) == 0x0863 && shown(0, i) == 0x0863 &&
              shown(29, i) == 0x0863,
          "the outer ring is not the rim");
  }
  for (int x : {1, 28})
    for (int y : {1, 28}) Check(shown(x, y) == 0x0863, "a corner is not the rim");
  return 0;
}
