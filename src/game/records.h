// Best time and fewest moves per board size, kept in "quill.dat".
#pragma once

#include <cstdint>

#include "game/board.h"

constexpr const char* RecordsFileName = "quill.dat";
constexpr uint32_t RecordsFileBytes = 48;
constexpr uint32_t DefaultRecord = 999;

extern uint32_t BestSeconds[BoardSizes];
extern int32_t BestMoves[BoardSizes];

void LoadRecords();
void SaveRecords();
