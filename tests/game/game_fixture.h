// What every game and screen test starts from: a headless host, a back
// buffer, the font, sound on, no tap waiting, and pictures held by the test
// itself, each filled with its own pattern so that a pixel tells where it
// came from.
#pragma once

#include <algorithm>
#include <array>
#include <filesystem>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "game/board.h"
#include "game/records.h"
#include "gfx/back_buffer.h"
#include "gfx/font.h"
#include "screens/assets.h"
#include "screens/board_select_screen.h"
#include "services/data_paths.h"
#include "services/input.h"
#include "services/shared_state.h"
#include "services/sound_effects.h"
#include "support/headless_host.h"

using Pixels = std::vector<uint16_t>;

class GameTest : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    // The host plus what every screen draws with: the data folders (beside
    // the stand-in program), the back buffer and the font.
    StartHost();
    BuildDataPaths();
    AllocateBackBuffer();
    BuildGlyphFont();
    // Card c holds c * 1024 + its pixel index; a backdrop texel its index.
    for (int32_t c = 0; c < CardPictureCount; ++c) {
      cards_[c].resize(900);
      std::iota(cards_[c].begin(), cards_[c].end(), static_cast<uint16_t>(c * 1024));
      CardPictures[c] = cards_[c].data();
    }
    std::iota(backdrop_.begin(), backdrop_.end(), uint16_t{0});
    std::tie(BackdropPicture, PlayPanelPicture, RecordPicture, FrontPicture, TitlePanelPicture,
             SelectPicture, AboutPicture) =
        std::tuple(backdrop_.data(), panel_.data(), record_.data(), front_.data(),
                   titlePanel_.data(), select_.data(), about_.data());
    std::tie(SoundOn, QuitFlag, TapConsumed) = std::tuple(1, 0, 1);
  }

  // The pictures are the test's own: no later test may reach them.
  void TearDown() override {
    std::ranges::fill(CardPictures, nullptr);
    BackdropPicture = PlayPanelPicture = RecordPicture = FrontPicture = TitlePanelPicture =
        SelectPicture = AboutPicture = nullptr;
    FreeGlyphFont();
    ReleaseBackBuffer();
    HeadlessHostTest::TearDown();
  }

  static Pixels Frame() { return Pixels(BackBuffer, BackBuffer + BackBufferPixels); }

  // The points that pin a tap rectangle x0..x1, y0..y1 (both ends included):
  // each edge's middle from inside, then one pixel past it. Past an edge at
  // 0 a point would wrap to UINT32_MAX, which no tap reaches: it is left out.
  using EdgePoint = std::tuple<uint32_t, uint32_t, bool>;  // x, y, inside
  static std::vector<EdgePoint> EdgePoints(const std::array<uint32_t, 4>& rect) {
    const auto [x0, y0, x1, y1] = rect;
    const uint32_t mx = (x0 + x1) / 2, my = (y0 + y1) / 2;
    std::vector<EdgePoint> points = {
        {x0, my, true},      {x1, my, true},      {mx, y0, true},      {mx, y1, true},  // inside
        {x0 - 1, my, false}, {x1 + 1, my, false}, {mx, y0 - 1, false}, {mx, y1 + 1, false}};
    std::erase_if(points, [](const EdgePoint& p) { return std::get<0>(p) == UINT32_MAX; });
    return points;
  }

  // A fresh touch at (x, y); the next frame that takes taps gets it.
  static void Tap(uint32_t x, uint32_t y) {
    std::tie(StylusX, StylusY, TapConsumed) = std::tuple(x, y, 0);
  }

  // A face-down, untouched board of the given size, the clock running from
  // now; tiles past the pictures given show picture 0.
  static void LayOut(int16_t size, std::vector<uint16_t> pictures) {
    const auto [columns, rows] = BoardLayouts[size];
    pictures.resize(MaxTiles);
    BoardSize = size;
    const auto pairs = static_cast<int16_t>(columns * rows / 2);
    Board = BoardRecord{columns, rows, {}, -1, -1, pairs, 0, 0, TickCount(), Playing, PhaseIdle};
    for (int32_t k = 0; k < columns * rows; ++k) Board.Tiles[k] = Tile{pictures[k], 0, 1, 0, 0};
  }

  // The effects asked for since the last call, in order, each by its file's
  // name without ".wav", separated by spaces.
  std::string NewSounds() {
    std::string names;
    for (const auto& sounds = host::SoundRequests(); heard_ < sounds.size(); ++heard_)
      names +=
          (names.empty() ? "" : " ") + std::filesystem::path(sounds[heard_].Path).stem().string();
    return names;
  }
  size_t heard_ = 0;

  std::array<Pixels, CardPictureCount> cards_;
  Pixels backdrop_ = Pixels(240 * 240);
  Pixels panel_ = Pixels(240 * 80, 0xC3A1);
  Pixels record_ = Pixels(240 * 120, KeyColour);  // all transparent
  Pixels front_ = Pixels(240 * 240, KeyColour);
  Pixels titlePanel_ = Pixels(240 * 80, 0x1234);
  Pixels select_ = Pixels(240 * 320, 0x0841);
  Pixels about_ = Pixels(240 * 320, 0x2945);
};
