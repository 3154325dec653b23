// One screen per frame, presented, then paced by a 30 ms pause.
#pragma once

#include <cstdint>

extern uint32_t FrameMark;  // TickCount right after the last presentation
constexpr int32_t FramePauseMs = 30;

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
