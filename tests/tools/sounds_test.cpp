// The effects as the platform plays them: valid 16-bit PCM, short, not
// clipped, similar in level, and quiet at both ends so nothing pops.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "tools/asset_files.h"

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

TEST(Sounds, FiveShortLevelPcmEffects) {
  double quietest = 1e9, loudest = 0;
  for (const char* name : {"new.wav", "select.wav", "click.wav", "fade.wav", "startup.wav"}) {
    SCOPED_TRACE(name);
    const auto b = asset_test::ReadBytes(asset_test::BuiltFolder() / "Sound" / name);
    ASSERT_GT(b.size(), 44u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(U32(b, 4), b.size() - 8);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(U32(b, 16), 16u);
    EXPECT_EQ(U16(b, 20), 1);  // PCM
    EXPECT_EQ(U16(b, 22), 1);  // mono
    const uint32_t rate = U32(b, 24);
    EXPECT_TRUE(rate == 22050 || rate == 44100);
    EXPECT_EQ(U32(b, 28), rate * 2);
    EXPECT_EQ(U16(b, 32), 2);
    EXPECT_EQ(U16(b, 34), 16);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    const uint32_t data = U32(b, 40);
    ASSERT_EQ(data, b.size() - 44);
    const size_t count = data / 2;
    EXPECT_LE(static_cast<double>(count) / rate, 1.5);
    EXPECT_GE(static_cast<double>(count) / rate, 0.03);
    int peak = 0;
    for (size_t i = 0; i < count; ++i)
      peak = std::max(peak, std::abs(static_cast<int16_t>(U16(b, 44 + 2 * i))));
    EXPECT_LT(peak, 32767);
    quietest = std::min(quietest, static_cast<double>(peak));
    loudest = std::max(loudest, static_cast<double>(peak));
    EXPECT_LT(std::abs(static_cast<int16_t>(U16(b, 44))), 300);
    EXPECT_LT(std::abs(static_cast<int16_t>(U16(b, 44 + 2 * (count - 1)))), 300);
  }
  EXPECT_LT(20.0 * std::log10(loudest / quietest), 1.0);  // within 1 dB
}

}  // namespace
