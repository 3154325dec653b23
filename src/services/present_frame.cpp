#include "services/present_frame.h"

#include "gfx/display_output.h"
#include "platform/platform.h"
#include "services/shared_state.h"

void PumpMessages() {
  PlatformMessage message{};
  while (PeekPlatformMessage()) {
    // The quit request arrives when the system closed the window; the loop
    // finishes its frame and shuts down normally, and whatever else is queued
    // is still delivered.
    if (!TakePlatformMessage(&message)) QuitFlag = 1;
    TranslatePlatformMessage(message);
    DispatchPlatformMessage(message);
  }
}

void PresentFrame() {
  CopyFrameToDisplay();
  PumpMessages();
}
