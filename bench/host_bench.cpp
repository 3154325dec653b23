// What the desktop host adds to a frame, as multiples of one memcpy of the
// frame: decoding each display layout into a picture, scaling a picture by 3
// into a window surface (the usual 32-bit one, and a 16-bit one through the
// format-independent path), and the whole present on SDL's dummy video
// driver at scale 3, which runs the same code as on a desktop up to the
// point where the surface would go to the X server.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "display_modes.h"
#include "frame_baseline.h"
#include "platform/desktop/window_picture.h"
#include "platform/display_memory.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace {

using Picture = std::vector<uint32_t>;

// Fills the open display's memory with scrambled bytes, so no layout
// decodes a flat picture.
void Scramble() {
  auto* d = static_cast<uint8_t*>(GXBeginDraw());
  const std::span<const uint8_t> block = host::detail::DisplayBlock();
  uint8_t* start = d + (block.data() - (host::DisplayMemory().data() + host::DisplayOrigin()));
  for (size_t i = 0; i < block.size(); ++i) start[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
  GXEndDraw();
}

void BM_HostDecode(benchmark::State& state) {
  const auto index = static_cast<size_t>(state.range(0));
  state.SetLabel(LayoutName(index));
  host::Options options;
  options.Headless = true;
  options.ScriptText = "wait 0\n";
  options.Display = LayoutAt(index).Mode;
  std::string error;
  if (!host::Start(options, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  GXOpenDisplay(nullptr, GXFullScreen);
  Scramble();
  Picture picture(host::ScreenWidth * host::ScreenHeight);
  for (auto _ : AgainstMemcpy(state)) {
    host::detail::DecodeDisplay(host::detail::XrgbPicture(picture));
    benchmark::DoNotOptimize(picture.data());
    benchmark::ClobberMemory();
  }
  GXCloseDisplay();
  host::Stop();
}
BENCHMARK(BM_HostDecode)->DenseRange(0, LayoutCount() - 1);

void ScaleInto(benchmark::State& state, uint32_t format) {
  state.SetLabel(SDL_GetPixelFormatName(format));
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 720, 960, 32, format);
  Picture picture(host::ScreenWidth * host::ScreenHeight);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint32_t>(i * 2654435761u);
  host::detail::PictureScaler scaler;
  const host::detail::PicturePlacement placement{3, 0, 0};
  for (auto _ : AgainstMemcpy(state)) {
    scaler.Draw(surface, placement, std::span<const uint32_t, 76800>(picture), 0, 320);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(surface);
}

void BM_HostScale3(benchmark::State& state) { ScaleInto(state, SDL_PIXELFORMAT_RGB888); }
void BM_HostScale3AnyFormat(benchmark::State& state) { ScaleInto(state, SDL_PIXELFORMAT_RGB565); }
BENCHMARK(BM_HostScale3);
BENCHMARK(BM_HostScale3AnyFormat);

intptr_t Quiet(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

// A scale-3 window on the dummy video driver showing rgb565 display memory,
// meeting other copies in `folder`, away from any game running on this
// desktop.
bool OpenDummyWindow(benchmark::State& state, const std::string& folder) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  host::Options options;
  options.Scale = 3;
  options.RuntimeDir = folder;
  std::string error;
  if (!host::Start(options, &error)) {
    state.SkipWithError(error.c_str());
    return false;
  }
  WindowClass windowClass{};
  windowClass.Procedure = Quiet;
  windowClass.ClassName = "QuillmothBench";
  const WindowHandle window =
      DeclareWindowClass(windowClass)
          ? CreatePlatformWindow(0, "QuillmothBench", "Quillmoth", StyleVisible, 0, 0, 240, 320,
                                 nullptr, nullptr, GetProgramInstance(), nullptr)
          : nullptr;
  if (window == nullptr) {
    state.SkipWithError("no window");
    host::Stop();
    return false;
  }
  ShowPlatformWindow(window, ShowNormal);
  GXOpenDisplay(nullptr, GXFullScreen);
  Scramble();
  return true;
}

// `rows` display rows change before each present: 320 for a whole new
// picture, 240 for a title frame (the panel below stays), 0 for a still one.
void BM_HostPresentScale3(benchmark::State& state) {
  const auto rows = static_cast<int>(state.range(0));
  std::string folder = (std::filesystem::temp_directory_path() / "quillmoth-bench-XXXXXX").string();
  if (mkdtemp(folder.data()) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  if (!OpenDummyWindow(state, folder)) {
    std::filesystem::remove_all(folder);
    return;
  }
  uint16_t flip = 0;
  for (auto _ : AgainstMemcpy(state)) {
    auto* d = static_cast<uint8_t*>(GXBeginDraw());
    ++flip;
    for (int y = 0; y < rows; y += rows - 1) std::memcpy(d + y * 480, &flip, 2);
    GXEndDraw();
  }
  GXCloseDisplay();
  host::Stop();
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_HostPresentScale3)->Arg(320)->Arg(240)->Arg(0);

}  // namespace
