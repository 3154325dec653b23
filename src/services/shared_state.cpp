#include "services/shared_state.h"

#include "platform/platform.h"

int8_t ScreenState = ScreenTitle;
uint8_t QuitFlag = 0;

uint32_t TickCount() { return ReadTickCounter(); }
