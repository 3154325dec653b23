#include "pictures/face_maker.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "pictures/quantise.h"
#include "pictures/tile_frame.h"

namespace pictures {
namespace {

// The picture fills the face: the 28 x 28 pixels from (1, 1), whose corners
// the rim then rounds off.
constexpr int Cells = tile_frame::Side - 2;

// Averaging is done in linear light, with each colour weighted by its alpha:
// a fine pattern of black and white comes out the grey it looks from afar,
// and the colour of see-through pixels, often junk, counts for nothing.
struct Linear {
  double red = 0, green = 0, blue = 0, alpha = 0;
};

double ToLinear(double srgb) {
  return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

// Linear 0..1 to sRGB on the 0..255 scale.
double FromLinear(double linear) {
  linear = std::clamp(linear, 0.0, 1.0);
  return 255 * (linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055);
}

const std::array<float, 256>& LinearLevels() {
  static const std::array<float, 256> levels = [] {
    std::array<float, 256> table{};
    for (size_t i = 0; i < table.size(); ++i)
      table[i] = static_cast<float>(ToLinear(static_cast<double>(i) / 255));
    return table;
  }();
  return levels;
}

Linear FromRgb(uint32_t rgb) {
  const auto& linear = LinearLevels();
  return {linear[rgb >> 16 & 255], linear[rgb >> 8 & 255], linear[rgb & 255], 1};
}

// How much of source pixel `source` falls in face cell `cell` along one side,
// as a share of the cell.
struct Overlap {
  int64_t source;
  int cell;
  float share;
};

// The middle `side` pixels of `length`, cut into Cells equal runs; the cut
// may fall inside a pixel (an odd difference, or any picture not a multiple
// of 28 across), which then counts in part. Ordered by source pixel.
std::vector<Overlap> Overlaps(int64_t length, int64_t side) {
  std::vector<Overlap> out;
  const double start = static_cast<double>(length - side) / 2;
  const double width = static_cast<double>(side) / Cells;
  for (int cell = 0; cell < Cells; ++cell) {
    // side * cell is exact, so the last run ends exactly where the square does.
    const double from = start + static_cast<double>(side) * cell / Cells;
    const double to = start + static_cast<double>(side) * (cell + 1) / Cells;
    const auto last = std::min(static_cast<int64_t>(std::ceil(to)), length);
    for (auto s = static_cast<int64_t>(std::floor(from)); s < last; ++s) {
      const double covered =
          std::min(to, static_cast<double>(s + 1)) - std::max(from, static_cast<double>(s));
      if (covered > 0) out.push_back({s, cell, static_cast<float>(covered / width)});
    }
  }
  return out;
}

// The picture's middle square averaged down (or spread up) to Cells x Cells,
// premultiplied linear light, in the picture's stored orientation.
std::vector<Linear> Reduce(const uint8_t* pixels, int32_t width, int32_t height, size_t stride) {
  const int64_t side = std::min(width, height);
  const std::vector<Overlap> across = Overlaps(width, side);
  const std::vector<Overlap> down = Overlaps(height, side);
  const auto& linear = LinearLevels();
  std::vector<Linear> cells(Cells * Cells);
  std::array<std::array<float, 4>, Cells> row{};
  for (size_t k = 0; k < down.size();) {
    const int64_t y = down[k].source;
    const uint8_t* line = pixels + static_cast<size_t>(y) * stride;
    row = {};
    for (const Overlap& o : across) {
      const uint8_t* p = line + static_cast<size_t>(o.source) * 4;
      const float weight = o.share * static_cast<float>(p[3]) * (1.0f / 255);
      std::array<float, 4>& sum = row[static_cast<size_t>(o.cell)];
      sum[0] += weight * linear[p[0]];
      sum[1] += weight * linear[p[1]];
      sum[2] += weight * linear[p[2]];
      sum[3] += weight;
    }
    // A source row may reach into more than one row of cells.
    for (; k < down.size() && down[k].source == y; ++k) {
      Linear* out = &cells[static_cast<size_t>(down[k].cell * Cells)];
      const double share = down[k].share;
      for (size_t x = 0; x < Cells; ++x) {
        out[x].red += share * row[x][0];
        out[x].green += share * row[x][1];
        out[x].blue += share * row[x][2];
        out[x].alpha += share * row[x][3];
      }
    }
  }
  return cells;
}

// Cell (x, y) of the upright picture in a grid stored as `orientation` says:
// the stored pixel shown there.
size_t StoredCell(int x, int y, int32_t orientation) {
  constexpr int Last = Cells - 1;
  int sx = x, sy = y;
  switch (orientation) {
    case 2:
      sx = Last - x;
      break;
    case 3:
      sx = Last - x, sy = Last - y;
      break;
    case 4:
      sy = Last - y;
      break;
    case 5:
      sx = y, sy = x;
      break;
    case 6:
      sx = y, sy = Last - x;
      break;
    case 7:
      sx = Last - y, sy = Last - x;
      break;
    case 8:
      sx = Last - y, sy = x;
      break;
    default:
      break;
  }
  return static_cast<size_t>(sy * Cells + sx);
}

uint16_t Rgb565(uint32_t rgb) {
  // The game's own cut: the low bits go, they are not rounded.
  return static_cast<uint16_t>((rgb >> 8 & 0xF800) | (rgb >> 5 & 0x07E0) | (rgb >> 3 & 0x001F));
}

uint32_t ShownRgb(uint16_t colour) {
  return static_cast<uint32_t>(ShownLevel(colour >> 11, 5)) << 16 |
         static_cast<uint32_t>(ShownLevel(colour >> 5 & 63, 6)) << 8 |
         static_cast<uint32_t>(ShownLevel(colour & 31, 5));
}

Linear Over(const Linear& picture, const Linear& behind) {
  const double clear = 1 - std::clamp(picture.alpha, 0.0, 1.0);
  return {picture.red + behind.red * clear, picture.green + behind.green * clear,
          picture.blue + behind.blue * clear, 1};
}

std::vector<uint8_t> Encode(const MappedPicture& face) {
  constexpr int Side = tile_frame::Side;
  std::vector<uint8_t> out = {0,    1, 1,  // no id, a colour map, uncompressed colour-mapped
                              0,    0, 0,    1, 24,      // entries 0..255 of 24 bits
                              0,    0, 0,    0,          // origin
                              Side, 0, Side, 0, 8,  0};  // size, 8-bit indices, bottom row first
  out.reserve(FaceFileBytes);
  for (const uint16_t colour : face.palette) {
    // The full 8-bit levels the display shows, so that other viewers see the
    // same picture; the game's cut gives back the 16-bit colour.
    const uint32_t rgb = ShownRgb(colour);
    out.insert(out.end(), {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                           static_cast<uint8_t>(rgb >> 16)});
  }
  for (int y = Side - 1; y >= 0; --y) {
    const auto row = face.indices.begin() + y * Side;
    out.insert(out.end(), row, row + Side);
  }
  return out;
}

}  // namespace

std::vector<uint8_t> MakeFaceOriented(const uint8_t* pixels, int32_t width, int32_t height,
                                      size_t stride, int32_t orientation) {
  if (pixels == nullptr || width < 1 || height < 1 ||
      static_cast<uint64_t>(stride) < static_cast<uint64_t>(width) * 4)
    return {};
  // The middle square of a turned picture is the turned middle square, and
  // the cells are square: the picture is reduced as stored and only its 784
  // cells are turned.
  const std::vector<Linear> cells = Reduce(pixels, width, height, stride);

  constexpr int Side = tile_frame::Side;
  std::vector<WantedPixel> wanted(Side * Side);
  for (int y = 0; y < Side; ++y) {
    const uint32_t parchment =
        tile_frame::Shade(tile_frame::ParchmentTop, tile_frame::ParchmentBottom, y);
    for (int x = 0; x < Side; ++x) {
      WantedPixel& pixel = wanted[static_cast<size_t>(y * Side + x)];
      const int coverage = tile_frame::FaceCoverage(x, y);
      if (coverage == 0) {
        pixel.exact = Rgb565(tile_frame::Rim);
        continue;
      }
      const Linear& cell = cells[StoredCell(x - 1, y - 1, orientation)];
      if (coverage < 256) {
        // Where the rim's edge crosses the picture the two mix just as they
        // do on the generated tiles, and are shown as such, not dithered.
        const Linear seen = Over(cell, FromRgb(parchment));
        const auto level = [](double v) {
          return static_cast<uint32_t>(std::lround(FromLinear(v)));
        };
        const uint32_t face = level(seen.red) << 16 | level(seen.green) << 8 | level(seen.blue);
        pixel.exact = Rgb565(tile_frame::Framed(x, y, face));
        continue;
      }
      // Inside, a see-through picture shows the parchment exactly as the
      // game's own tiles show it, cut to 16 bits, so it matches them.
      const Linear seen = Over(cell, FromRgb(ShownRgb(Rgb565(parchment))));
      pixel.red = static_cast<float>(FromLinear(seen.red));
      pixel.green = static_cast<float>(FromLinear(seen.green));
      pixel.blue = static_cast<float>(FromLinear(seen.blue));
    }
  }
  return Encode(QuantiseDithered(wanted, Side, Side));
}

std::vector<uint8_t> MakeFace(const uint8_t* pixels, int32_t width, int32_t height, size_t stride) {
  return MakeFaceOriented(pixels, width, height, stride, 1);
}

}  // namespace pictures
