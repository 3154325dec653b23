#include "app/entry.h"

#include "app/main_loop.h"
#include "app/window.h"
#include "gfx/back_buffer.h"
#include "gfx/display_output.h"
#include "gfx/font.h"
#include "services/input.h"

namespace {

// Hands the screen back to the system and releases what start-up took. Runs
// at the normal end and also when the window could not be made, so that a
// failed start never leaves the taskbar hidden or the display held.
void GiveScreenBack() {
  SetTaskbarVisible(true);
  GXCloseInput();
  GXCloseDisplay();
  ReleaseBackBuffer();
  FreeGlyphFont();
  MainWindow = nullptr;
}

}  // namespace

int ProgramEntry(InstanceHandle instance, InstanceHandle /*previous*/, const char* /*commandLine*/,
                 int showCommand) {
  // One copy at a time: a second start only brings the first one forward,
  // without touching the display or allocating anything.
  if (WindowHandle running = FindTopLevelWindow(WindowClassName)) {
    ShowPlatformWindow(running, ShowShow);
    return 0;
  }

  AllocateBackBuffer();
  GXOpenDisplay(nullptr, GXFullScreen);
  GXOpenInput();
  const GXDisplayProperties properties = GXGetDisplayProperties();
  DisplayFormat = {properties.BitsPerPixel, properties.PixelPitch, properties.RowPitch};
  TapConsumed = 1;
  BuildGlyphFont();
  SetTaskbarVisible(false);

  const WindowClass windowClass{0,        GameWindowProcedure,
                                0,        0,
                                instance, LoadIconResource(instance, ProgramIconId),
                                nullptr,  GetStockBrush(StockBlackBrush),
                                nullptr,  WindowClassName};
  if (!DeclareWindowClass(windowClass)) {
    GiveScreenBack();
    return 0;
  }
  WindowHandle window =
      CreatePlatformWindow(ExStyleTopMost, WindowClassName, WindowTitle, StyleVisible, 0, 0,
                           ScreenWidth, ScreenHeight, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    GiveScreenBack();
    return 0;
  }
  MainWindow = window;
  ShowPlatformWindow(window, showCommand);
  UpdatePlatformWindow(window);

  RunMainLoop();

  GiveScreenBack();
  return 0;
}
