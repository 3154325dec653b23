#include "screens/about_screen.h"

#include <cstring>

#include "game/board.h"
#include "gfx/back_buffer.h"
#include "screens/assets.h"
#include "services/input.h"
#include "services/shared_state.h"
#include "services/sound_effects.h"

void AboutScreen() {
  std::memcpy(BackBuffer, AboutPicture, BackBufferBytes);
  if (TakeTap()) {
    ScreenState = ScreenPlay;
    // The interrupted game's clock resumes from here, not from when it left.
    Board.LastTick = TickCount();
    EffectNew();
  }
}
