// One frame of each screen with the game's own pictures, and loading them.
// Every screen redraws the whole frame each time it runs, so each costs a
// few frame copies at most; the title's rotating texture is the one that
// looks at every pixel it draws.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "frame_baseline.h"
#include "game/board.h"
#include "game/play_screen.h"
#include "gfx/back_buffer.h"
#include "gfx/font.h"
#include "platform/host.h"
#include "screens/about_screen.h"
#include "screens/assets.h"
#include "screens/board_select_screen.h"
#include "screens/title_screen.h"
#include "services/data_paths.h"
#include "services/input.h"
#include "services/shared_state.h"
#include "services/sound_effects.h"

namespace {

// The game as it stands after start-up, its pictures read from the build.
bool StartGame(benchmark::State& state) {
  host::Options options;
  options.Headless = true;
  options.ScriptText = "wait 0\n";
  options.ModulePath = std::string(QUILLMOTH_BINARY_DIR) + "/quillmoth";
  std::string error;
  if (!host::Start(options, &error)) {
    state.SkipWithError(error.c_str());
    return false;
  }
  AllocateBackBuffer();
  BuildGlyphFont();
  BuildDataPaths();
  LoadAssets();
  SoundOn = 0;
  TapConsumed = 1;
  return true;
}

void StopGame() {
  FreeAssets();
  FreeGlyphFont();
  ReleaseBackBuffer();
  host::Stop();
}

// The title's upper area and panel, the angle moving on as in the game:
// with the real front picture (a few large windows) and with one where every
// other pixel, at random, is a window.
void BM_TitleFrame(benchmark::State& state) {
  if (!StartGame(state)) return;
  std::vector<uint16_t> scattered(240 * 240);
  if (state.range(0) == 1) {
    std::mt19937 random(1);
    for (uint16_t& pixel : scattered) pixel = random() % 2 == 0 ? KeyColour : 0x39E7;
    FrontPicture = scattered.data();
  }
  state.SetLabel(state.range(0) == 0 ? "front.tga" : "scattered windows");
  for (auto _ : AgainstMemcpy(state)) {
    ComputeTitleFrame();
    DrawTitleUpperArea();
    TitleAngle = (TitleAngle + 2) % 360;
    benchmark::ClobberMemory();
  }
  if (state.range(0) == 1) FrontPicture = nullptr;  // not the game's to free
  StopGame();
}
BENCHMARK(BM_TitleFrame)->Arg(0)->Arg(1);

// The play screen on a full 8 x 8 board: still, with three tiles turning
// (started again whenever their turn ends), and cleared with the record
// banner bouncing.
void BM_PlayScreen(benchmark::State& state) {
  if (!StartGame(state)) return;
  BoardSize = 5;
  DealBoard();
  const int64_t kind = state.range(0);
  if (kind == 2) {
    for (Tile& tile : Board.Tiles) tile.Present = 0;
    Board.PairsLeft = 0;
    Board.GameState = NewRecord;
  }
  state.SetLabel(kind == 0 ? "8 x 8, still" : kind == 1 ? "three tiles turning" : "record banner");
  for (auto _ : AgainstMemcpy(state)) {
    if (kind == 1 && Board.Phase == PhaseIdle) {
      for (int32_t k : {3, 27, 60}) {
        Board.Tiles[k].Anim = AnimTurn;
        Board.Tiles[k].AnimFrame = 0;
      }
      Board.Phase = PhaseTurning;
      Board.FirstPick = Board.SecondPick = -1;
    }
    PlayScreen();
    benchmark::ClobberMemory();
  }
  StopGame();
}
BENCHMARK(BM_PlayScreen)->DenseRange(0, 2);

void BM_BoardSelectScreen(benchmark::State& state) {
  if (!StartGame(state)) return;
  for (auto _ : AgainstMemcpy(state)) {
    BoardSelectScreen();
    benchmark::ClobberMemory();
  }
  StopGame();
}
BENCHMARK(BM_BoardSelectScreen);

void BM_AboutScreen(benchmark::State& state) {
  if (!StartGame(state)) return;
  for (auto _ : AgainstMemcpy(state)) {
    AboutScreen();
    ScreenState = ScreenAbout;
    benchmark::ClobberMemory();
  }
  StopGame();
}
BENCHMARK(BM_AboutScreen);

// All 48 pictures read again, from files the system has cached.
void BM_LoadAssets(benchmark::State& state) {
  if (!StartGame(state)) return;
  for (auto _ : state) {
    FreeAssets();
    LoadAssets();
  }
  StopGame();
}
BENCHMARK(BM_LoadAssets)->Unit(benchmark::kMillisecond);

}  // namespace
