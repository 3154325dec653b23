#include "gfx/draw.h"

#include <cmath>
#include <cstdint>

#include "gfx/back_buffer.h"

void PutPixel(int32_t x, int32_t y, int32_t colour) {
  // Ink that would fall off the frame is dropped rather than landing on the
  // next row or past the end of the buffer.
  if (x < 0 || x >= ScreenWidth || y < 0 || y >= ScreenHeight) return;
  BackBuffer[y * ScreenWidth + x] = static_cast<uint16_t>(colour);
}

namespace {

// The part i = first..last of a run starting at start with length + 1 pixels
// that can reach the frame at all; the rest would be dropped by PutPixel
// anyway, and skipping it keeps absurd lengths from overflowing or spinning.
struct RunSpan {
  int64_t first;
  int64_t last;
};

RunSpan VisibleRun(int32_t start, int32_t length, int32_t extent) {
  const int64_t first = start < 0 ? -static_cast<int64_t>(start) : 0;
  const int64_t lastOnScreen = static_cast<int64_t>(extent) - 1 - start;
  return {first, length < lastOnScreen ? length : lastOnScreen};
}

// to - from, kept within 32 bits: a reversed pair stays negative.
int32_t Distance(int32_t from, int32_t to) {
  const int64_t distance = static_cast<int64_t>(to) - from;
  if (distance > INT32_MAX) return INT32_MAX;
  if (distance < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(distance);
}

// Truncation toward zero as the float-to-integer conversion does it; values
// beyond the 32-bit range (never produced by the game) saturate instead of
// being undefined.
int32_t Truncate(float value) {
  if (std::isnan(value)) return 0;
  if (value <= -2147483648.0f) return INT32_MIN;
  if (value >= 2147483648.0f) return INT32_MAX;
  return static_cast<int32_t>(value);
}

}  // namespace

void DrawHorizontalRun(int32_t x, int32_t y, int32_t length, int32_t colour) {
  const RunSpan run = VisibleRun(x, length, ScreenWidth);
  for (int64_t i = run.first; i <= run.last; ++i) {
    PutPixel(static_cast<int32_t>(x + i), y, colour);
  }
}

void DrawVerticalRun(int32_t x, int32_t y, int32_t length, int32_t colour) {
  const RunSpan run = VisibleRun(y, length, ScreenHeight);
  for (int64_t i = run.first; i <= run.last; ++i) {
    PutPixel(x, static_cast<int32_t>(y + i), colour);
  }
}

void DrawRectOutline(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t colour) {
  // Both corners belong to the outline, so corner pixels are written twice;
  // a reversed pair of coordinates skips that pair of edges.
  const int32_t across = Distance(x0, x1);
  const int32_t down = Distance(y0, y1);
  DrawHorizontalRun(x0, y0, across, colour);
  DrawVerticalRun(x0, y0, down, colour);
  DrawHorizontalRun(x0, y1, across, colour);
  DrawVerticalRun(x1, y0, down, colour);
}

void DrawLine(float x0, float y0, float x1, float y1, int32_t colour) {
  // The sound symbol's cross depends on this exact walk: single precision,
  // steps added up one by one, the far endpoint left out.
  if (y0 > y1) {
    const float swapX = x0;
    const float swapY = y0;
    x0 = x1;
    y0 = y1;
    x1 = swapX;
    y1 = swapY;
  }
  const float dx = x1 - x0;
  const float dy = y1 - y0;
  const int32_t countX = Truncate(std::fabs(dx));
  const int32_t countY = Truncate(std::fabs(dy));
  const int32_t count = countX > countY ? countX : countY;
  if (count == 0) return;
  const float stepX = dx / static_cast<float>(count);
  const float stepY = dy / static_cast<float>(count);
  float x = x0;
  float y = y0;
  for (int32_t i = 0; i < count; ++i) {
    PutPixel(Truncate(x), Truncate(y), colour);
    x += stepX;
    y += stepY;
  }
}
