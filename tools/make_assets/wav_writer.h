// Canonical 44-byte-header PCM WAV files: mono, 16-bit, little-endian.
#pragma once

#include <cstdint>
#include <vector>

namespace assets {

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, int sampleRate);

}  // namespace assets
