#include "screens/about_screen.h"

#include "game/game_fixture.h"

namespace {

using About = GameTest;

TEST_F(About, ShowsItsPictureUntilAnyTapResumesPlayWithTheClockRestarted) {
  for (uint32_t i = 0; i < about_.size(); ++i) about_[i] = static_cast<uint16_t>(i * 2654435761u);
  for (const auto& [x, y] : {std::pair{0u, 0u}, {239u, 319u}}) {
    ScreenState = ScreenAbout;
    AboutScreen();  // the touch that opened the screen was already taken
    EXPECT_EQ(ScreenState, ScreenAbout);
    host::SetTickCounter(40000 + x);
    Tap(x, y);
    AboutScreen();
    EXPECT_TRUE(Frame() == about_);
    EXPECT_EQ(std::tuple(ScreenState, Board.LastTick, NewSounds()),
              std::tuple(ScreenPlay, 40000 + x, "new"));
  }
}

}  // namespace
