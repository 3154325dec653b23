#include "game/play_screen.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "game/board.h"
#include "game/records.h"
#include "gfx/back_buffer.h"
#include "gfx/font.h"
#include "gfx/vectors.h"
#include "screens/assets.h"
#include "screens/board_select_screen.h"
#include "services/input.h"
#include "services/shared_state.h"
#include "services/sound_effects.h"

int32_t BannerPhase = 0;

namespace {

constexpr int32_t BoardAreaRows = 240;
constexpr int32_t PanelRows = 80;
constexpr int32_t BannerRows = 120;

// A turn moves 3 steps a frame, flips the face at 15 and ends at 30: ten
// frames. A vanish moves 1 step a frame and ends at 15.
constexpr uint16_t TurnStepSize = 3;
constexpr uint16_t TurnFlipFrame = 15;
constexpr uint16_t TurnEndFrame = 30;
constexpr uint16_t VanishEndFrame = 15;

// The game's tile drawers only ever get cells inside the board area, but a
// pixel off the frame would land in someone else's memory: clip each one.
inline void PlotClipped(int32_t x, int32_t y, uint16_t colour) {
  if (x >= 0 && x < ScreenWidth && y >= 0 && y < ScreenHeight) {
    BackBuffer[y * ScreenWidth + x] = colour;
  }
}

const uint16_t* CardPicture(int32_t picture) {
  if (picture < 0 || picture >= CardPictureCount) {
    return nullptr;
  }
  return CardPictures[picture];
}

// Columns * Rows, or 0 for a board that was never dealt or is damaged.
int32_t TileCount() {
  if (Board.Columns <= 0 || Board.Rows <= 0 || Board.Columns * Board.Rows > MaxTiles) {
    return 0;
  }
  return Board.Columns * Board.Rows;
}

bool ValidPick(int16_t pick) { return pick >= 0 && pick < TileCount(); }

// The face changes only halfway through, when the tile is edge-on.
void StartTurn(int32_t index) {
  Board.Tiles[index].Anim = AnimTurn;
  Board.Tiles[index].AnimFrame = 0;
  Board.Phase = PhaseTurning;
}

void TileStep(int16_t t) {
  if (Board.Tiles[t].Present != 1) {
    return;
  }
  if (Board.FirstPick == -1) {
    StartTurn(t);
    Board.FirstPick = t;
    EffectClick();
    return;
  }
  if (Board.SecondPick == -1) {
    if (t == Board.FirstPick) {
      return;
    }
    Board.SecondPick = t;
    StartTurn(t);
    // The counter is 16 bits wide and the records file trusts it: past
    // 32,767 it would wrap to a negative count that no later game could
    // ever beat, so it simply stops there.
    if (Board.Moves < MaxMoves) {
      Board.Moves = static_cast<int16_t>(Board.Moves + 1);
    }
    EffectClick();
    return;
  }
  // A pair that did not match is still face up. The tap turns back whichever
  // of the two was not tapped, and a third tile turns up together with them;
  // the tapped tile becomes the first pick of the next attempt. Resolving a
  // pair is not a move.
  int16_t first = Board.FirstPick;
  int16_t second = Board.SecondPick;
  if (first != t) {
    StartTurn(first);
  }
  Board.SecondPick = -1;
  if (second != t) {
    StartTurn(second);
  }
  if (first != t && second != t) {
    StartTurn(t);
  }
  Board.FirstPick = t;
  EffectClick();
}

// The panel's four controls; the rectangles include both ends and go one
// pixel past the screen's edge, as the panel artwork was laid out.
void PanelStep(uint32_t x, uint32_t y) {
  if (x >= 223 && x <= 240 && y >= 241 && y <= 255) {
    // Silent both ways: muting must not make a sound, and unmuting is
    // confirmed by the next effect the player causes.
    SoundOn = static_cast<uint8_t>(1 - SoundOn);
  } else if (x <= 55 && y >= 295 && y <= 320) {
    ScreenState = ScreenAbout;
    EffectNew();
  } else if (x >= 63 && x <= 173 && y >= 295 && y <= 320) {
    ScreenState = ScreenBoardSelect;
    SavedBoardSize = BoardSize;
    // Tells the selection screen's back button to come back to this board.
    ReturnScreen = ScreenPlay;
    EffectNew();
  } else if (x >= 190 && x <= 240 && y >= 295 && y <= 320) {
    QuitFlag = 1;
    EffectStartup();
  }
}

}  // namespace

void PlayScreen() {
  std::memcpy(BackBuffer, BackdropPicture,
              static_cast<size_t>(ScreenWidth) * BoardAreaRows * sizeof(uint16_t));
  DrawHud();

  int32_t count = TileCount();
  int32_t columnOffset = ColumnOffset();
  int32_t rowOffset = RowOffset();
  for (int32_t r = 0; count > 0 && r < Board.Rows; ++r) {
    for (int32_t c = 0; c < Board.Columns; ++c) {
      const Tile& tile = Board.Tiles[r * Board.Columns + c];
      if (tile.Present != 1) {
        continue;
      }
      int32_t shown = tile.FaceUp == 1 ? tile.Picture : 0;
      int32_t x = (columnOffset + c) * CellSize;
      int32_t y = (rowOffset + r) * CellSize;
      if (tile.Anim == AnimTurn) {
        DrawTileTurning(shown, x, y, tile.AnimFrame);
      } else if (tile.Anim == AnimVanish) {
        // Only face-up pairs vanish, so the face is drawn whatever FaceUp says.
        DrawTileVanishing(tile.Picture, x, y, tile.AnimFrame);
      } else {
        DrawTileStill(shown, x, y);
      }
    }
  }

  if (Board.GameState == NewRecord) {
    DrawRecordBanner();
  }

  // One step of logic a frame; what it changes shows in the next frame.
  if (Board.Phase == PhaseVanishing) {
    VanishStep();
  } else if (Board.Phase == PhaseTurning) {
    TurnStep();
  } else if (Board.Phase == PhaseIdle) {
    TapStep();
  }
}

void DrawHud() {
  // Unsigned subtraction: the 32-bit tick counter wraps after 49.7 days and
  // the difference stays right across the wrap. Time spent on other screens
  // is skipped because they set LastTick when they hand back to this one.
  if (Board.GameState == Playing) {
    Board.ElapsedMs += TickCount() - Board.LastTick;
  }
  Board.LastTick = TickCount();

  std::memcpy(BackBuffer + ScreenWidth * BoardAreaRows, PlayPanelPicture,
              static_cast<size_t>(ScreenWidth) * PanelRows * sizeof(uint16_t));

  // The panel has room for three digits; the counter rolls over at 999
  // (not 1000), so 999 seconds shows as 000. Records keep the full value.
  NumberText text;
  FormatNumber(text, static_cast<int32_t>((Board.ElapsedMs / 1000u) % 999u));
  DrawShadowedText(text, 63, 257);
  FormatNumber(text, Board.Moves);
  DrawShadowedText(text, 177, 257);

  DrawMuteCross();
}

void DrawTileStill(int32_t picture, int32_t x, int32_t y) {
  const uint16_t* source = CardPicture(picture);
  if (source == nullptr) {
    return;
  }
  bool inside = x >= 0 && y >= 0 && x + CellSize <= ScreenWidth && y + CellSize <= ScreenHeight;
  for (int32_t j = 0; j < CellSize; ++j) {
    if (inside) {
      std::memcpy(BackBuffer + (y + j) * ScreenWidth + x, source + j * CellSize,
                  CellSize * sizeof(uint16_t));
      continue;
    }
    for (int32_t k = 0; k < CellSize; ++k) {
      PlotClipped(x + k, y + j, source[j * CellSize + k]);
    }
  }
}

void DrawTileTurning(int32_t picture, int32_t x, int32_t y, int32_t frame) {
  const uint16_t* source = CardPicture(picture);
  // The tile turns about its vertical axis: it narrows towards the middle of
  // the cell until frame 15 and widens again after; the cell's sides show
  // the backdrop.
  int32_t d = frame < TurnFlipFrame ? frame : TurnEndFrame - 1 - frame;
  if (source == nullptr || d < 0) {
    return;
  }
  int32_t w = CellSize - 2 * d;
  for (int32_t j = 0; j < CellSize; ++j) {
    for (int32_t k = 0; k < w; ++k) {
      PlotClipped(x + d + k, y + j, source[j * CellSize + CellSize * k / w]);
    }
  }
}

void DrawTileVanishing(int32_t picture, int32_t x, int32_t y, int32_t frame) {
  const uint16_t* source = CardPicture(picture);
  if (source == nullptr || frame < 0 || frame >= VanishEndFrame) {
    return;
  }
  // Shrinks towards the centre of the cell by one pixel a side per frame.
  int32_t w = CellSize - 2 * frame;
  for (int32_t j = 0; j < w; ++j) {
    const uint16_t* row = source + (CellSize * j / w) * CellSize;
    for (int32_t k = 0; k < w; ++k) {
      PlotClipped(x + frame + k, y + frame + j, row[CellSize * k / w]);
    }
  }
}

void DrawRecordBanner() {
  // Bounces between rows 10 and 110, so its 120 rows stay in the board area.
  // The product is taken before the offset and the sum truncated, exactly,
  // because the banner's row on each frame is what the player sees.
  double sine = std::sin(static_cast<double>(BannerPhase) * std::numbers::pi / 128.0);
  int32_t top = static_cast<int32_t>(60.0 + 50.0 * sine);
  // Wraps instead of overflowing after months of bouncing.
  BannerPhase = static_cast<int32_t>(static_cast<uint32_t>(BannerPhase) + 10u);
  if (top < 0 || top + BannerRows > BoardAreaRows) {
    return;
  }

  // Key colour: transparent. Black: black. Anything else is a window onto
  // the backdrop with its red moved into green and its green into blue.
  // Eight pixels at a time, choosing by masks rather than branches.
  for (int32_t j = 0; j < BannerRows; ++j) {
    const uint16_t* banner = RecordPicture + j * ScreenWidth;
    const uint16_t* backdrop = BackdropPicture + (top + j) * ScreenWidth;
    uint16_t* target = BackBuffer + (top + j) * ScreenWidth;
    for (int32_t i = 0; i < ScreenWidth; i += 8) {
      const Pixels8 v = LoadPixels(banner + i);
      const auto keep = reinterpret_cast<Pixels8>(v == KeyColour);
      const auto black = reinterpret_cast<Pixels8>(v == 0);
      const Pixels8 recoloured = LoadPixels(backdrop + i) >> 5;
      StorePixels(target + i, (LoadPixels(target + i) & keep) | (recoloured & ~(keep | black)));
    }
  }
}

void VanishStep() {
  if (!ValidPick(Board.FirstPick) || !ValidPick(Board.SecondPick)) {
    // Nothing can be vanishing without a pair: let the board be played on.
    Board.Phase = PhaseIdle;
    return;
  }
  Tile& first = Board.Tiles[Board.FirstPick];
  Tile& second = Board.Tiles[Board.SecondPick];
  first.AnimFrame = static_cast<uint16_t>(first.AnimFrame + 1);
  second.AnimFrame = static_cast<uint16_t>(second.AnimFrame + 1);
  if (first.AnimFrame != VanishEndFrame) {
    return;
  }
  // The tiles keep AnimVanish at frame 15; as they are no longer present
  // they are never drawn again.
  first.Present = 0;
  second.Present = 0;
  Board.SecondPick = -1;
  Board.FirstPick = -1;
  Board.Phase = PhaseIdle;
  Board.PairsLeft = static_cast<int16_t>(Board.PairsLeft - 1);
  if (Board.PairsLeft == 0) {
    Board.GameState = Finished;
    CheckRecords();
  }
}

void TurnStep() {
  int32_t count = TileCount();
  bool advanced = false;
  for (int32_t i = 0; i < count; ++i) {
    Tile& tile = Board.Tiles[i];
    if (tile.Anim != AnimTurn || tile.Present != 1) {
      continue;
    }
    tile.AnimFrame = static_cast<uint16_t>(tile.AnimFrame + TurnStepSize);
    if (tile.AnimFrame == TurnFlipFrame) {
      tile.FaceUp = static_cast<uint16_t>(1 - tile.FaceUp);
    }
    if (tile.AnimFrame >= TurnEndFrame) {
      tile.AnimFrame = 0;
      tile.Anim = AnimStill;
    }
    advanced = true;
  }
  // The frame after the last turning frame only looks at the result, so a
  // found pair starts to vanish one frame after it lies face up.
  if (advanced) {
    return;
  }
  Board.Phase = PhaseIdle;
  if (ValidPick(Board.FirstPick) && ValidPick(Board.SecondPick) &&
      Board.Tiles[Board.FirstPick].Picture == Board.Tiles[Board.SecondPick].Picture) {
    Tile& first = Board.Tiles[Board.FirstPick];
    Tile& second = Board.Tiles[Board.SecondPick];
    first.AnimFrame = 0;
    first.Anim = AnimVanish;
    second.AnimFrame = 0;
    second.Anim = AnimVanish;
    Board.Phase = PhaseVanishing;
    EffectFade();
  }
}

void TapStep() {
  // Taps that came during an animation were left waiting; only the last
  // touch-down's position counts.
  if (!TakeTap()) {
    return;
  }
  uint32_t x = StylusX;
  uint32_t y = StylusY;
  int64_t column = x / CellSize;
  int64_t row = y / CellSize;
  int32_t columnOffset = ColumnOffset();
  int32_t rowOffset = RowOffset();
  if (TileCount() > 0 && row >= rowOffset && row < rowOffset + Board.Rows &&
      column >= columnOffset && column < columnOffset + Board.Columns) {
    TileStep(static_cast<int16_t>((row - rowOffset) * Board.Columns + (column - columnOffset)));
    return;
  }
  PanelStep(x, y);
}

void CheckRecords() {
  int32_t b = BoardSize;
  if (b < 0 || b >= BoardSizes) {
    return;
  }
  // Strictly better only: equalling a record is not a new one. Both checks
  // always run, and each saves at once, so a double record writes twice.
  if (Board.Moves < BestMoves[b]) {
    BestMoves[b] = Board.Moves;
    SaveRecords();
    Board.GameState = NewRecord;
  }
  // The full seconds, not the three digits the panel shows.
  uint32_t seconds = Board.ElapsedMs / 1000u;
  if (seconds < BestSeconds[b]) {
    BestSeconds[b] = seconds;
    SaveRecords();
    Board.GameState = NewRecord;
  }
}
