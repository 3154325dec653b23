#include "make_assets/palette.h"

#include <algorithm>
#include <map>
#include <utility>

namespace assets {
namespace {

constexpr uint16_t Key = 0xF800;
constexpr uint16_t Black = 0x0000;

struct Entry {
  uint16_t colour;
  uint32_t count;
};

int Channel(uint16_t c, int which) {
  const Rgb rgb = FromRgb565(c);
  return which == 0 ? Red(rgb) : which == 1 ? Green(rgb) : Blue(rgb);
}

struct ColourBox {
  std::vector<Entry> entries;
  int widest = 0;
  int range = 0;

  void Measure() {
    range = -1;
    for (int ch = 0; ch < 3; ++ch) {
      int lo = 255, hi = 0;
      for (const Entry& e : entries) {
        lo = std::min(lo, Channel(e.colour, ch));
        hi = std::max(hi, Channel(e.colour, ch));
      }
      if (hi - lo > range) {
        range = hi - lo;
        widest = ch;
      }
    }
  }

  uint16_t Mean() const {
    uint64_t r = 0, g = 0, b = 0, n = 0;
    for (const Entry& e : entries) {
      const Rgb rgb = FromRgb565(e.colour);
      r += static_cast<uint64_t>(Red(rgb)) * e.count;
      g += static_cast<uint64_t>(Green(rgb)) * e.count;
      b += static_cast<uint64_t>(Blue(rgb)) * e.count;
      n += e.count;
    }
    return ToRgb565(MakeRgb(static_cast<int>((r + n / 2) / n), static_cast<int>((g + n / 2) / n),
                            static_cast<int>((b + n / 2) / n)));
  }
};

}  // namespace

uint16_t PixelRgb565(Rgb pixel) {
  if (pixel & KeyMarker) return Key;
  const uint16_t v = ToRgb565(pixel);
  return v == Key ? static_cast<uint16_t>(0xF820) : v;  // a hair of green: never see-through
}

IndexedImage Quantise(const Canvas& canvas) {
  IndexedImage image;
  image.width = canvas.width;
  image.height = canvas.height;

  std::map<uint16_t, uint32_t> histogram;
  for (Rgb p : canvas.pixels) ++histogram[PixelRgb565(p)];

  std::map<uint16_t, uint8_t> lookup;
  auto add = [&image](uint16_t colour) {
    image.palette[static_cast<size_t>(image.used)] = colour;
    return static_cast<uint8_t>(image.used++);
  };

  if (histogram.size() <= 256) {
    for (const auto& [colour, count] : histogram) lookup[colour] = add(colour);
  } else {
    // Median cut over everything but the exact colours.
    std::vector<Entry> rest;
    for (const auto& [colour, count] : histogram) {
      if (colour == Key || colour == Black)
        lookup[colour] = add(colour);
      else
        rest.push_back({colour, count});
    }
    std::vector<ColourBox> boxes(1);
    boxes[0].entries = std::move(rest);
    boxes[0].Measure();
    const size_t budget = static_cast<size_t>(256 - image.used);
    while (boxes.size() < budget) {
      size_t pick = boxes.size();
      for (size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i].entries.size() > 1 &&
            (pick == boxes.size() || boxes[i].range > boxes[pick].range))
          pick = i;
      if (pick == boxes.size()) break;
      ColourBox& box = boxes[pick];
      const int ch = box.widest;
      std::stable_sort(box.entries.begin(), box.entries.end(),
                       [ch](const Entry& a, const Entry& b) {
                         return Channel(a.colour, ch) < Channel(b.colour, ch);
                       });
      uint64_t total = 0;
      for (const Entry& e : box.entries) total += e.count;
      uint64_t running = 0;
      size_t cut = 1;
      for (size_t i = 0; i + 1 < box.entries.size(); ++i) {
        running += box.entries[i].count;
        cut = i + 1;
        if (running * 2 >= total) break;
      }
      ColourBox upper;
      upper.entries.assign(box.entries.begin() + static_cast<std::ptrdiff_t>(cut),
                           box.entries.end());
      box.entries.resize(cut);
      box.Measure();
      upper.Measure();
      boxes.push_back(std::move(upper));
    }
    for (const ColourBox& box : boxes) {
      uint16_t mean = box.Mean();
      if (mean == Key) mean = 0xF820;
      if (mean == Black) mean = 0x0020;
      const uint8_t index = add(mean);
      for (const Entry& e : box.entries) lookup[e.colour] = index;
    }
  }

  image.indices.reserve(canvas.pixels.size());
  for (Rgb p : canvas.pixels) image.indices.push_back(lookup[PixelRgb565(p)]);
  return image;
}

std::vector<uint16_t> Decode(const IndexedImage& image) {
  std::vector<uint16_t> out;
  out.reserve(image.indices.size());
  for (uint8_t i : image.indices) out.push_back(image.palette[i]);
  return out;
}

}  // namespace assets
