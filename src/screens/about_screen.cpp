#include "screens/about_screen.h"

#include <cstring>

#include "app/input.h"
#include "app/main_loop.h"
#include "app/sound_effects.h"
#include "game/board.h"
#include "gfx/back_buffer.h"
#include "screens/assets.h"

void AboutScreen() {
  std::memcpy(BackBuffer, AboutPicture, BackBufferBytes);
  if (TakeTap()) {
    ScreenState = ScreenPlay;
    // The interrupted game's clock resumes from here, not from when it left.
    Board.LastTick = TickCount();
    EffectNew();
  }
}
