// A small median cut and Floyd-Steinberg ditherer of our own: the usual
// library for this is GPL-3 in its current versions (the game is MIT), and
// Debian has no WebAssembly build of it, while a face has only 900 pixels.
#include "pictures/quantise.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <utility>

namespace pictures {
namespace {

constexpr int Bits[3] = {5, 6, 5};
constexpr int Shifts[3] = {11, 5, 0};
// Green counts most and blue least, roughly as the eye weighs them.
constexpr float Weights[3] = {3, 4, 2};

int Field(uint16_t colour, int channel) {
  return colour >> Shifts[channel] & ((1 << Bits[channel]) - 1);
}

int Shown(uint16_t colour, int channel) {
  return ShownLevel(Field(colour, channel), Bits[channel]);
}

uint16_t NotKey(uint16_t colour) { return colour == KeyColour ? uint16_t{0xF820} : colour; }

// The field whose shown level is the highest at or below `value`.
int FieldBelow(float value, int channel) {
  const int top = (1 << Bits[channel]) - 1;
  int field = std::clamp(static_cast<int>(value * static_cast<float>(top) / 255.0f), 0, top);
  while (field < top && static_cast<float>(ShownLevel(field + 1, Bits[channel])) <= value) ++field;
  while (field > 0 && static_cast<float>(ShownLevel(field, Bits[channel])) > value) --field;
  return field;
}

int NearestField(double value, int channel) {
  const int below = FieldBelow(static_cast<float>(value), channel);
  const int top = (1 << Bits[channel]) - 1;
  if (below == top) return below;
  const double down = value - ShownLevel(below, Bits[channel]);
  const double up = ShownLevel(below + 1, Bits[channel]) - value;
  return up < down ? below + 1 : below;
}

struct Weighted {
  uint16_t colour;
  float weight;
};

struct Box {
  size_t begin, end;
  int channel = 0;
  int range = 0;
  double weight = 0;
};

void Measure(const std::vector<Weighted>& entries, Box& box) {
  box.range = -1;
  box.weight = 0;
  for (size_t i = box.begin; i < box.end; ++i) box.weight += entries[i].weight;
  for (int c = 0; c < 3; ++c) {
    int low = 255, high = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
      low = std::min(low, Shown(entries[i].colour, c));
      high = std::max(high, Shown(entries[i].colour, c));
    }
    if (high - low > box.range) box.range = high - low, box.channel = c;
  }
}

// Each wanted colour lies in a cell of the 16-bit lattice; dithering shows it
// as a mix of the cell's corners, so the corners are what the palette must
// hold, each weighted by how much of the colour it carries.
std::vector<Weighted> LatticeHistogram(const std::vector<WantedPixel>& pixels) {
  std::vector<float> weights(65536, 0.0f);
  for (const WantedPixel& p : pixels) {
    if (p.exact >= 0) continue;
    const float value[3] = {p.red, p.green, p.blue};
    int low[3];
    float toHigh[3];
    for (int c = 0; c < 3; ++c) {
      const float v = std::clamp(value[c], 0.0f, 255.0f);
      low[c] = FieldBelow(v, c);
      const int top = (1 << Bits[c]) - 1;
      const int l = ShownLevel(low[c], Bits[c]);
      toHigh[c] = low[c] == top ? 0.0f
                                : (v - static_cast<float>(l)) /
                                      static_cast<float>(ShownLevel(low[c] + 1, Bits[c]) - l);
    }
    for (int corner = 0; corner < 8; ++corner) {
      float w = 1;
      uint32_t colour = 0;
      for (int c = 0; c < 3; ++c) {
        const bool high = (corner >> c & 1) != 0;
        w *= high ? toHigh[c] : 1 - toHigh[c];
        colour |= static_cast<uint32_t>(low[c] + high) << Shifts[c];
      }
      // Rounding leaves hairs of weight on corners a colour does not use.
      if (w > 1e-4f) weights[colour] += w;
    }
  }
  std::vector<Weighted> entries;
  for (size_t c = 0; c < weights.size(); ++c)
    if (weights[c] > 0) entries.push_back({static_cast<uint16_t>(c), weights[c]});
  return entries;
}

// Median cut: the box with the most weight times spread is cut at the
// weighted median of its widest channel until the budget is spent or every
// box holds one colour. Each box gives the lattice colour nearest its mean.
std::vector<uint16_t> MedianCut(std::vector<Weighted> entries, size_t budget) {
  std::vector<Box> boxes;
  if (!entries.empty()) {
    boxes.push_back({0, entries.size()});
    Measure(entries, boxes[0]);
  }
  while (boxes.size() < budget) {
    Box* pick = nullptr;
    for (Box& box : boxes)
      if (box.end - box.begin > 1 &&
          (pick == nullptr || double(box.range) * box.range * box.weight >
                                  double(pick->range) * pick->range * pick->weight))
        pick = &box;
    if (pick == nullptr) break;
    const int c = pick->channel;
    std::sort(entries.begin() + static_cast<std::ptrdiff_t>(pick->begin),
              entries.begin() + static_cast<std::ptrdiff_t>(pick->end),
              [c](const Weighted& a, const Weighted& b) {
                return std::pair(Shown(a.colour, c), a.colour) <
                       std::pair(Shown(b.colour, c), b.colour);
              });
    double running = 0;
    size_t cut = pick->begin + 1;
    for (size_t i = pick->begin; i + 1 < pick->end; ++i) {
      running += entries[i].weight;
      cut = i + 1;
      if (running * 2 >= pick->weight) break;
    }
    Box upper{cut, pick->end};
    pick->end = cut;
    Measure(entries, *pick);
    Measure(entries, upper);
    boxes.push_back(upper);
  }
  // A box's mean mostly falls between lattice colours. Rounding each to the
  // nearest would tip every box the same way where the picture lies between
  // two levels (a sky of one blue, say), leaving the ditherer nothing on the
  // far side; what rounding takes from one box is given to the next instead,
  // so the palette as a whole keeps the picture's mean.
  std::vector<uint16_t> colours;
  double carried[3] = {0, 0, 0};
  for (const Box& box : boxes) {
    uint32_t colour = 0;
    for (int c = 0; c < 3; ++c) {
      double sum = 0;
      for (size_t i = box.begin; i < box.end; ++i)
        sum += Shown(entries[i].colour, c) * static_cast<double>(entries[i].weight);
      const double mean = sum / box.weight;
      const int field =
          NearestField(std::clamp(mean + carried[c] / box.weight, mean - 8, mean + 8), c);
      carried[c] += box.weight * (mean - ShownLevel(field, Bits[c]));
      colour |= static_cast<uint32_t>(field) << Shifts[c];
    }
    colours.push_back(NotKey(static_cast<uint16_t>(colour)));
  }
  return colours;
}

}  // namespace

MappedPicture QuantiseDithered(const std::vector<WantedPixel>& pixels, int width, int height) {
  MappedPicture out;
  int used = 0;
  const auto add = [&](uint16_t colour) {
    for (int i = 0; i < used; ++i)
      if (out.palette[static_cast<size_t>(i)] == colour) return i;
    if (used == 256) return -1;
    out.palette[static_cast<size_t>(used)] = colour;
    return used++;
  };
  for (const WantedPixel& p : pixels)
    if (p.exact >= 0) add(NotKey(static_cast<uint16_t>(p.exact)));
  for (const uint16_t colour : MedianCut(LatticeHistogram(pixels), 256 - static_cast<size_t>(used)))
    add(colour);
  if (used == 0) add(0);

  const auto nearest = [&](const float want[3]) {
    int best = 0;
    float bestDistance = std::numeric_limits<float>::max();
    for (int e = 0; e < used; ++e) {
      float distance = 0;
      for (int c = 0; c < 3; ++c) {
        const float d = want[c] - static_cast<float>(Shown(out.palette[static_cast<size_t>(e)], c));
        distance += Weights[c] * d * d;
      }
      if (distance < bestDistance) bestDistance = distance, best = e;
    }
    return best;
  };

  // Serpentine Floyd-Steinberg: even rows run left to right, odd rows back,
  // so the error does not drift one way. Exact pixels take none of it.
  std::vector<float> error(pixels.size() * 3, 0.0f);
  out.indices.assign(pixels.size(), 0);
  const auto cell = [width](int x, int y) {
    return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  };
  for (int y = 0; y < height; ++y) {
    const int step = y % 2 == 0 ? 1 : -1;
    for (int i = 0; i < width; ++i) {
      const int x = step > 0 ? i : width - 1 - i;
      const WantedPixel& p = pixels[cell(x, y)];
      if (p.exact >= 0) {
        // Only more than 256 exact colours could miss the palette.
        const auto colour = NotKey(static_cast<uint16_t>(p.exact));
        int index = add(colour);
        if (index < 0) {
          const float shown[3] = {static_cast<float>(Shown(colour, 0)),
                                  static_cast<float>(Shown(colour, 1)),
                                  static_cast<float>(Shown(colour, 2))};
          index = nearest(shown);
        }
        out.indices[cell(x, y)] = static_cast<uint8_t>(index);
        continue;
      }
      float want[3] = {p.red, p.green, p.blue};
      for (int c = 0; c < 3; ++c)
        want[c] = std::clamp(want[c] + error[cell(x, y) * 3 + c], 0.0f, 255.0f);
      const int best = nearest(want);
      out.indices[cell(x, y)] = static_cast<uint8_t>(best);
      const uint16_t shown = out.palette[static_cast<size_t>(best)];
      const std::pair<int, int> spread[4] = {{step, 0}, {-step, 1}, {0, 1}, {step, 1}};
      const float share[4] = {7 / 16.0f, 3 / 16.0f, 5 / 16.0f, 1 / 16.0f};
      for (int k = 0; k < 4; ++k) {
        const int nx = x + spread[k].first, ny = y + spread[k].second;
        if (nx < 0 || nx >= width || ny >= height || pixels[cell(nx, ny)].exact >= 0) continue;
        for (int c = 0; c < 3; ++c)
          error[cell(nx, ny) * 3 + c] += share[k] * (want[c] - static_cast<float>(Shown(shown, c)));
      }
    }
  }
  return out;
}

}  // namespace pictures
