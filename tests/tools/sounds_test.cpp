// The effects as the platform plays them: valid 16-bit PCM, short, not
// clipped, similar in level, and quiet at both ends so nothing pops.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "tools/asset_files.h"

namespace {

TEST(Sounds, FiveShortLevelPcmEffects) {
  double quietest = 1e9, loudest = 0;
  for (const char* name : {"new.wav", "select.wav", "click.wav", "fade.wav", "startup.wav"}) {
    SCOPED_TRACE(name);
    const auto b = asset_test::ReadBytes(asset_test::BuiltFolder() / "Sound" / name);
    ASSERT_GT(b.size(), 44u);
    const auto at = [&](size_t i, int bytes) {
      uint32_t v = 0;
      for (int k = bytes - 1; k >= 0; --k) v = v << 8 | b[i + static_cast<size_t>(k)];
      return v;
    };
    const uint32_t size = static_cast<uint32_t>(b.size()), rate = at(24, 4), data = at(40, 4);
    const uint32_t count = data / 2;
    EXPECT_TRUE(rate == 22050 || rate == 44100);
    // RIFF and its size, a 16-byte format block of mono 16-bit PCM (format
    // 1, 1 channel, rate, bytes a second, 2 bytes a frame, 16 bits), data.
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4) + std::string(b.begin() + 8, b.begin() + 16) +
                  std::string(b.begin() + 36, b.begin() + 40),
              "RIFFWAVEfmt data");
    ASSERT_EQ((std::vector{at(4, 4), at(16, 4), at(20, 2), at(22, 2), at(28, 4), at(32, 2),
                           at(34, 2), data}),
              (std::vector<uint32_t>{size - 8, 16, 1, 1, rate * 2, 2, 16, size - 44}));
    EXPECT_LE(static_cast<double>(count) / rate, 1.5);
    EXPECT_GE(static_cast<double>(count) / rate, 0.03);
    const auto sample = [&](uint32_t i) {
      return std::abs(static_cast<int16_t>(at(44 + 2 * i, 2)));
    };
    int peak = 0;
    for (uint32_t i = 0; i < count; ++i) peak = std::max(peak, sample(i));
    EXPECT_LT(peak, 32767);
    quietest = std::min(quietest, static_cast<double>(peak));
    loudest = std::max(loudest, static_cast<double>(peak));
    EXPECT_LT(sample(0), 300);
    EXPECT_LT(sample(count - 1), 300);
  }
  EXPECT_LT(20.0 * std::log10(loudest / quietest), 1.0);  // within 1 dB
}

}  // namespace
