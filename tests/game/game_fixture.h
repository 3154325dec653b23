// The play screen run in-process on a headless host, with test-owned
// pictures for the backdrop, panel and banner.
#pragma once

#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "app/data_paths.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/sound_effects.h"
#include "game/board.h"
#include "game/play_screen.h"
#include "game/records.h"
#include "gfx/back_buffer.h"
#include "gfx/font.h"
#include "screens/assets.h"
#include "support/headless_host.h"

class GameTest : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    StartDrawing();
    savedCards_ = std::to_array(CardPictures);
    saved_ = std::tie(BackdropPicture, PlayPanelPicture, RecordPicture);
    std::fill(std::begin(CardPictures), std::end(CardPictures), nullptr);  // tiles go undrawn
    std::iota(backdrop_.begin(), backdrop_.end(), uint16_t{0xB000});
    std::tie(BackdropPicture, PlayPanelPicture, RecordPicture) =
        std::tuple(backdrop_.data(), panel_.data(), record_.data());
    std::tie(SoundOn, QuitFlag, TapConsumed) = std::tuple(1, 0, 1);
  }

  void TearDown() override {
    std::copy(savedCards_.begin(), savedCards_.end(), CardPictures);
    std::tie(BackdropPicture, PlayPanelPicture, RecordPicture) = saved_;
    HeadlessHostTest::TearDown();
  }

  static uint16_t Pixel(int32_t x, int32_t y) { return BackBuffer[y * 240 + x]; }

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

  // Runs play frames until the board is idle again; returns how many.
  static int32_t RunUntilIdle() {
    int32_t frames = 0;
    for (; Board.Phase != PhaseIdle && frames < 100; ++frames) PlayScreen();
    return frames;
  }

  // How many times the effect file `name` was asked for.
  static int64_t Played(const std::string& name) {
    return std::ranges::count_if(host::SoundRequests(),
                                 [&](const auto& request) { return request.Path.ends_with(name); });
  }

  std::vector<uint16_t> backdrop_ = std::vector<uint16_t>(240 * 240);
  std::vector<uint16_t> panel_ = std::vector<uint16_t>(240 * 80, 0xC3A1);
  std::vector<uint16_t> record_ = std::vector<uint16_t>(240 * 120, KeyColour);  // all transparent

 private:
  std::array<uint16_t*, CardPictureCount> savedCards_{};
  std::tuple<uint16_t*, uint16_t*, uint16_t*> saved_;
};
