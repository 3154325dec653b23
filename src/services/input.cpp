#include "services/input.h"

uint32_t StylusX = 0;
uint32_t StylusY = 0;
// No tap may be pending before the window exists: a screen must never act on
// a touch that nobody made.
uint8_t TapConsumed = 1;

bool TakeTap() {
  const uint8_t waiting = TapConsumed;
  TapConsumed = 1;
  return waiting == 0;
}

void RecordStylusDown(intptr_t position) {
  // The position word is taken unsigned: x in the low half, y in the high.
  const uint32_t word = static_cast<uint32_t>(position);
  StylusX = word & 0xFFFFu;
  StylusY = word >> 16;
  TapConsumed = 0;
}
