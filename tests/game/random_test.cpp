#include "game/random.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(Random, RepeatsForASeedAndStaysNonNegativeWithEveryResidueReachable) {
  SeedRandom(4242);
  std::array<int32_t, 64> first{};
  for (int32_t& value : first) value = NextRandom();
  SeedRandom(4242);
  for (int32_t value : first) EXPECT_EQ(NextRandom(), value);

  SeedRandom(4243);
  int32_t same = 0;
  for (int32_t value : first) same += NextRandom() == value ? 1 : 0;
  EXPECT_LT(same, 4);

  // Deals take draws modulo 40 and modulo the tile count: none may be out of
  // reach and none may be negative.
  std::array<int32_t, 64> residues{};
  for (int32_t i = 0; i < 20000; ++i) {
    int32_t value = NextRandom();
    ASSERT_GE(value, 0);
    ++residues[value % 64];
  }
  for (int32_t count : residues) EXPECT_GT(count, 200);
}

}  // namespace
