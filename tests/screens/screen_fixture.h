// What every screen test starts from: a headless host, a back buffer, the
// font, sound on, no tap waiting, and pictures held by the test itself.
#pragma once

#include <vector>

#include "app/data_paths.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/sound_effects.h"
#include "game/board.h"
#include "gfx/back_buffer.h"
#include "gfx/font.h"
#include "screens/assets.h"
#include "support/headless_host.h"

class ScreenTest : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    StartDrawing();
    SoundOn = TapConsumed = 1;
    // Every backdrop texel holds its own index: a title pixel tells which
    // texel was sampled.
    for (uint32_t i = 0; i < 240 * 240; ++i) backdrop_[i] = static_cast<uint16_t>(i);
    FrontPicture = front_.data();
    BackdropPicture = backdrop_.data();
    TitlePanelPicture = panel_.data();
    SelectPicture = select_.data();
    AboutPicture = about_.data();
  }
  void TearDown() override {
    FrontPicture = BackdropPicture = TitlePanelPicture = SelectPicture = AboutPicture = nullptr;
    SoundOn = 0;
    HeadlessHostTest::TearDown();
  }

  // A fresh touch at (x, y), then one frame of the screen.
  static void Tap(uint32_t x, uint32_t y, void (*screen)()) {
    StylusX = x;
    StylusY = y;
    TapConsumed = 0;
    screen();
  }
  static std::string LastSound() {
    const auto& sounds = host::SoundRequests();
    return sounds.empty() ? "" : std::filesystem::path(sounds.back().Path).stem().string();
  }

  std::vector<uint16_t> front_ = std::vector<uint16_t>(240 * 240, KeyColour);
  std::vector<uint16_t> backdrop_ = std::vector<uint16_t>(240 * 240);
  std::vector<uint16_t> panel_ = std::vector<uint16_t>(240 * 80, 0x1234);
  std::vector<uint16_t> select_ = std::vector<uint16_t>(240 * 320, 0x0841);
  std::vector<uint16_t> about_ = std::vector<uint16_t>(240 * 320);
};
