// Shared by the asset generator's tests: where the build put the generated
// files, and pictures read through the game's own loader.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "gfx/tga.h"

namespace asset_test {

inline std::filesystem::path BuiltFolder() { return QUILLMOTH_BINARY_DIR; }

// A file's bytes; none for a folder or a missing file.
inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  if (!std::filesystem::is_regular_file(path)) return {};
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Every entry under `root` by its path from there: a file's bytes, nothing
// for a folder.
inline std::map<std::string, std::vector<uint8_t>> ReadTree(const std::filesystem::path& root) {
  std::map<std::string, std::vector<uint8_t>> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    entries[relative(entry.path(), root).generic_string()] = ReadBytes(entry.path());
  return entries;
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint16_t> pixels;
  uint16_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

// A colour-mapped picture file, or one of the built Graph folder by name; one
// that cannot be read fails the test, and reads as black.
inline Picture LoadPictureFile(const std::filesystem::path& path, int width, int height) {
  Picture p{width, height, std::vector<uint16_t>(static_cast<size_t>(width * height), 0)};
  EXPECT_TRUE(std::filesystem::exists(path) &&
              LoadTga(path.c_str(), width, height, p.pixels.data(), 1) == 1)
      << path;
  return p;
}
inline Picture LoadPicture(const std::string& name, int width, int height) {
  return LoadPictureFile(BuiltFolder() / "Graph" / name, width, height);
}

// Mean brightness (sum of the three 5/6-bit fields scaled to 8 bits) over a
// rectangle, both corners included, clipped to the picture; optionally
// skipping an inner rectangle.
struct Rect {
  int x0, y0, x1, y1;
  bool Holds(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

inline int Brightness(uint16_t v) {
  return (((v >> 11) & 31) << 3) + (((v >> 5) & 63) << 2) + ((v & 31) << 3);
}

inline double MeanBrightness(const Picture& p, Rect area, const Rect* hole = nullptr) {
  double sum = 0;
  int n = 0;
  for (int y = area.y0; y <= area.y1; ++y)
    for (int x = area.x0; x <= area.x1; ++x) {
      if (x < 0 || y < 0 || x >= p.width || y >= p.height) continue;
      if (hole && hole->Holds(x, y)) continue;
      sum += Brightness(p.At(x, y));
      ++n;
    }
  return n ? sum / n : 0.0;
}

// Floods a width x height grid from the given cells through 4-neighbours
// that `within` accepts, marking each in `seen`; returns how many it marked.
template <typename Within>
int Flood(int width, int height, std::vector<uint8_t>& seen, std::vector<std::pair<int, int>> todo,
          Within within) {
  int marked = 0;
  while (!todo.empty()) {
    const auto [x, y] = todo.back();
    todo.pop_back();
    if (x < 0 || y < 0 || x >= width || y >= height || seen[y * width + x] || !within(x, y))
      continue;
    seen[y * width + x] = 1;
    ++marked;
    todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
  }
  return marked;
}

}  // namespace asset_test
