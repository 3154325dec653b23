#include "screens/about_screen.h"

#include <gtest/gtest.h>

#include "screens/screen_fixture.h"

namespace {

TEST_F(ScreenTest, AboutShowsItsPictureUntilAnyTapResumesPlayWithTheClockRestarted) {
  for (uint32_t i = 0; i < about_.size(); ++i) about_[i] = static_cast<uint16_t>(i * 2654435761u);
  ScreenState = ScreenAbout;
  AboutScreen();  // the touch that opened the screen was already taken
  EXPECT_EQ(ScreenState, ScreenAbout);
  host::SetTickCounter(40000);
  Tap(239, 319, AboutScreen);
  EXPECT_EQ(std::vector<uint16_t>(BackBuffer, BackBuffer + 240 * 320), about_);
  EXPECT_EQ(ScreenState, ScreenPlay);
  EXPECT_EQ(Board.LastTick, 40000u);
  EXPECT_EQ(host::SoundRequests().size(), 1u);
  EXPECT_EQ(LastSound(), "new");
}

}  // namespace
