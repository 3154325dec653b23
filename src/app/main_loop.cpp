#include "app/main_loop.h"

#include "game/play_screen.h"
#include "gfx/back_buffer.h"
#include "platform/platform.h"
#include "screens/about_screen.h"
#include "screens/assets.h"
#include "screens/board_select_screen.h"
#include "screens/title_screen.h"
#include "services/data_paths.h"
#include "services/present_frame.h"
#include "services/shared_state.h"

uint32_t FrameMark = 0;

void MarkFrameStart() { FrameMark = TickCount(); }

int32_t MillisecondsSinceFrameMark() {
  // Unsigned subtraction then a signed view: right across the counter's wrap
  // after 2^32 ms.
  return static_cast<int32_t>(TickCount() - FrameMark);
}

void PauseForNextFrame() {
  // The handheld spun on the tick counter here; sleeping for what is left
  // keeps the same pace without burning a core. Nothing is dispatched
  // meanwhile, so the screens still see input only between frames.
  for (;;) {
    const int32_t elapsed = MillisecondsSinceFrameMark();
    if (elapsed >= FramePauseMs) return;
    SleepMilliseconds(static_cast<uint32_t>(elapsed < 0 ? FramePauseMs : FramePauseMs - elapsed));
  }
}

void RunFrame() {
  // A state without a screen draws nothing: the last frame is shown again.
  switch (ScreenState) {
    case ScreenPlay:
      PlayScreen();
      break;
    case ScreenBoardSelect:
      BoardSelectScreen();
      break;
    case ScreenTitle:
      TitleScreen();
      break;
    case ScreenAbout:
      AboutScreen();
      break;
    default:
      break;
  }
  PresentFrame();
  MarkFrameStart();
  PauseForNextFrame();
  HostFrameEnded();
}

void RunMainLoop() {
  BuildDataPaths();
  LoadAssets();
  ClearBackBuffer(0);
  while (QuitFlag != 1) RunFrame();
  FreeAssets();
}
