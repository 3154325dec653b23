// The stylus as the screens see it: the position of the last touch-down and
// a one-tap latch. The window procedure writes them while messages are
// dispatched between frames; a screen takes the tap with TakeTap.
#pragma once

#include <cstdint>

extern uint32_t StylusX;     // x of the last touch-down, screen pixels
extern uint32_t StylusY;     // y of the last touch-down, screen pixels
extern uint8_t TapConsumed;  // 1: no tap waiting; 0: a touch-down not yet taken

// Test-and-set of the latch: true once per touch-down (the last one wins).
bool TakeTap();
// A touch-down at the position word of a stylus message.
void RecordStylusDown(intptr_t position);
