// What every screen reads and writes about the run as a whole: which screen
// runs next, whether the program is to end, and the millisecond clock.
#pragma once

#include <cstdint>

constexpr int8_t ScreenPlay = 0;
constexpr int8_t ScreenBoardSelect = 1;
constexpr int8_t ScreenTitle = 2;
constexpr int8_t ScreenAbout = 4;

extern int8_t ScreenState;  // the screen that runs in the next frame
extern uint8_t QuitFlag;    // exactly 1 ends the loop after the current frame

uint32_t TickCount();
