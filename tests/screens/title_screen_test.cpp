#include "screens/title_screen.h"

#include <array>
#include <bit>
#include <cmath>
#include <random>

#include "game/game_fixture.h"

namespace {

// The upper area of a title frame from the rules: pixel (x, y) of the front
// picture's key colour samples the backdrop at u = U0 + (y + 1) vx + x ux,
// v = V0 + (y + 1) vy + x uy, read unsigned, in texels of 256, tiled every
// 240, where U0 = 65536 - P (vx + ux) and V0 = 65536 - S (vy + uy).
using Steps = std::array<int32_t, 6>;  // ux, uy, vx, vy, P, S
Pixels Upper(const Pixels& front, const Pixels& backdrop, const Steps& steps) {
  const auto [ux, uy, vx, vy, p, s] = std::bit_cast<std::array<uint32_t, 6>>(steps);
  const uint32_t u0 = 65536u - p * (vx + ux), v0 = 65536u - s * (vy + uy);
  Pixels upper(front);
  for (uint32_t i = 0; i < 240 * 240; ++i) {
    const uint32_t x = i % 240, y = i / 240;
    const uint32_t u = u0 + (y + 1) * vx + x * ux, v = v0 + (y + 1) * vy + x * uy;
    if (front[i] == KeyColour) upper[i] = backdrop[(v >> 8) % 240 * 240 + (u >> 8) % 240];
  }
  return upper;
}

using Title = GameTest;

// Whole title frames from the rules, for every angle of the animation with
// the phases at every value too: the steps from the zoom rounded to single
// precision, the upper area as above, the panel below. Angle 120 is where the
// single-precision zoom matters: uy is 383, not 384. At 180 sin() is a tiny
// non-zero double, yet every step truncates to 0.
// The textured area is drawn by cutting rows where a coordinate leaves its
// copy of the texture and fetching texels eight at a time; it must also
// match the closed form for any steps and drifts at all: large, negative,
// and walks that cross 2^32 inside a row.
TEST_F(Title, WholeFramesForEveryAngleAndTheTextureWalkForAnyStep) {
  std::mt19937 random(7);
  for (uint32_t i = 0; i < 240 * 240; ++i) {
    const int32_t dx = static_cast<int32_t>(i % 240) - 120, dy = static_cast<int32_t>(i / 240) - 90;
    const bool window = dx * dx + dy * dy < 3600 || (i / 240 > 200 && random() % 3 == 0);
    front_[i] = window ? KeyColour : static_cast<uint16_t>(i | 1);
  }
  for (uint16_t& texel : backdrop_) texel = static_cast<uint16_t>(random());
  constexpr double Degree = 0.017453292519943295;
  for (int32_t angle = 0; angle < 360; ++angle) {
    // 7 and 11 are prime to 360, so over the turn each phase takes every
    // value once, out of step with the angle and the other phase, and each
    // wraps at 360 on a frame of its own.
    const int32_t phaseU = angle * 7 % 360, phaseV = (angle * 11 + 5) % 360;
    const double zoom = static_cast<float>(std::sin(angle * Degree) * 2.0);
    const auto ux = static_cast<int32_t>(std::cos(angle * Degree) * zoom * 256.0);
    const auto uy = static_cast<int32_t>(std::sin(angle * Degree) * zoom * 256.0);
    const auto p = static_cast<int32_t>(std::sin(phaseU * Degree) * 100.0 + 50.0);
    const auto s = static_cast<int32_t>(std::cos(phaseV * Degree) * 70.0 + 35.0);
    Pixels expected = Upper(front_, backdrop_, {ux, uy, -uy, ux, p, s});
    expected.insert(expected.end(), titlePanel_.begin(), titlePanel_.end());
    EXPECT_TRUE(angle != 120 || uy == 383);
    std::tie(TitleAngle, TitlePhaseU, TitlePhaseV) = std::tuple(angle, phaseU, phaseV);
    TitleScreen();
    ASSERT_TRUE(Frame() == expected) << angle;
    ASSERT_EQ(std::tuple(TitleAngle, TitlePhaseU, TitlePhaseV),
              std::tuple((angle + 2) % 360, (phaseU + 2) % 360, (phaseV + 3) % 360));
  }
  const auto any = [&](uint32_t span) {
    return static_cast<int32_t>(random() % (2 * span + 1)) - static_cast<int32_t>(span);
  };
  std::vector<Steps> cases = {{INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, 1, -1}};
  for (int32_t k = 0; k < 60; ++k) {
    const uint32_t span = k % 3 == 0 ? 1u << 30 : k % 3 == 1 ? 70'000 : 600;
    cases.push_back({any(span), any(span), any(span), any(span), any(span), any(span)});
  }
  for (const Steps& c : cases) {
    std::tie(TitleUx, TitleUy, TitleVx, TitleVy, TitleDriftP, TitleDriftS) = std::tuple_cat(c);
    DrawTitleUpperArea();
    ASSERT_TRUE(Pixels(BackBuffer, BackBuffer + 240 * 240) == Upper(front_, backdrop_, c))
        << testing::PrintToString(c);
  }
}

TEST_F(Title, OnlyATapBelowRow240OpensTheSelection) {
  SavedBoardSize = ReturnScreen = 0;
  BoardSize = 4;
  ScreenState = ScreenTitle;
  Tap(120, 240);
  TitleScreen();
  // A tap on the picture is taken and ignored.
  EXPECT_EQ(std::tuple(ScreenState, TapConsumed, NewSounds()), std::tuple(ScreenTitle, 1, ""));
  Tap(0, 241);
  TitleScreen();
  EXPECT_EQ(std::tuple(ScreenState, SavedBoardSize, int{ReturnScreen}, NewSounds()),
            std::tuple(ScreenBoardSelect, 4, 2, "new"));
}

}  // namespace
