#include "screens/board_select_screen.h"

#include <cstring>

#include "game/board.h"
#include "game/random.h"
#include "game/records.h"
#include "gfx/back_buffer.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "screens/assets.h"
#include "services/input.h"
#include "services/shared_state.h"
#include "services/sound_effects.h"

uint8_t ReturnScreen;

namespace {

// The size buttons of panel3.tga: a grid of 3 x 2 buttons of 34 x 16 pixels,
// 3 pixels apart across and 2 down.
constexpr uint32_t SizeLeft = 124;
constexpr uint32_t SizeTop = 3;
constexpr uint32_t SizeRight = 231;
constexpr uint32_t SizeBottom = 36;
constexpr uint32_t SizeStepX = 37;
constexpr uint32_t SizeStepY = 18;
constexpr uint32_t SizeWidth = 34;
constexpr uint32_t SizeHeight = 16;

constexpr uint32_t ButtonTop = 44;
constexpr uint32_t ButtonBottom = 72;
constexpr uint32_t StartRight = 60;
constexpr uint32_t BackLeft = 180;
constexpr uint32_t BackRight = 240;

constexpr int32_t RecordsTop = 96;
constexpr int32_t RecordsStep = 40;
constexpr int32_t SecondsColumn = 95;
constexpr int32_t MovesColumn = 174;

uint32_t SizeButtonX(int32_t size) {
  return SizeLeft + SizeStepX * static_cast<uint32_t>(size % 3);
}
uint32_t SizeButtonY(int32_t size) { return SizeTop + SizeStepY * static_cast<uint32_t>(size / 3); }

void DrawHighlight() {
  const int32_t x0 = static_cast<int32_t>(SizeButtonX(BoardSize));
  const int32_t y0 = static_cast<int32_t>(SizeButtonY(BoardSize));
  // Fresh colours every frame make the chosen button flicker.
  const int32_t outer = NextRandom() & 0xFFFF;
  const int32_t inner = NextRandom() & 0xFFFF;
  // Two nested outlines: together they cover the button's tap rectangle.
  DrawRectOutline(x0, y0, x0 + 33, y0 + 15, outer);
  DrawRectOutline(x0 + 1, y0 + 1, x0 + 32, y0 + 14, inner);
}

void DrawRecordsTable() {
  NumberText text;
  for (int32_t i = 0; i < BoardSizes; ++i) {
    const int32_t y = RecordsTop + RecordsStep * i;
    // The table prints every record as "%.3d", times included: a time of
    // 2^31 s or more (only a damaged file holds one) shows as negative.
    FormatNumber(text, static_cast<int32_t>(BestSeconds[i]));
    DrawShadowedText(text, SecondsColumn, y);
    FormatNumber(text, BestMoves[i]);
    DrawShadowedText(text, MovesColumn, y);
  }
}

void ChooseSize(uint32_t x, uint32_t y) {
  for (int32_t j = 0; j < BoardSizes; ++j) {
    const uint32_t left = SizeButtonX(j);
    const uint32_t top = SizeButtonY(j);
    if (x >= left && x <= left + SizeWidth - 1 && y >= top && y <= top + SizeHeight - 1) {
      BoardSize = static_cast<int16_t>(j);
      EffectSelect();
      return;
    }
  }
}

void GoBack() {
  BoardSize = SavedBoardSize;
  if (ReturnScreen != 0) {
    ScreenState = ScreenTitle;
    EffectStartup();
  } else {
    ScreenState = ScreenPlay;
    // The game's clock skips the time spent choosing.
    Board.LastTick = TickCount();
    EffectNew();
  }
}

}  // namespace

void BoardSelectScreen() {
  std::memcpy(BackBuffer, SelectPicture, BackBufferBytes);
  DrawHighlight();
  DrawRecordsTable();

  if (!TakeTap()) return;
  const uint32_t x = StylusX;
  const uint32_t y = StylusY;
  if (x >= SizeLeft && x <= SizeRight && y >= SizeTop && y <= SizeBottom) {
    ChooseSize(x, y);
  } else if (x <= StartRight && y >= ButtonTop && y <= ButtonBottom) {
    DealBoard();
    EffectNew();
  } else if (x >= BackLeft && x <= BackRight && y >= ButtonTop && y <= ButtonBottom) {
    GoBack();
  }
}
