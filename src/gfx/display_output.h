// Presenting the back buffer in the display's own pixel layout.
#pragma once

#include <cstdint>

// What the program keeps of the display's properties. Width, height and
// format flags are not kept: the display is taken to be 240 x 320.
struct DisplayFormatFields {
  int32_t BitsPerPixel;
  int32_t PixelPitch;  // bytes between neighbours along x; may be negative
  int32_t RowPitch;    // bytes between neighbours along y; may be negative
};
extern DisplayFormatFields DisplayFormat;

// CopyFrameToDisplay, then PumpMessages.
void PresentFrame();
void CopyFrameToDisplay();
// Dispatches every waiting message. A quit request (the window was closed)
// ends the main loop after the current frame.
void PumpMessages();
