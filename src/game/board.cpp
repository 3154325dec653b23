#include "game/board.h"

#include "game/random.h"
#include "gfx/back_buffer.h"
#include "services/present_frame.h"
#include "services/shared_state.h"
#include "services/sound_effects.h"

BoardRecord Board;
int16_t BoardSize = 0;
int16_t SavedBoardSize = 0;

// Indexed by BoardSize, smallest board first; the board selection screen's
// buttons follow the same order.
const BoardLayout BoardLayouts[BoardSizes] = {
    {2, 4}, {4, 4}, {4, 6}, {6, 6}, {6, 8}, {8, 8},
};

int32_t ColumnOffset() { return (GridCells - Board.Columns) / 2; }

int32_t RowOffset() { return (GridCells - Board.Rows) / 2; }

void DealBoard() {
  // A size from outside the table would index past it; fall back to the
  // start-up size rather than deal a board that cannot be drawn.
  int32_t size = (BoardSize >= 0 && BoardSize < BoardSizes) ? BoardSize : StartupBoardSize;
  Board.Columns = BoardLayouts[size].Columns;
  Board.Rows = BoardLayouts[size].Rows;

  uint16_t deck[FacePictures];
  for (int32_t i = 0; i < FacePictures; ++i) {
    deck[i] = static_cast<uint16_t>(i + 1);
  }
  // Which pictures make it onto the board: the first n / 2 of the shuffled
  // deck. The order of the two draws per exchange is part of the deal.
  for (int32_t i = 0; i < FacePictures; ++i) {
    int32_t a = NextRandom() % FacePictures;
    int32_t b = NextRandom() % FacePictures;
    uint16_t held = deck[a];
    deck[a] = deck[b];
    deck[b] = held;
  }

  int32_t n = Board.Columns * Board.Rows;
  for (int32_t k = 0; k < n; ++k) {
    Tile& tile = Board.Tiles[k];
    tile.Picture = deck[k / 2];
    tile.FaceUp = 0;
    tile.Anim = AnimStill;
    tile.AnimFrame = 0;
    tile.Present = 1;
  }
  // Where the pairs lie: only the pictures move, every tile is still alike.
  for (int32_t i = 0; i < n; ++i) {
    int32_t a = NextRandom() % n;
    int32_t b = NextRandom() % n;
    uint16_t held = Board.Tiles[a].Picture;
    Board.Tiles[a].Picture = Board.Tiles[b].Picture;
    Board.Tiles[b].Picture = held;
  }

  Board.ElapsedMs = 0;
  Board.FirstPick = -1;
  Board.SecondPick = -1;
  Board.Phase = PhaseIdle;
  ScreenState = ScreenPlay;
  Board.PairsLeft = static_cast<int16_t>(n / 2);
  Board.GameState = Playing;
  Board.Moves = 0;
  Board.LastTick = TickCount();

  // The frame on screen is still the calling screen's; the cross goes over
  // it so that a muted game never shows the toggle without its cross.
  DrawMuteCross();
  PresentFrame();
}

void DrawMuteCross() {
  if (SoundOn != 0 || BackBuffer == nullptr) {
    return;
  }
  // Two strokes three pixels thick over the sound toggle (x 222..239,
  // y 241..256); the right edge of the screen cuts the last column off.
  constexpr uint16_t Red = 0xF800;
  for (int32_t i = 0; i < 3; ++i) {
    for (int32_t k = 0; k < 16; ++k) {
      int32_t y = 241 + k;
      int32_t down = 222 + i + k;
      int32_t up = 238 + i - k;
      if (down <= 239) {
        BackBuffer[y * ScreenWidth + down] = Red;
      }
      if (up <= 239) {
        BackBuffer[y * ScreenWidth + up] = Red;
      }
    }
  }
}
