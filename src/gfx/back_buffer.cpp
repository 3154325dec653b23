#include "gfx/back_buffer.h"

#include <cstdlib>
#include <cstring>

uint16_t* BackBuffer = nullptr;

void AllocateBackBuffer() {
  // One block for the life of the program; a second call must not leak the first.
  ReleaseBackBuffer();
  BackBuffer = static_cast<uint16_t*>(std::malloc(BackBufferBytes));
}

void ReleaseBackBuffer() {
  // Also reached on a start-up that failed before the buffer existed.
  std::free(BackBuffer);
  BackBuffer = nullptr;
}

void ClearBackBuffer(uint8_t value) { std::memset(BackBuffer, value, BackBufferBytes); }

uint16_t* GetBackBuffer() { return BackBuffer; }
