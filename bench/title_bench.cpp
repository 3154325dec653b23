// One title frame's drawing: the per-frame values and the 57,600-pixel
// upper area. Runs every frame on the handheld, so it must stay far below
// the 30 ms pause between frames.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "gfx/back_buffer.h"
#include "screens/assets.h"
#include "screens/title_screen.h"

namespace {

void DrawTitleFrames(benchmark::State& state, uint32_t keyEvery) {
  std::vector<uint16_t> front(240 * 240);
  std::vector<uint16_t> backdrop(240 * 240);
  for (uint32_t i = 0; i < front.size(); ++i) {
    front[i] = i % keyEvery == 0 ? KeyColour : static_cast<uint16_t>(i);
    backdrop[i] = static_cast<uint16_t>(i * 31);
  }
  FrontPicture = front.data();
  BackdropPicture = backdrop.data();
  AllocateBackBuffer();
  TitleAngle = TitlePhaseU = TitlePhaseV = 0;

  for (auto _ : state) {
    ComputeTitleFrame();
    DrawTitleUpperArea();
    TitleAngle = (TitleAngle + 2) % 360;
    benchmark::DoNotOptimize(BackBuffer);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 240 * 240);

  ReleaseBackBuffer();
  FrontPicture = BackdropPicture = nullptr;
}

// Every pixel keyed: the worst case, a texture sample per pixel.
void BM_TitleFrameAllKeyed(benchmark::State& state) { DrawTitleFrames(state, 1); }
// A front picture with a window of one pixel in four.
void BM_TitleFrameQuarterKeyed(benchmark::State& state) { DrawTitleFrames(state, 4); }

BENCHMARK(BM_TitleFrameAllKeyed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TitleFrameQuarterKeyed)->Unit(benchmark::kMicrosecond);

}  // namespace
