// One screen per frame, presented, then paced by a 30 ms pause.
#pragma once

#include <cstdint>

constexpr int8_t ScreenPlay = 0;
constexpr int8_t ScreenBoardSelect = 1;
constexpr int8_t ScreenTitle = 2;
constexpr int8_t ScreenAbout = 4;

extern int8_t ScreenState;  // the screen that runs in the next frame
extern uint8_t QuitFlag;    // exactly 1 ends the loop after the current frame
extern uint32_t FrameMark;  // TickCount right after the last presentation
constexpr int32_t FramePauseMs = 30;

uint32_t TickCount();
void MarkFrameStart();
// Wrap-safe: a tick counter that wrapped since the mark still gives the true
// small difference.
int32_t MillisecondsSinceFrameMark();
// Sleeps until FramePauseMs have passed since FrameMark. Dispatches nothing.
void PauseForNextFrame();
// One pass of the loop: the current screen's handler, PresentFrame, the mark,
// the pause, and the host's frame boundary.
void RunFrame();
void RunMainLoop();
