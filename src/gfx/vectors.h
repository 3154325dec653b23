// Sixteen bytes seen as eight pixels, four words or sixteen bytes, for the
// loops that touch every pixel of a frame. GCC and Clang turn these into the
// processor's vector instructions (or plain code where it has none) with the
// same results as working a pixel at a time. Looking at one lane through
// another's width assumes a little-endian machine, as every machine the game
// runs on is.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

static_assert(std::endian::native == std::endian::little);

using Pixels8 = uint16_t __attribute__((vector_size(16)));
using Words4 = uint32_t __attribute__((vector_size(16)));
using Bytes16 = uint8_t __attribute__((vector_size(16)));
using Bytes8 = uint8_t __attribute__((vector_size(8)));

inline Pixels8 LoadPixels(const uint16_t* at) {
  Pixels8 v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

inline void StorePixels(uint16_t* at, Pixels8 v) { std::memcpy(at, &v, sizeof v); }

// True when any lane is not zero.
inline bool AnyLaneSet(Pixels8 v) {
  uint64_t halves[2];
  std::memcpy(halves, &v, sizeof halves);
  return (halves[0] | halves[1]) != 0;
}
