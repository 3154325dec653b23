#include "screens/assets.h"

#include <cstdio>
#include <cstdlib>

#include "game/board.h"
#include "game/random.h"
#include "game/records.h"
#include "gfx/back_buffer.h"
#include "gfx/tga.h"
#include "services/data_paths.h"
#include "services/shared_state.h"
#include "services/sound_effects.h"

uint16_t* CardPictures[CardPictureCount];
uint16_t* PlayPanelPicture;
uint16_t* BackdropPicture;
uint16_t* SelectPicture;
uint16_t* TitlePanelPicture;
uint16_t* FrontPicture;
uint16_t* RecordPicture;
uint16_t* AboutPicture;

namespace {

constexpr int32_t CardSide = 30;

// Zero-filled, so that a picture whose file is missing shows as black instead
// of whatever the heap held.
uint16_t* AllocatePicture(int32_t width, int32_t height) {
  return static_cast<uint16_t*>(std::calloc(static_cast<size_t>(width) * height, sizeof(uint16_t)));
}

void LoadPicture(const char* name, int32_t width, int32_t height, uint16_t* destination) {
  char path[FolderCapacity + 16];
  JoinPath(path, sizeof path, PictureFolder, name);
  LoadTga(path, width, height, destination, 1);
}

void ReleasePicture(uint16_t*& picture) {
  std::free(picture);
  picture = nullptr;
}

}  // namespace

void LoadAssets() {
  SeedRandom(TickCount());

  for (uint16_t*& card : CardPictures) card = AllocatePicture(CardSide, CardSide);
  PlayPanelPicture = AllocatePicture(240, 80);
  BackdropPicture = AllocatePicture(240, 240);
  SelectPicture = AllocatePicture(240, 320);
  TitlePanelPicture = AllocatePicture(240, 80);
  FrontPicture = AllocatePicture(240, 240);
  RecordPicture = AllocatePicture(240, 120);
  AboutPicture = AllocatePicture(240, 320);

  for (int32_t n = 1; n < CardPictureCount; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "b%d.tga", static_cast<int>(n));
    LoadPicture(name, CardSide, CardSide, CardPictures[n]);
  }
  LoadPicture("panel2.tga", 240, 80, PlayPanelPicture);
  LoadPicture("block.tga", CardSide, CardSide, CardPictures[0]);
  LoadPicture("backdrop.tga", 240, 240, BackdropPicture);
  LoadPicture("panel3.tga", 240, 320, SelectPicture);
  LoadPicture("panel4.tga", 240, 80, TitlePanelPicture);
  LoadPicture("front.tga", 240, 240, FrontPicture);
  LoadPicture("highscr.tga", 240, 120, RecordPicture);
  LoadPicture("about.tga", 240, 320, AboutPicture);

  ClearBackBuffer(0);
  ScreenState = ScreenTitle;
  SoundOn = 1;
  BoardSize = StartupBoardSize;
  QuitFlag = 0;

  // The defaults stand wherever the records file supplies nothing.
  for (int32_t i = 0; i < BoardSizes; ++i) {
    BestSeconds[i] = DefaultRecord;
    BestMoves[i] = static_cast<int32_t>(DefaultRecord);
  }
  LoadRecords();

  EffectStartup();
}

void FreeAssets() {
  ReleasePicture(AboutPicture);
  ReleasePicture(BackdropPicture);
  ReleasePicture(FrontPicture);
  ReleasePicture(PlayPanelPicture);
  ReleasePicture(SelectPicture);
  ReleasePicture(TitlePanelPicture);
  ReleasePicture(RecordPicture);
  for (uint16_t*& card : CardPictures) ReleasePicture(card);
}
