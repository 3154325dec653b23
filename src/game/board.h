// The game in progress: its tiles, counters and the six board layouts.
#pragma once

#include <cstdint>

struct Tile {
  uint16_t Picture;    // 1..40: slot of CardPictures
  uint16_t FaceUp;     // 1: face shown; 0: the back
  uint16_t Present;    // 1 while on the board; 0 once its pair is found
  uint16_t Anim;       // AnimStill, AnimTurn or AnimVanish
  uint16_t AnimFrame;  // step of the running animation; 0 when still
};

constexpr uint16_t AnimStill = 0;
constexpr uint16_t AnimTurn = 1;
constexpr uint16_t AnimVanish = 2;

constexpr uint8_t Playing = 0;
constexpr uint8_t Finished = 1;
constexpr uint8_t NewRecord = 2;

constexpr uint8_t PhaseIdle = 0;
constexpr uint8_t PhaseTurning = 1;
constexpr uint8_t PhaseVanishing = 2;

constexpr int32_t MaxTiles = 64;
constexpr int32_t CellSize = 30;
constexpr int32_t GridCells = 8;  // the board area is 8 x 8 cells of 30 pixels
constexpr int32_t FacePictures = 40;
constexpr int32_t BoardSizes = 6;
constexpr int16_t StartupBoardSize = 3;  // 6 x 6, until the player picks another
constexpr int16_t MaxMoves = 32767;      // the move counter stops here instead of wrapping

struct BoardRecord {
  int32_t Columns;
  int32_t Rows;
  Tile Tiles[MaxTiles];  // row-major; only Columns * Rows are used
  int16_t FirstPick;     // tile index, -1 for none
  int16_t SecondPick;    // tile index, -1 for none
  int16_t PairsLeft;
  int16_t Moves;
  uint32_t ElapsedMs;
  uint32_t LastTick;  // TickCount at the last time accounting
  uint8_t GameState;  // Playing, Finished or NewRecord
  uint8_t Phase;      // PhaseIdle, PhaseTurning or PhaseVanishing
};

extern BoardRecord Board;
extern int16_t BoardSize;       // 0..5: layout of the next deal
extern int16_t SavedBoardSize;  // BoardSize when the selection screen opened

struct BoardLayout {
  int32_t Columns;
  int32_t Rows;
};
extern const BoardLayout BoardLayouts[BoardSizes];

// The board is centred in the 8 x 8 cell area by whole cells.
int32_t ColumnOffset();
int32_t RowOffset();

void DealBoard();
// The red cross over the sound toggle, when sound is off.
void DrawMuteCross();
