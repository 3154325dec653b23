#include "screens/title_screen.h"

#include <gtest/gtest.h>

#include "screens/board_select_screen.h"
#include "screens/screen_fixture.h"

namespace {

TEST(TitleFrameValues, StepsAndDriftsAtWorkedAngles) {
  // At 180 degrees sin() is a tiny non-zero double, yet every step truncates
  // to 0; 270 gives the same steps as 90 with the zoom turned negative. The
  // drifts use the phases before they advance, and the phases wrap at 360.
  // Angle, phase U, phase V, zoom, then Ux, Uy, Vx, Vy, P, S and the next phases.
  const std::tuple<int32_t, int32_t, int32_t, float, std::vector<int32_t>> table[] = {
      {0, 0, 0, 0.0f, {0, 0, 0, 0, 50, 105, 2, 3}},
      {2, 90, 90, 0.0697990f, {17, 0, 0, 17, 150, 35, 92, 93}},
      {90, 270, 180, 2.0f, {0, 512, -512, 0, -50, -35, 272, 183}},
      {358, 358, 357, -0.0697990f, {-17, 0, 0, -17, 46, 104, 0, 0}},
      {180, 0, 0, 0.0f, {0, 0, 0, 0, 50, 105, 2, 3}},
      {270, 0, 0, -2.0f, {0, 512, -512, 0, 50, 105, 2, 3}}};
  for (const auto& [angle, phaseU, phaseV, zoom, values] : table) {
    TitleAngle = angle;
    TitlePhaseU = phaseU;
    TitlePhaseV = phaseV;
    ComputeTitleFrame();
    EXPECT_NEAR(TitleZoom, zoom, 5e-8) << angle;
    const std::vector<int32_t> got{TitleUx,     TitleUy,     TitleVx,     TitleVy,
                                   TitleDriftP, TitleDriftS, TitlePhaseU, TitlePhaseV};
    EXPECT_EQ(got, values);
  }
}

TEST_F(ScreenTest, TitleFirstFrameAndOnlyATapBelowRow240OpensTheSelection) {
  for (uint32_t i = 1; i < 240 * 240; i += 3) front_[i] = static_cast<uint16_t>(i);
  TitleAngle = TitlePhaseU = TitlePhaseV = SavedBoardSize = ReturnScreen = 0;
  BoardSize = 4;
  ScreenState = ScreenTitle;
  Tap(120, 240, TitleScreen);
  for (uint32_t i = 0; i < 240 * 240; ++i)
    ASSERT_EQ(BackBuffer[i], i % 3 == 1 ? i : 240 * 16 + 16) << i;
  EXPECT_EQ(BackBuffer[240 * 320 - 1], 0x1234) << "the panel fills the rows below";
  EXPECT_EQ(ScreenState, ScreenTitle) << "a tap on the picture is taken and ignored";
  EXPECT_EQ(LastSound(), "");
  Tap(0, 241, TitleScreen);
  EXPECT_EQ((std::vector<int>{ScreenState, SavedBoardSize, ReturnScreen}),
            (std::vector<int>{ScreenBoardSelect, 4, 2}));
  EXPECT_EQ(LastSound(), "new");
}

TEST_F(ScreenTest, TitleCoordinatesAreReadUnsignedSoTheTilingHasASeam) {
  // Row y samples u = -(y + 1): just below zero, which as an unsigned value
  // lands on column 15, not on column 239.
  TitleUx = TitleUy = TitleVy = TitleDriftS = 0;
  TitleVx = -1;
  TitleDriftP = -65536;
  DrawTitleUpperArea();
  for (uint32_t i = 0; i < 240 * 240; ++i) ASSERT_EQ(BackBuffer[i], 240 * 16 + 15) << i;
}

}  // namespace
