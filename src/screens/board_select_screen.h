// Choosing a board size, the records table, start and back.
#pragma once

#include <cstdint>

extern uint8_t ReturnScreen;  // where back leads: 2 the title, 0 play

void BoardSelectScreen();
