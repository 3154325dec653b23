#include "screens/assets.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "app/data_paths.h"
#include "app/main_loop.h"
#include "app/sound_effects.h"
#include "game/board.h"
#include "game/random.h"
#include "game/records.h"
#include "gfx/back_buffer.h"
#include "support/headless_host.h"

namespace {

struct PictureFile {
  std::string Name;
  int32_t Width, Height;
  uint16_t** Block;
};

std::vector<PictureFile> PictureFiles() {
  std::vector<PictureFile> files;
  for (int n = 1; n <= 40; ++n)
    files.push_back({"b" + std::to_string(n) + ".tga", 30, 30, &CardPictures[n]});
  files.push_back({"panel2.tga", 240, 80, &PlayPanelPicture});
  files.push_back({"block.tga", 30, 30, &CardPictures[0]});
  files.push_back({"backdrop.tga", 240, 240, &BackdropPicture});
  files.push_back({"panel3.tga", 240, 320, &SelectPicture});
  files.push_back({"panel4.tga", 240, 80, &TitlePanelPicture});
  files.push_back({"front.tga", 240, 240, &FrontPicture});
  files.push_back({"highscr.tga", 240, 120, &RecordPicture});
  files.push_back({"about.tga", 240, 320, &AboutPicture});
  return files;
}

// Two colours of its own for every file, exact in RGB565.
uint16_t FileColour(size_t file, int which) {
  return static_cast<uint16_t>((file & 31) << 11 | (which * 32 + (file >> 5)) << 5 | 7);
}

// An 8-bit colour-mapped TGA whose bottom row uses colour-map entry 1 and all
// other rows entry 0.
void WriteTga(const std::filesystem::path& path, int32_t width, int32_t height, uint16_t colour0,
              uint16_t colour1) {
  std::vector<uint8_t> bytes(18 + 768 + static_cast<size_t>(width) * height, 0);
  bytes[1] = 1;
  bytes[2] = 1;
  bytes[5] = 0;
  bytes[6] = 1;  // 256 entries
  bytes[7] = 24;
  bytes[12] = static_cast<uint8_t>(width);
  bytes[13] = static_cast<uint8_t>(width >> 8);
  bytes[14] = static_cast<uint8_t>(height);
  bytes[15] = static_cast<uint8_t>(height >> 8);
  bytes[16] = 8;
  const uint16_t colours[2] = {colour0, colour1};
  for (int i = 0; i < 2; ++i) {
    bytes[18 + 3 * i] = static_cast<uint8_t>((colours[i] & 0x1F) << 3);
    bytes[19 + 3 * i] = static_cast<uint8_t>(((colours[i] >> 5) & 0x3F) << 2);
    bytes[20 + 3 * i] = static_cast<uint8_t>((colours[i] >> 11) << 3);
  }
  for (int32_t x = 0; x < width; ++x) bytes[786 + x] = 1;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

class AssetsTest : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    StartHost("wait 0\n", host::DisplayMode::Rgb565, 12345);
    BuildDataPaths();
    AllocateBackBuffer();
    // Anything but the starting state, so that each value must be set.
    ClearBackBuffer(0x5A);
    ScreenState = ScreenPlay;
    SoundOn = 0;
    BoardSize = 5;
    QuitFlag = 1;
    for (int32_t i = 0; i < BoardSizes; ++i) BestSeconds[i] = BestMoves[i] = 7;
  }
  void TearDown() override {
    FreeAssets();
    SoundOn = 0;
    ReleaseBackBuffer();
    HeadlessHostTest::TearDown();
  }
};

TEST_F(AssetsTest, WithoutPicturesTheBlocksAreBlackAndTheGameStartsOnTheTitle) {
  LoadAssets();

  for (const PictureFile& file : PictureFiles()) {
    const uint16_t* block = *file.Block;
    ASSERT_NE(block, nullptr) << file.Name;
    for (int32_t i = 0; i < file.Width * file.Height; ++i) ASSERT_EQ(block[i], 0) << file.Name;
  }
  for (size_t i = 0; i < BackBufferPixels; ++i) ASSERT_EQ(BackBuffer[i], 0) << i;

  EXPECT_EQ(ScreenState, ScreenTitle);
  EXPECT_EQ(SoundOn, 1);
  EXPECT_EQ(BoardSize, 3);
  EXPECT_EQ(QuitFlag, 0);
  for (int32_t i = 0; i < BoardSizes; ++i) {
    EXPECT_EQ(BestSeconds[i], 999u);
    EXPECT_EQ(BestMoves[i], 999);
  }
  ASSERT_EQ(host::SoundRequests().size(), 1u);
  EXPECT_EQ(host::SoundRequests()[0].Path, (Folder() / "Sound" / "startup.wav").string());
  EXPECT_EQ(host::SoundRequests()[0].Flags, EffectFlags);

  // Seeded from the tick count at start-up, so a run can be replayed.
  const int32_t drawn = NextRandom();
  SeedRandom(12345);
  EXPECT_EQ(drawn, NextRandom());

  FreeAssets();
  for (const PictureFile& file : PictureFiles()) EXPECT_EQ(*file.Block, nullptr) << file.Name;
}

TEST_F(AssetsTest, EveryPictureLandsUprightInItsOwnBlock) {
  const std::filesystem::path graph = Folder() / "Graph";
  std::filesystem::create_directories(graph);
  const std::vector<PictureFile> files = PictureFiles();
  for (size_t f = 0; f < files.size(); ++f) {
    WriteTga(graph / files[f].Name, files[f].Width, files[f].Height, FileColour(f, 0),
             FileColour(f, 1));
  }
  // A records file holding only the first best time: the other eleven values
  // keep the defaults set before it is read.
  const uint8_t fiveSeconds[4] = {5, 0, 0, 0};
  std::ofstream(Folder() / "quill.dat", std::ios::binary)
      .write(reinterpret_cast<const char*>(fiveSeconds), 4);

  LoadAssets();

  for (size_t f = 0; f < files.size(); ++f) {
    const PictureFile& file = files[f];
    const uint16_t* block = *file.Block;
    ASSERT_NE(block, nullptr) << file.Name;
    const int32_t bottom = file.Width * (file.Height - 1);
    for (int32_t i = 0; i < file.Width * file.Height; ++i) {
      ASSERT_EQ(block[i], FileColour(f, i >= bottom ? 1 : 0)) << file.Name << " pixel " << i;
    }
  }
  EXPECT_EQ(BestSeconds[0], 5u);
  for (int32_t i = 1; i < BoardSizes; ++i) EXPECT_EQ(BestSeconds[i], 999u);
  for (int32_t i = 0; i < BoardSizes; ++i) EXPECT_EQ(BestMoves[i], 999);
}

}  // namespace
