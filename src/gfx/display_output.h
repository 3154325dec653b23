// Copying the back buffer into display memory in the display's own pixel
// layout.
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

// One frame from the back buffer into display memory. A display that hands
// out no memory, or has a depth the game cannot draw, is left as it was.
void CopyFrameToDisplay();
