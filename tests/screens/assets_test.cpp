#include "screens/assets.h"

#include <gtest/gtest.h>

#include "game/game_fixture.h"

namespace {

TEST_F(GameTest, AssetsWithoutPicturesAreBlackAndTheGameStartsOnTheTitle) {
  // Anything but the starting state, so that each value must be set.
  ClearBackBuffer(0x5A);
  ScreenState = SoundOn = BoardSize = QuitFlag = 5;

  LoadAssets();
  std::vector<std::pair<uint16_t*, int32_t>> blocks = {
      {PlayPanelPicture, 240 * 80},  {BackdropPicture, 240 * 240}, {SelectPicture, 240 * 320},
      {TitlePanelPicture, 240 * 80}, {FrontPicture, 240 * 240},    {RecordPicture, 240 * 120},
      {AboutPicture, 240 * 320},     {BackBuffer, 240 * 320}};
  for (uint16_t* card : CardPictures) blocks.push_back({card, 30 * 30});
  for (const auto& [block, pixels] : blocks) {
    ASSERT_NE(block, nullptr);
    for (int32_t i = 0; i < pixels; ++i) ASSERT_EQ(block[i], 0) << i;
  }
  EXPECT_EQ((std::vector<int>{ScreenState, SoundOn, BoardSize, QuitFlag}),
            (std::vector<int>{ScreenTitle, 1, 3, 0}));
  FreeAssets();
}

}  // namespace
