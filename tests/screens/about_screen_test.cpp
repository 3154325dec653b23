#include "screens/about_screen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/data_paths.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/sound_effects.h"
#include "game/board.h"
#include "gfx/back_buffer.h"
#include "screens/assets.h"
#include "support/headless_host.h"

namespace {

class AboutScreenTest : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    StartHost();
    BuildDataPaths();
    AllocateBackBuffer();
    ClearBackBuffer(0xAB);
    for (uint32_t i = 0; i < about_.size(); ++i) about_[i] = static_cast<uint16_t>(i * 2654435761u);
    AboutPicture = about_.data();
    SoundOn = 1;
    TapConsumed = 1;
    ScreenState = ScreenAbout;
    Board.LastTick = 0;
  }
  void TearDown() override {
    AboutPicture = nullptr;
    SoundOn = 0;
    ReleaseBackBuffer();
    HeadlessHostTest::TearDown();
  }

  bool ShowsAboutPicture() const {
    for (uint32_t i = 0; i < about_.size(); ++i) {
      if (BackBuffer[i] != about_[i]) return false;
    }
    return true;
  }

  std::vector<uint16_t> about_ = std::vector<uint16_t>(240 * 320);
};

TEST_F(AboutScreenTest, StaysWhileNoNewTapArrives) {
  // A touch that was already taken, however long the stylus stays down.
  StylusX = 10;
  StylusY = 10;
  for (int frame = 0; frame < 3; ++frame) {
    AboutScreen();
    EXPECT_TRUE(ShowsAboutPicture());
    EXPECT_EQ(ScreenState, ScreenAbout);
  }
  EXPECT_EQ(Board.LastTick, 0u);
  EXPECT_TRUE(host::SoundRequests().empty());
}

TEST_F(AboutScreenTest, AnyTapResumesPlayWithTheClockRestartedNow) {
  uint32_t tick = 40000;
  for (auto [x, y] : {std::pair{0u, 0u}, {239u, 319u}, {120u, 160u}}) {
    ScreenState = ScreenAbout;
    host::SetTickCounter(tick);
    StylusX = x;
    StylusY = y;
    TapConsumed = 0;
    AboutScreen();
    SCOPED_TRACE(testing::Message() << "tap (" << x << ", " << y << ")");
    EXPECT_TRUE(ShowsAboutPicture());
    EXPECT_EQ(ScreenState, ScreenPlay);
    EXPECT_EQ(Board.LastTick, tick);
    EXPECT_EQ(TapConsumed, 1);
    tick += 100000;
  }
  ASSERT_EQ(host::SoundRequests().size(), 3u);
  for (const auto& request : host::SoundRequests()) {
    EXPECT_EQ(request.Path, (Folder() / "Sound" / "new.wav").string());
  }
}

}  // namespace
