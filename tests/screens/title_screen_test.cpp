#include "screens/title_screen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/data_paths.h"
#include "app/input.h"
#include "app/main_loop.h"
#include "app/sound_effects.h"
#include "game/board.h"
#include "gfx/back_buffer.h"
#include "gfx/font.h"
#include "screens/assets.h"
#include "screens/board_select_screen.h"
#include "support/headless_host.h"

namespace {

struct Steps {
  int32_t Angle;
  float Zoom;
  int32_t Ux, Uy, Vx, Vy;
};

void ComputeAt(int32_t angle) {
  TitleAngle = angle;
  ComputeTitleFrame();
}

TEST(TitleFrameValues, StepsFollowTheRotationAndZoom) {
  const Steps table[] = {
      {0, 0.0f, 0, 0, 0, 0},
      {2, 0.0697990f, 17, 0, 0, 17},
      {90, 2.0f, 0, 512, -512, 0},
      {358, -0.0697990f, -17, 0, 0, -17},
  };
  for (const Steps& row : table) {
    ComputeAt(row.Angle);
    SCOPED_TRACE(row.Angle);
    EXPECT_NEAR(TitleZoom, row.Zoom, 5e-8);
    EXPECT_EQ(TitleUx, row.Ux);
    EXPECT_EQ(TitleUy, row.Uy);
    EXPECT_EQ(TitleVx, row.Vx);
    EXPECT_EQ(TitleVy, row.Vy);
  }

  // sin(180 degrees) in doubles is a tiny non-zero value: the zoom is not
  // exactly 0, yet every step truncates to 0.
  ComputeAt(180);
  EXPECT_NE(TitleZoom, 0.0f);
  EXPECT_EQ(TitleUx, 0);
  EXPECT_EQ(TitleUy, 0);
  EXPECT_EQ(TitleVx, 0);
  EXPECT_EQ(TitleVy, 0);

  ComputeAt(90);
  const int32_t at90[] = {TitleUx, TitleUy, TitleVx, TitleVy};
  ComputeAt(270);
  EXPECT_FLOAT_EQ(TitleZoom, -2.0f);
  EXPECT_EQ(TitleUx, at90[0]);
  EXPECT_EQ(TitleUy, at90[1]);
  EXPECT_EQ(TitleVx, at90[2]);
  EXPECT_EQ(TitleVy, at90[3]);
}

TEST(TitleFrameValues, DriftUsesThePhasesBeforeTheyAdvance) {
  const int32_t phaseU[] = {0, 90, 270};
  const int32_t expectedP[] = {50, 150, -50};
  const int32_t phaseV[] = {0, 90, 180};
  const int32_t expectedS[] = {105, 35, -35};
  for (int i = 0; i < 3; ++i) {
    TitlePhaseU = phaseU[i];
    TitlePhaseV = phaseV[i];
    ComputeTitleFrame();
    EXPECT_EQ(TitleDriftP, expectedP[i]) << "phase U " << phaseU[i];
    EXPECT_EQ(TitleDriftS, expectedS[i]) << "phase V " << phaseV[i];
    EXPECT_EQ(TitlePhaseU, phaseU[i] + 2);
    EXPECT_EQ(TitlePhaseV, phaseV[i] + 3);
  }
  TitlePhaseU = 358;
  TitlePhaseV = 357;
  ComputeTitleFrame();
  EXPECT_EQ(TitlePhaseU, 0);
  EXPECT_EQ(TitlePhaseV, 0);
}

// Every texel of the test backdrop holds its own index, so a pixel on screen
// tells exactly which texel was sampled.
uint16_t Texel(uint32_t tx, uint32_t ty) { return static_cast<uint16_t>(240 * ty + tx); }

class TitleScreenTest : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    StartHost();
    BuildDataPaths();
    AllocateBackBuffer();
    for (uint32_t i = 0; i < backdrop_.size(); ++i) backdrop_[i] = static_cast<uint16_t>(i);
    for (uint32_t i = 0; i < panel_.size(); ++i) panel_[i] = static_cast<uint16_t>(0x1000 + i % 97);
    // Stripes of key colour between ordinary pixels.
    for (uint32_t i = 0; i < front_.size(); ++i) {
      const uint32_t x = i % 240, y = i / 240;
      front_[i] = (x + 2 * y) % 3 == 0 ? KeyColour : static_cast<uint16_t>(0x0841 * (x % 7 + 1));
    }
    FrontPicture = front_.data();
    BackdropPicture = backdrop_.data();
    TitlePanelPicture = panel_.data();
    TitleAngle = TitlePhaseU = TitlePhaseV = 0;
    ScreenState = ScreenTitle;
    TapConsumed = 1;
    SoundOn = 1;
  }
  void TearDown() override {
    FrontPicture = BackdropPicture = TitlePanelPicture = nullptr;
    SoundOn = 0;
    ReleaseBackBuffer();
    HeadlessHostTest::TearDown();
  }

  static void Tap(uint32_t x, uint32_t y) {
    StylusX = x;
    StylusY = y;
    TapConsumed = 0;
  }

  // The texel pixel (x, y) must show, from the closed form of the row and
  // column walk over the values of the frame just drawn.
  static uint16_t ExpectedSample(uint32_t x, uint32_t y) {
    const uint32_t ux = static_cast<uint32_t>(TitleUx), uy = static_cast<uint32_t>(TitleUy);
    const uint32_t vx = static_cast<uint32_t>(TitleVx), vy = static_cast<uint32_t>(TitleVy);
    const uint32_t u0 = 65536u - static_cast<uint32_t>(TitleDriftP) * (vx + ux);
    const uint32_t v0 = 65536u - static_cast<uint32_t>(TitleDriftS) * (vy + uy);
    const uint32_t u = u0 + (y + 1) * vx + x * ux;
    const uint32_t v = v0 + (y + 1) * vy + x * uy;
    return Texel((u >> 8) % 240, (v >> 8) % 240);
  }

  void ExpectUpperAreaMatchesClosedForm() {
    int mismatches = 0;
    for (uint32_t y = 0; y < 240; ++y) {
      for (uint32_t x = 0; x < 240; ++x) {
        const uint16_t p = front_[240 * y + x];
        const uint16_t expected = p == KeyColour ? ExpectedSample(x, y) : p;
        if (BackBuffer[240 * y + x] != expected && ++mismatches <= 5) {
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << BackBuffer[240 * y + x]
                        << ", expected " << expected;
        }
      }
    }
    EXPECT_EQ(mismatches, 0);
  }

  std::vector<uint16_t> front_ = std::vector<uint16_t>(240 * 240);
  std::vector<uint16_t> backdrop_ = std::vector<uint16_t>(240 * 240);
  std::vector<uint16_t> panel_ = std::vector<uint16_t>(240 * 80);
};

TEST_F(TitleScreenTest, FirstFrameShowsOneTexelThroughTheKeyAndThePanelBelow) {
  TitleScreen();
  for (uint32_t i = 0; i < 240 * 240; ++i) {
    const uint16_t expected = front_[i] == KeyColour ? Texel(16, 16) : front_[i];
    ASSERT_EQ(BackBuffer[i], expected) << "pixel (" << i % 240 << ", " << i / 240 << ")";
  }
  for (uint32_t i = 0; i < 240 * 80; ++i) ASSERT_EQ(BackBuffer[240 * 240 + i], panel_[i]) << i;
  EXPECT_EQ(TitleAngle, 2);
  EXPECT_EQ(TitlePhaseU, 2);
  EXPECT_EQ(TitlePhaseV, 3);
}

TEST_F(TitleScreenTest, RotatedFramesSampleAlongTheRowAndColumnSteps) {
  // Mixed angles and drifts, with coordinates crossing zero in both axes.
  const int32_t angles[][3] = {{134, 30, 200}, {90, 0, 0}, {316, 270, 45}};
  for (const auto& a : angles) {
    TitleAngle = a[0];
    TitlePhaseU = a[1];
    TitlePhaseV = a[2];
    TitleScreen();
    SCOPED_TRACE(a[0]);
    ExpectUpperAreaMatchesClosedForm();
    EXPECT_EQ(TitleAngle, (a[0] + 2) % 360);
  }
  // Worked by hand at angle 90, drifts 50 and 105: u = 91136 - 512 (y + 1),
  // v = 11776 + 512 x.
  TitleAngle = 90;
  TitlePhaseU = TitlePhaseV = 0;
  front_.assign(front_.size(), KeyColour);
  TitleScreen();
  EXPECT_EQ(BackBuffer[0], Texel(114, 46));
  EXPECT_EQ(BackBuffer[10], Texel(114, 66));
  EXPECT_EQ(BackBuffer[240 * 2], Texel(110, 46));
}

TEST_F(TitleScreenTest, CoordinatesAreReadUnsignedSoTheTilingHasASeam) {
  // Row y samples u = -(y + 1): just below zero, which as an unsigned value
  // lands on column 15, not on column 239.
  TitleUx = TitleUy = TitleVy = 0;
  TitleVx = -1;
  TitleDriftP = -65536;
  TitleDriftS = 0;
  front_.assign(front_.size(), KeyColour);
  DrawTitleUpperArea();
  for (uint32_t i = 0; i < 240 * 240; ++i) {
    ASSERT_EQ(BackBuffer[i], Texel(15, 16)) << "pixel (" << i % 240 << ", " << i / 240 << ")";
  }
}

TEST_F(TitleScreenTest, FrontWithoutKeyStaysStillAndAllKeyShowsOnlyTexture) {
  for (uint32_t i = 0; i < front_.size(); ++i) front_[i] = static_cast<uint16_t>(0xF801 + i % 2);
  TitleAngle = 40;
  for (int frame = 0; frame < 3; ++frame) {
    TitleScreen();
    for (uint32_t i = 0; i < 240 * 240; ++i) ASSERT_EQ(BackBuffer[i], front_[i]) << i;
  }

  front_.assign(front_.size(), KeyColour);
  TitleAngle = 70;
  TitleScreen();
  ExpectUpperAreaMatchesClosedForm();
}

TEST_F(TitleScreenTest, OnlyATapBelowRow240OpensTheSelection) {
  BoardSize = 4;
  SavedBoardSize = 0;
  ReturnScreen = 0;

  Tap(120, 240);
  TitleScreen();
  EXPECT_EQ(ScreenState, ScreenTitle);
  EXPECT_EQ(TapConsumed, 1) << "a tap on the picture is taken and ignored";
  EXPECT_TRUE(host::SoundRequests().empty());

  Tap(0, 241);
  TitleScreen();
  EXPECT_EQ(ScreenState, ScreenBoardSelect);
  EXPECT_EQ(SavedBoardSize, 4);
  EXPECT_EQ(ReturnScreen, 2);
  ASSERT_EQ(host::SoundRequests().size(), 1u);
  EXPECT_EQ(host::SoundRequests()[0].Path, (Folder() / "Sound" / "new.wav").string());
}

TEST_F(TitleScreenTest, ReturningFromTheSelectionContinuesTheAnimation) {
  std::vector<uint16_t> select(240 * 320);
  SelectPicture = select.data();
  BuildGlyphFont();
  BoardSize = SavedBoardSize = 3;
  for (int frame = 0; frame < 5; ++frame) TitleScreen();
  Tap(100, 300);
  TitleScreen();
  ASSERT_EQ(ScreenState, ScreenBoardSelect);
  ASSERT_EQ(TitleAngle, 12);

  Tap(200, 60);
  BoardSelectScreen();
  FreeGlyphFont();
  SelectPicture = nullptr;
  ASSERT_EQ(ScreenState, ScreenTitle);

  TitleScreen();
  EXPECT_EQ(TitleAngle, 14);
  EXPECT_EQ(TitlePhaseU, 14);
  EXPECT_EQ(TitlePhaseV, 21);
  const int32_t drawnUx = TitleUx;
  ComputeAt(12);
  EXPECT_EQ(drawnUx, TitleUx);
  EXPECT_NE(drawnUx, 0);
}

}  // namespace
