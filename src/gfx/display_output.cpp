#include "gfx/display_output.h"

#include <bit>
#include <cstddef>
#include <cstring>

#include "app/main_loop.h"
#include "gfx/back_buffer.h"
#include "platform/platform.h"

DisplayFormatFields DisplayFormat = {0, 0, 0};

namespace {

// Display memory carries no alignment promise for odd pitches, so every store
// goes through memcpy; the compiler turns the aligned cases into plain stores.
void StorePixel(uint8_t* at, uint16_t value) { std::memcpy(at, &value, sizeof value); }

void StoreLittleEndianWord(uint8_t* at, uint32_t word) {
  if constexpr (std::endian::native == std::endian::big) {
    word = (word >> 24) | ((word >> 8) & 0x0000FF00u) | ((word << 8) & 0x00FF0000u) | (word << 24);
  }
  std::memcpy(at, &word, sizeof word);
}

void CopyRgb565(uint8_t* display) {
  const auto* source = reinterpret_cast<const uint8_t*>(BackBuffer);
  const int32_t pixelPitch = DisplayFormat.PixelPitch;
  const int32_t rowPitch = DisplayFormat.RowPitch;
  if (pixelPitch == 2 && rowPitch == 480) {
    std::memcpy(display, source, BackBufferBytes);
    return;
  }
  if (pixelPitch == 2) {
    for (int32_t y = 0; y < ScreenHeight; ++y) {
      std::memcpy(display + static_cast<ptrdiff_t>(y) * rowPitch, source + y * 480, 480);
    }
    return;
  }
  // Panels mounted sideways: when rows run backwards in memory the walk starts
  // one 320-pixel line (640 bytes) past the address the display hands out,
  // which is where such panels expect the frame. Odd pitches are rounded down
  // to whole 16-bit steps.
  const ptrdiff_t start = rowPitch < 0 ? 640 : 0;
  const ptrdiff_t p = static_cast<ptrdiff_t>(pixelPitch >> 1) * 2;
  const ptrdiff_t r = static_cast<ptrdiff_t>(rowPitch >> 1) * 2;
  for (int32_t y = 0; y < ScreenHeight; ++y) {
    for (int32_t x = 0; x < ScreenWidth; ++x) {
      StorePixel(display + (start + y * r + x * p), BackBuffer[y * ScreenWidth + x]);
    }
  }
}

// R (0..31) + G (0..63) + B (0..31) over 8: white lands exactly on 15.
uint8_t Grey16Level(uint16_t pixel) {
  return static_cast<uint8_t>(((pixel >> 11) + ((pixel >> 5) & 0x3F) + (pixel & 0x1F)) >> 3);
}

void CopyGrey4(uint8_t* display) {
  // The panel stores each screen column as one 160-byte line, bottom pixel
  // first, two pixels a byte with the lower one in the high nibble.
  for (int32_t x = 0; x < ScreenWidth; ++x) {
    uint8_t* line = display + x * 160;
    for (int32_t y = ScreenHeight - 1; y > 0; y -= 2) {
      const uint8_t lower = Grey16Level(BackBuffer[y * ScreenWidth + x]);
      const uint8_t upper = Grey16Level(BackBuffer[(y - 1) * ScreenWidth + x]);
      *line++ = static_cast<uint8_t>(lower << 4 | upper);
    }
  }
}

void CopyGrey2(uint8_t* display) {
  // Four levels from the top two bits of red alone; a row is 60 bytes, built
  // 16 pixels at a time and stored as one 32-bit word.
  const ptrdiff_t rowStep = 60 + 4 * (static_cast<ptrdiff_t>(DisplayFormat.RowPitch - 60) >> 2);
  uint8_t* row = display;
  for (int32_t y = 0; y < ScreenHeight; ++y) {
    const uint16_t* source = BackBuffer + y * ScreenWidth;
    for (int32_t w = 0; w < 15; ++w) {
      uint32_t word = 0;
      for (int32_t b = 0; b < 4; ++b) {
        const uint16_t* four = source + w * 16 + b * 4;
        const uint32_t byte = static_cast<uint32_t>((four[0] >> 14) << 6 | (four[1] >> 14) << 4 |
                                                    (four[2] >> 14) << 2 | (four[3] >> 14));
        word |= byte << (8 * b);
      }
      StoreLittleEndianWord(row + w * 4, word);
    }
    row += rowStep;
  }
}

}  // namespace

void CopyFrameToDisplay() {
  const int32_t depth = DisplayFormat.BitsPerPixel;
  // Other depths are left dark without touching the display library at all.
  if (depth != 16 && depth != 4 && depth != 2) return;
  auto* display = static_cast<uint8_t*>(GXBeginDraw());
  // No display memory this frame: skip the copy (and its end call) so the
  // loop, taps and messages keep running until the display comes back.
  if (display == nullptr) return;
  if (depth == 16) {
    CopyRgb565(display);
  } else if (depth == 4) {
    CopyGrey4(display);
  } else {
    CopyGrey2(display);
  }
  GXEndDraw();
}

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
