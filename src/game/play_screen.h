// The play screen: board, counters, turns, vanishing pairs and records.
#pragma once

#include <cstdint>

extern int32_t BannerPhase;  // +10 each time the record banner is drawn

void PlayScreen();
void DrawHud();
void DrawTileStill(int32_t picture, int32_t x, int32_t y);
void DrawTileTurning(int32_t picture, int32_t x, int32_t y, int32_t frame);
void DrawTileVanishing(int32_t picture, int32_t x, int32_t y, int32_t frame);
void DrawRecordBanner();

// The frame's game logic, one of them per frame by Phase.
void VanishStep();
void TurnStep();
void TapStep();
void CheckRecords();
