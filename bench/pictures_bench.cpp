// Making faces from photos: one from a 12-megapixel picture (4000 x 3000,
// a phone camera's), and a whole set of forty, as a player choosing a folder
// of such photos waits for them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "pictures/face_maker.h"

namespace {

// Smooth colour with fine detail over it, some of it see-through, so that no
// stage can take a short cut.
const std::vector<uint8_t>& Photo() {
  static const std::vector<uint8_t> photo = [] {
    std::vector<uint8_t> p(size_t{4000} * 3000 * 4);
    for (uint32_t y = 0; y < 3000; ++y)
      for (uint32_t x = 0; x < 4000; ++x) {
        uint8_t* px = &p[(size_t{y} * 4000 + x) * 4];
        px[0] = static_cast<uint8_t>(x * 255 / 3999);
        px[1] = static_cast<uint8_t>(y * 255 / 2999);
        px[2] = static_cast<uint8_t>((x ^ y) * 7);
        px[3] = x < 300 ? static_cast<uint8_t>(x) : 255;
      }
    return p;
  }();
  return photo;
}

void MakeFaces(benchmark::State& state, int faces) {
  const std::vector<uint8_t>& photo = Photo();
  for (auto _ : state) {
    for (int i = 0; i < faces; ++i) {
      // Each of the eight orientations in turn, as a folder of photos has.
      std::vector<uint8_t> face =
          pictures::MakeFaceOriented(photo.data(), 4000, 3000, size_t{4000} * 4, 1 + i % 8);
      benchmark::DoNotOptimize(face.data());
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * faces);
  state.SetBytesProcessed(state.iterations() * faces * static_cast<int64_t>(photo.size()));
}

void BM_FaceFrom4000x3000(benchmark::State& state) { MakeFaces(state, 1); }
void BM_FortyFacesFrom4000x3000(benchmark::State& state) { MakeFaces(state, 40); }

BENCHMARK(BM_FaceFrom4000x3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FortyFacesFrom4000x3000)->Unit(benchmark::kMillisecond);

}  // namespace
