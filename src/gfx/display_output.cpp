#include "gfx/display_output.h"

#include <cstddef>
#include <cstring>

#include "gfx/back_buffer.h"
#include "gfx/vectors.h"
#include "platform/platform.h"

DisplayFormatFields DisplayFormat = {0, 0, 0};

namespace {

// Display memory carries no alignment promise for odd pitches, so every store
// goes through memcpy; the compiler turns the aligned cases into plain stores.
void StorePixel(uint8_t* at, uint16_t value) { std::memcpy(at, &value, sizeof value); }

// Turns an 8 x 8 block of pixels: row k of the result is column k of the
// block, top to bottom. The loops around it are unrolled so that the block
// never leaves the registers.
[[gnu::always_inline]] inline void Transpose(Pixels8 (&m)[8]) {
  // Three rounds of interleaving: pixels, then pairs, then fours. Written
  // out so that the whole block stays in registers.
  const Pixels8 b0 = __builtin_shufflevector(m[0], m[1], 0, 8, 1, 9, 2, 10, 3, 11);
  const Pixels8 b1 = __builtin_shufflevector(m[0], m[1], 4, 12, 5, 13, 6, 14, 7, 15);
  const Pixels8 b2 = __builtin_shufflevector(m[2], m[3], 0, 8, 1, 9, 2, 10, 3, 11);
  const Pixels8 b3 = __builtin_shufflevector(m[2], m[3], 4, 12, 5, 13, 6, 14, 7, 15);
  const Pixels8 b4 = __builtin_shufflevector(m[4], m[5], 0, 8, 1, 9, 2, 10, 3, 11);
  const Pixels8 b5 = __builtin_shufflevector(m[4], m[5], 4, 12, 5, 13, 6, 14, 7, 15);
  const Pixels8 b6 = __builtin_shufflevector(m[6], m[7], 0, 8, 1, 9, 2, 10, 3, 11);
  const Pixels8 b7 = __builtin_shufflevector(m[6], m[7], 4, 12, 5, 13, 6, 14, 7, 15);
  const Pixels8 c0 = __builtin_shufflevector(b0, b2, 0, 1, 8, 9, 2, 3, 10, 11);
  const Pixels8 c1 = __builtin_shufflevector(b0, b2, 4, 5, 12, 13, 6, 7, 14, 15);
  const Pixels8 c2 = __builtin_shufflevector(b1, b3, 0, 1, 8, 9, 2, 3, 10, 11);
  const Pixels8 c3 = __builtin_shufflevector(b1, b3, 4, 5, 12, 13, 6, 7, 14, 15);
  const Pixels8 c4 = __builtin_shufflevector(b4, b6, 0, 1, 8, 9, 2, 3, 10, 11);
  const Pixels8 c5 = __builtin_shufflevector(b4, b6, 4, 5, 12, 13, 6, 7, 14, 15);
  const Pixels8 c6 = __builtin_shufflevector(b5, b7, 0, 1, 8, 9, 2, 3, 10, 11);
  const Pixels8 c7 = __builtin_shufflevector(b5, b7, 4, 5, 12, 13, 6, 7, 14, 15);
  m[0] = __builtin_shufflevector(c0, c4, 0, 1, 2, 3, 8, 9, 10, 11);
  m[1] = __builtin_shufflevector(c0, c4, 4, 5, 6, 7, 12, 13, 14, 15);
  m[2] = __builtin_shufflevector(c1, c5, 0, 1, 2, 3, 8, 9, 10, 11);
  m[3] = __builtin_shufflevector(c1, c5, 4, 5, 6, 7, 12, 13, 14, 15);
  m[4] = __builtin_shufflevector(c2, c6, 0, 1, 2, 3, 8, 9, 10, 11);
  m[5] = __builtin_shufflevector(c2, c6, 4, 5, 6, 7, 12, 13, 14, 15);
  m[6] = __builtin_shufflevector(c3, c7, 0, 1, 2, 3, 8, 9, 10, 11);
  m[7] = __builtin_shufflevector(c3, c7, 4, 5, 6, 7, 12, 13, 14, 15);
}

// True when no two screen pixels share an address: then the order in which
// pixels are stored cannot change what the display ends up holding. With
// one pitch more than the whole span of the other, a step along it can never
// be undone by steps along the other.
bool EveryPixelHasItsOwnAddress(ptrdiff_t p, ptrdiff_t r) {
  const ptrdiff_t ap = p < 0 ? -p : p;
  const ptrdiff_t ar = r < 0 ? -r : r;
  return ap != 0 && ar != 0 && (ap > (ScreenHeight - 1) * ar || ar > (ScreenWidth - 1) * ap);
}

// A sideways panel keeps each screen column as one run of adjacent pixels
// (r is +2 or -2): eight columns are turned at a time and each lands with a
// single store per eight pixels.
void CopyColumns(uint8_t* s, ptrdiff_t p, ptrdiff_t r) {
  // When the column runs down in memory its last pixel comes first: the
  // block's rows are taken bottom up, so that each turned column already
  // runs that way.
  const bool down = r < 0;
  for (int32_t x0 = 0; x0 < ScreenWidth; x0 += 8) {
    for (int32_t y0 = 0; y0 < ScreenHeight; y0 += 8) {
      Pixels8 m[8];
#pragma GCC unroll 8
      for (int32_t i = 0; i < 8; ++i) {
        m[i] = LoadPixels(BackBuffer + (y0 + (down ? 7 - i : i)) * ScreenWidth + x0);
      }
      Transpose(m);
      uint8_t* at = s + x0 * p + (down ? y0 + 7 : y0) * r;
#pragma GCC unroll 8
      for (int32_t k = 0; k < 8; ++k) std::memcpy(at + k * p, &m[k], sizeof m[k]);
    }
  }
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
    // A row is 30 moves of 16 bytes, done in place rather than through 320
    // calls to the library's copy.
    for (int32_t y = 0; y < ScreenHeight; ++y) {
      uint8_t* to = display + static_cast<ptrdiff_t>(y) * rowPitch;
      const uint16_t* from = BackBuffer + y * ScreenWidth;
#pragma GCC unroll 30
      for (int32_t x = 0; x < ScreenWidth; x += 8) {
        const Pixels8 eight = LoadPixels(from + x);
        std::memcpy(to + 2 * x, &eight, sizeof eight);
      }
    }
    return;
  }
  // Panels mounted sideways: when rows run backwards in memory the walk starts
  // one 320-pixel line (640 bytes) past the address the display hands out,
  // which is where such panels expect the frame. Odd pitches are rounded down
  // to whole 16-bit steps.
  uint8_t* s = display + (rowPitch < 0 ? 640 : 0);
  const ptrdiff_t p = static_cast<ptrdiff_t>(pixelPitch >> 1) * 2;
  const ptrdiff_t r = static_cast<ptrdiff_t>(rowPitch >> 1) * 2;
  if ((r == 2 || r == -2) && EveryPixelHasItsOwnAddress(p, r)) {
    CopyColumns(s, p, r);
    return;
  }
  // Any other layout, overlapping ones included: rows top to bottom, pixels
  // left to right, so the last pixel stored at an address is the one shown.
  for (int32_t y = 0; y < ScreenHeight; ++y) {
    for (int32_t x = 0; x < ScreenWidth; ++x) {
      StorePixel(s + (y * r + x * p), BackBuffer[y * ScreenWidth + x]);
    }
  }
}

// R (0..31) + G (0..63) + B (0..31) over 8: white lands exactly on 15.
Pixels8 Grey16Levels(Pixels8 pixels) {
  return ((pixels >> 11) + ((pixels >> 5) & 0x3F) + (pixels & 0x1F)) >> 3;
}

void CopyGrey4(uint8_t* display) {
  // The panel stores each screen column as one 160-byte line, bottom pixel
  // first, two pixels a byte with the lower one in the high nibble. Blocks
  // of eight columns by eight such bytes (sixteen rows) are built a row pair
  // at a time and turned, so that each line gets eight bytes in one store.
  for (int32_t x0 = 0; x0 < ScreenWidth; x0 += 8) {
    for (int32_t j0 = 0; j0 < 160; j0 += 8) {
      Pixels8 m[8];
      for (int32_t k = 0; k < 8; ++k) {
        const int32_t lower = ScreenHeight - 1 - 2 * (j0 + k);
        m[k] = Grey16Levels(LoadPixels(BackBuffer + lower * ScreenWidth + x0)) << 4 |
               Grey16Levels(LoadPixels(BackBuffer + (lower - 1) * ScreenWidth + x0));
      }
      Transpose(m);
      for (int32_t i = 0; i < 8; ++i) {
        const Bytes8 bytes = __builtin_convertvector(m[i], Bytes8);
        std::memcpy(display + (x0 + i) * 160 + j0, &bytes, sizeof bytes);
      }
    }
  }
}

// The 2-bit levels of sixteen pixels, one a byte, in order.
Bytes16 Grey2Levels(const uint16_t* sixteen) {
  return __builtin_shufflevector(reinterpret_cast<Bytes16>(LoadPixels(sixteen) >> 14),
                                 reinterpret_cast<Bytes16>(LoadPixels(sixteen + 8) >> 14), 0, 2, 4,
                                 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
}

// Thirty-two pixels as the eight bytes of four levels each, first pixel in
// the top bits. Levels side by side in a wider lane are folded together:
// pairs into four bits, then pairs of pairs into a byte.
Bytes8 Grey2Bytes(const uint16_t* pixels, bool onlySixteen) {
  const Bytes16 first = Grey2Levels(pixels);
  const Bytes16 second = onlySixteen ? Bytes16{} : Grey2Levels(pixels + 16);
  Pixels8 pairsA = reinterpret_cast<Pixels8>(first);
  Pixels8 pairsB = reinterpret_cast<Pixels8>(second);
  pairsA = (pairsA << 2 | pairsA >> 8) & 0xF;
  pairsB = (pairsB << 2 | pairsB >> 8) & 0xF;
  Words4 quadsA = reinterpret_cast<Words4>(pairsA);
  Words4 quadsB = reinterpret_cast<Words4>(pairsB);
  quadsA = (quadsA << 4 | quadsA >> 16) & 0xFF;
  quadsB = (quadsB << 4 | quadsB >> 16) & 0xFF;
  const Pixels8 bytes =
      __builtin_shufflevector(reinterpret_cast<Pixels8>(quadsA), reinterpret_cast<Pixels8>(quadsB),
                              0, 2, 4, 6, 8, 10, 12, 14);
  return __builtin_convertvector(bytes, Bytes8);
}

void CopyGrey2(uint8_t* display) {
  // Four levels from the top two bits of red alone; a row is 60 bytes, built
  // 16 pixels to a 32-bit word, stored here two words at a time.
  const ptrdiff_t rowStep = 60 + 4 * (static_cast<ptrdiff_t>(DisplayFormat.RowPitch - 60) >> 2);
  uint8_t* row = display;
  for (int32_t y = 0; y < ScreenHeight; ++y) {
    const uint16_t* source = BackBuffer + y * ScreenWidth;
    for (int32_t x = 0; x < ScreenWidth; x += 32) {
      const bool last = x + 32 > ScreenWidth;  // 240 pixels: the last word stands alone
      const Bytes8 bytes = Grey2Bytes(source + x, last);
      std::memcpy(row + x / 4, &bytes, last ? 4 : 8);
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
  // No display memory this frame: skip the copy and its end call. The frame
  // is still presented as far as the loop is concerned, so messages and taps
  // keep flowing until the display comes back.
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
