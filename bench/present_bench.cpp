// How long a frame's trip to the display takes in each panel layout, and
// what a counter costs to draw. The game's pacing is 30 ms plus this work, so
// it has to stay far below a millisecond.
#include <benchmark/benchmark.h>

#include <iterator>
#include <string>

#include "display_modes.h"
#include "frame_baseline.h"
#include "gfx/back_buffer.h"
#include "gfx/display_output.h"
#include "gfx/font.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace {

// A headless display in the given layout, with the program's frame.
bool OpenDisplay(host::DisplayMode mode, benchmark::State& state) {
  host::Options options;
  options.Headless = true;
  options.ScriptText = "wait 0\n";
  options.Display = mode;
  std::string error;
  if (!host::Start(options, &error)) {
    state.SkipWithError(error.c_str());
    return false;
  }
  AllocateBackBuffer();
  for (size_t i = 0; i < BackBufferPixels; ++i) BackBuffer[i] = static_cast<uint16_t>(i * 40503u);
  GXOpenDisplay(nullptr, GXFullScreen);
  const GXDisplayProperties p = GXGetDisplayProperties();
  DisplayFormat = {p.BitsPerPixel, p.PixelPitch, p.RowPitch};
  return true;
}

void CloseDisplay() {
  GXCloseDisplay();
  ReleaseBackBuffer();
  host::Stop();
}

void BM_CopyFrameToDisplay(benchmark::State& state) {
  const auto index = static_cast<size_t>(state.range(0));
  state.SetLabel(LayoutName(index));
  if (!OpenDisplay(LayoutAt(index).Mode, state)) return;
  for (auto _ : AgainstMemcpy(state)) {
    CopyFrameToDisplay();
    benchmark::ClobberMemory();
  }
  CloseDisplay();
}
BENCHMARK(BM_CopyFrameToDisplay)->DenseRange(0, LayoutCount() - 1);

// The play screen's clock: three digits, black shadow then white.
void BM_DrawCounter(benchmark::State& state) {
  AllocateBackBuffer();
  ClearBackBuffer(0);
  BuildGlyphFont();
  int32_t seconds = 0;
  NumberText text;
  for (auto _ : state) {
    FormatNumber(text, seconds);
    DrawShadowedText(text, 63, 257);
    seconds = (seconds + 1) % 1000;
    benchmark::ClobberMemory();
  }
  FreeGlyphFont();
  ReleaseBackBuffer();
}
BENCHMARK(BM_DrawCounter);

}  // namespace
