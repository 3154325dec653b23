// The one off-screen frame every screen draws into: 240 x 320 RGB565,
// row-major, top row first, 480 bytes a row.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int32_t ScreenWidth = 240;
constexpr int32_t ScreenHeight = 320;
constexpr size_t BackBufferPixels = 240 * 320;
constexpr size_t BackBufferBytes = BackBufferPixels * 2;

extern uint16_t* BackBuffer;  // pixel (x, y) is BackBuffer[y * 240 + x]

void AllocateBackBuffer();
void ReleaseBackBuffer();
// Every byte becomes value: 0 is black, b gives pixels of b * 0x101.
void ClearBackBuffer(uint8_t value);
uint16_t* GetBackBuffer();
