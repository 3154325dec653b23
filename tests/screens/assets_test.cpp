#include "screens/assets.h"

#include "game/game_fixture.h"
#include "gfx/tga.h"

namespace {

TEST_F(GameTest, AssetsAreBlackWithoutPicturesAndEachFromItsOwnFileWithThem) {
  // Each picture's use, its file and size: card 0 is the tile back, card n face n.
  std::vector<std::tuple<uint16_t**, std::string, int32_t, int32_t>> uses = {
      {&PlayPanelPicture, "panel2.tga", 240, 80}, {&BackdropPicture, "backdrop.tga", 240, 240},
      {&SelectPicture, "panel3.tga", 240, 320},   {&TitlePanelPicture, "panel4.tga", 240, 80},
      {&FrontPicture, "front.tga", 240, 240},     {&RecordPicture, "highscr.tga", 240, 120},
      {&AboutPicture, "about.tga", 240, 320},     {&CardPictures[0], "block.tga", 30, 30}};
  for (int32_t n = 1; n < CardPictureCount; ++n)
    uses.push_back({&CardPictures[n], "b" + std::to_string(n) + ".tga", 30, 30});
  // Anything but the starting state, so that each value must be set.
  ClearBackBuffer(0x5A);
  ScreenState = SoundOn = BoardSize = QuitFlag = 5;

  LoadAssets();
  for (const auto& [picture, name, width, height] : uses)
    EXPECT_EQ(std::count(*picture, *picture + width * height, 0), width * height) << name;
  EXPECT_EQ(std::count(BackBuffer, BackBuffer + BackBufferPixels, 0), 240 * 320);
  EXPECT_EQ((std::vector<int>{ScreenState, SoundOn, BoardSize, QuitFlag}),
            (std::vector<int>{ScreenTitle, 1, 3, 0}));
  FreeAssets();

  std::filesystem::create_directory_symlink(std::filesystem::path(QUILLMOTH_BINARY_DIR) / "Graph",
                                            Folder() / "Graph");
  LoadAssets();
  for (const auto& [picture, name, width, height] : uses) {
    Pixels file(static_cast<size_t>(width * height));
    ASSERT_EQ(LoadTga((Folder() / "Graph" / name).c_str(), width, height, file.data(), 1), 1);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), *picture)) << name;
  }
  FreeAssets();
}

}  // namespace
