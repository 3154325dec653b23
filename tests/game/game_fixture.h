// The play screen run in-process: a headless host for the clock, sounds and
// files, a real back buffer and font, and test-owned pictures whose every
// pixel tells where it came from.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/data_paths.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/sound_effects.h"
#include "game/board.h"
#include "game/play_screen.h"
#include "game/random.h"
#include "game/records.h"
#include "gfx/back_buffer.h"
#include "gfx/font.h"
#include "screens/assets.h"
#include "screens/board_select_screen.h"
#include "support/headless_host.h"

class GameTest : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    StartHost();
    BuildDataPaths();
    AllocateBackBuffer();
    ClearBackBuffer(0);
    BuildGlyphFont();

    savedCards_ = std::to_array(CardPictures);
    savedBackdrop_ = BackdropPicture;
    savedPanel_ = PlayPanelPicture;
    savedRecord_ = RecordPicture;
    for (int32_t p = 0; p < CardPictureCount; ++p) {
      cards_[p].resize(CellSize * CellSize);
      for (int32_t row = 0; row < CellSize; ++row) {
        for (int32_t col = 0; col < CellSize; ++col) {
          cards_[p][row * CellSize + col] = CardPixel(p, col, row);
        }
      }
      CardPictures[p] = cards_[p].data();
    }
    backdrop_.resize(240 * 240);
    for (int32_t y = 0; y < 240; ++y) {
      for (int32_t x = 0; x < 240; ++x) backdrop_[y * 240 + x] = BackdropPixel(x, y);
    }
    panel_.assign(240 * 80, 0xC3A1);
    record_.assign(240 * 120, KeyColour);  // wholly transparent until a test draws on it
    BackdropPicture = backdrop_.data();
    PlayPanelPicture = panel_.data();
    RecordPicture = record_.data();

    SoundOn = 1;
    QuitFlag = 0;
    ScreenState = ScreenPlay;
    TapConsumed = 1;
    StylusX = 0;
    StylusY = 0;
    BoardSize = 0;
    SavedBoardSize = 0;
    ReturnScreen = ScreenTitle;
    BannerPhase = 0;
    Board = BoardRecord{};
    std::fill(std::begin(BestSeconds), std::end(BestSeconds), DefaultRecord);
    std::fill(std::begin(BestMoves), std::end(BestMoves), static_cast<int32_t>(DefaultRecord));
  }

  void TearDown() override {
    std::copy(savedCards_.begin(), savedCards_.end(), CardPictures);
    BackdropPicture = savedBackdrop_;
    PlayPanelPicture = savedPanel_;
    RecordPicture = savedRecord_;
    FreeGlyphFont();
    ReleaseBackBuffer();
    HeadlessHostTest::TearDown();
  }

  // Card p's pixel: unique across all 41 cards, never black, white or key red.
  static uint16_t CardPixel(int32_t p, int32_t col, int32_t row) {
    return static_cast<uint16_t>(0x0400 + p * 1024 + row * 30 + col);
  }
  static uint16_t BackdropPixel(int32_t x, int32_t y) {
    return static_cast<uint16_t>(0xB000 + ((x * 7 + y * 3) & 0x0FFF));
  }
  static uint16_t Pixel(int32_t x, int32_t y) { return BackBuffer[y * 240 + x]; }

  static void Tap(uint32_t x, uint32_t y) {
    StylusX = x;
    StylusY = y;
    TapConsumed = 0;
  }

  // A board of the given size laid out by hand, face down and untouched,
  // with the clock running from now.
  static void LayOut(int16_t size, const std::vector<uint16_t>& pictures) {
    BoardSize = size;
    Board = BoardRecord{};
    Board.Columns = BoardLayouts[size].Columns;
    Board.Rows = BoardLayouts[size].Rows;
    int32_t n = Board.Columns * Board.Rows;
    for (int32_t k = 0; k < n; ++k) {
      Board.Tiles[k].Picture = k < static_cast<int32_t>(pictures.size())
                                   ? pictures[k]
                                   : static_cast<uint16_t>(k / 2 + 1);
      Board.Tiles[k].Present = 1;
    }
    Board.FirstPick = -1;
    Board.SecondPick = -1;
    Board.PairsLeft = static_cast<int16_t>(n / 2);
    Board.GameState = Playing;
    Board.Phase = PhaseIdle;
    Board.LastTick = TickCount();
  }

  // Runs play frames until the board is idle again; returns how many.
  static int32_t RunUntilIdle(int32_t limit = 100) {
    int32_t frames = 0;
    while (Board.Phase != PhaseIdle && frames < limit) {
      PlayScreen();
      ++frames;
    }
    return frames;
  }

  static size_t SoundCount() { return host::SoundRequests().size(); }
  // How many times the effect file `name` was asked for.
  static size_t Played(const std::string& name) {
    size_t count = 0;
    for (const auto& request : host::SoundRequests()) {
      const std::string& path = request.Path;
      if (path.size() >= name.size() &&
          path.compare(path.size() - name.size(), name.size(), name) == 0) {
        ++count;
      }
    }
    return count;
  }

 private:
  std::array<std::vector<uint16_t>, CardPictureCount> cards_;
  std::vector<uint16_t> backdrop_, panel_, record_;
  std::array<uint16_t*, CardPictureCount> savedCards_{};
  uint16_t* savedBackdrop_ = nullptr;
  uint16_t* savedPanel_ = nullptr;
  uint16_t* savedRecord_ = nullptr;

 protected:
  std::vector<uint16_t>& RecordArt() { return record_; }
};
