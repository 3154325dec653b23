#include "game/random.h"

// PCG32 (permuted congruential generator, XSH-RR output). Small, fast on a
// 32-bit processor with a 64-bit multiply, and its low bits are as good as
// its high ones, which matters because every deal takes the draws modulo 40
// or modulo the tile count.
namespace {

constexpr uint64_t Multiplier = 6364136223846793005ull;
// Any odd increment selects one of the generator's streams; the game uses one.
constexpr uint64_t Increment = 1442695040888963407ull;

uint64_t RandomState = 0x853C49E6748FEA9Bull;

uint32_t NextWord() {
  uint64_t old = RandomState;
  RandomState = old * Multiplier + Increment;
  uint32_t shifted = static_cast<uint32_t>(((old >> 18) ^ old) >> 27);
  uint32_t rotation = static_cast<uint32_t>(old >> 59);
  return (shifted >> rotation) | (shifted << ((32u - rotation) & 31u));
}

}  // namespace

void SeedRandom(uint32_t seed) {
  RandomState = 0;
  NextWord();
  RandomState += seed;
  NextWord();
}

int32_t NextRandom() {
  // Callers reduce the value with %, so it must never be negative.
  return static_cast<int32_t>(NextWord() >> 1);
}
