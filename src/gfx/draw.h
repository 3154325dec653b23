// Pixel-level drawing into the back buffer. Colours are 32-bit values whose
// low 16 bits are the RGB565 written (-1 is white).
#pragma once

#include <cstdint>

// Pixels outside 240 x 320 are dropped.
void PutPixel(int32_t x, int32_t y, int32_t colour);
// length + 1 pixels from (x, y); a negative length draws nothing.
void DrawHorizontalRun(int32_t x, int32_t y, int32_t length, int32_t colour);
void DrawVerticalRun(int32_t x, int32_t y, int32_t length, int32_t colour);
void DrawRectOutline(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t colour);
// Walks from the upper endpoint by equal float steps; the far endpoint itself
// is not plotted.
void DrawLine(float x0, float y0, float x1, float y1, int32_t colour);
