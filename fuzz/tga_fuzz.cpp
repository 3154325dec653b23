// The picture loader against files of any content and every kind of size a
// caller could pass: small, zero, negative and far too large. The pixels
// are checked against a decoder written here from the two file layouts.
//
// Input: a flags byte, two 16-bit little-endian size selectors (width, then
// height), then the file itself.
//   flags bits 0 and 7  passed as the colour-mapped flag (any non-zero value
//                       means the colour-mapped layout)
//   bits 1-2, 3-4       kind of width, of height: small, zero, negative, huge
//   bit 5               the file does not exist (nothing is written)
//   bit 6               its folder does not exist either
// The header inside the file is whatever the input holds: a bottom-up or a
// top-down origin, another size or type, all load by the caller's word.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/tga.h"

namespace {

constexpr size_t PrefixBytes = 5;
constexpr uint16_t Untouched = 0xA5C3;

std::filesystem::path Folder;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "tga_fuzz: %s\n", what);
    std::abort();
  }
}

enum Kind { Small, Zero, Negative, Huge };

// Small sides keep a run fast; huge ones are at least 46341, so that two of
// them make more than 2^31 pixels: more than any 32-bit byte count holds.
int32_t Side(int kind, uint16_t selector) {
  switch (kind) {
    case Small:
      return 1 + selector % 64;
    case Zero:
      return 0;
    case Negative:
      return selector == 0xFFFF ? INT32_MIN : -1 - static_cast<int32_t>(selector);
    default:
      return selector == 0xFFFF ? INT32_MAX : 46341 + static_cast<int32_t>(selector) * 32767;
  }
}

// Channels of eight bits each down to red 5, green 6, blue 5: the low bits
// are dropped.
uint16_t FromEightBits(uint32_t red, uint32_t green, uint32_t blue) {
  return static_cast<uint16_t>((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
}

// A 1-5-5-5 pixel: red and blue keep their five bits, green's five become the
// top of its six, the attribute bit goes.
uint16_t FromFifteenBits(uint32_t stored) {
  const uint32_t red = (stored >> 10) & 31, green = (stored >> 5) & 31, blue = stored & 31;
  return static_cast<uint16_t>(red << 11 | (green * 2) << 5 | blue);
}

// The expected picture: bytes past the end of the file count as 0.
std::vector<uint16_t> Decode(const uint8_t* file, size_t size, size_t width, size_t height,
                             bool mapped) {
  const auto byte = [&](size_t at) -> uint32_t { return at < size ? file[at] : 0; };
  std::vector<uint16_t> picture(width * height);
  for (size_t y = 0; y < height; ++y) {
    // Stored rows run from the bottom of the picture up.
    const size_t stored = (height - 1 - y) * width;
    for (size_t x = 0; x < width; ++x) {
      if (mapped) {
        const size_t entry = 18 + 3 * byte(786 + stored + x);  // blue, green, red
        picture[y * width + x] = FromEightBits(byte(entry + 2), byte(entry + 1), byte(entry));
      } else {
        const size_t at = 18 + 2 * (stored + x);
        picture[y * width + x] = FromFifteenBits(byte(at) | byte(at + 1) << 8);
      }
    }
  }
  return picture;
}

void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Folder, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The reference itself, against the colours every layout must give.
  Check(FromEightBits(0xFF, 0x80, 0x10) == 0xFC02 && FromEightBits(0xFF, 0xFF, 0xFF) == 0xFFFF &&
            FromEightBits(0x07, 0x03, 0x07) == 0x0000,
        "colour-map reference");
  Check(FromFifteenBits(0x7FFF) == 0xFFDF && FromFifteenBits(0xFFFF) == 0xFFDF &&
            FromFifteenBits(0x7C00) == 0xF800 && FromFifteenBits(0x03E0) == 0x07C0 &&
            FromFifteenBits(0x001F) == 0x001F,
        "1-5-5-5 reference");
  Folder =
      std::filesystem::temp_directory_path() / ("quillmoth-fuzz-tga-" + std::to_string(::getpid()));
  RemoveFolder();
  std::filesystem::create_directories(Folder);
  std::atexit(RemoveFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < PrefixBytes) return 0;
  const uint8_t flags = data[0];
  const uint8_t mappedFlag = flags & 0x81;
  int widthKind = (flags >> 1) & 3, heightKind = (flags >> 3) & 3;
  const bool noFile = (flags & 0x20) != 0, noFolder = (flags & 0x40) != 0;
  // A huge side beside a small one would still ask for gigabytes; make both
  // huge so that the picture is out of reach altogether.
  if (widthKind == Huge && heightKind == Small) heightKind = Huge;
  if (heightKind == Huge && widthKind == Small) widthKind = Huge;
  const int32_t width = Side(widthKind, static_cast<uint16_t>(data[1] | data[2] << 8));
  const int32_t height = Side(heightKind, static_cast<uint16_t>(data[3] | data[4] << 8));
  const uint8_t* file = data + PrefixBytes;
  const size_t fileSize = size - PrefixBytes;

  const std::filesystem::path path =
      noFolder ? Folder / "missing" / "picture.tga" : Folder / "picture.tga";
  std::filesystem::remove(Folder / "picture.tga");
  if (!noFile && !noFolder) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    Check(
        out != nullptr && std::fwrite(file, 1, fileSize, out) == fileSize && std::fclose(out) == 0,
        "cannot write the picture file");
  }

  const uint64_t across = width > 0 ? static_cast<uint64_t>(width) : 0;
  const uint64_t down = height > 0 ? static_cast<uint64_t>(height) : 0;
  const uint64_t pixels = across * down;
  const bool tooLarge = pixels > INT32_MAX;

  if (pixels == 0 || tooLarge || noFolder) {
    // Nothing to write, or the load must fail: the block stays as it was.
    uint16_t block[4] = {Untouched, Untouched, Untouched, Untouched};
    const int32_t result = LoadTga(path.c_str(), width, height, block, mappedFlag);
    Check(result == (tooLarge || noFolder ? 0 : 1), "wrong result for an empty or failed load");
    for (uint16_t value : block) Check(value == Untouched, "the block was written");
    if (pixels == 0 && noFile && !noFolder) {
      Check(std::filesystem::exists(path) && std::filesystem::file_size(path) == 0,
            "a missing file is created empty");
    }
    return 0;
  }

  // Exactly the picture's size, so a write past its end is an ASan report.
  std::vector<uint16_t> block(pixels, Untouched);
  const int32_t result = LoadTga(path.c_str(), width, height, block.data(), mappedFlag);
  Check(result == 1, "a load from an existing folder returns 1");
  const std::vector<uint16_t> expected =
      noFile ? std::vector<uint16_t>(pixels, 0)
             : Decode(file, fileSize, across, down, mappedFlag != 0);
  Check(block == expected, "pixels differ from the reference");
  if (noFile) {
    Check(std::filesystem::file_size(path) == 0, "a missing file is created empty");
  }
  return 0;
}
