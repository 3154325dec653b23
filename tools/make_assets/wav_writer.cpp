#include "make_assets/wav_writer.h"

namespace assets {

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, int sampleRate) {
  std::vector<uint8_t> out;
  out.reserve(44 + samples.size() * 2);
  auto tag = [&out](const char* t) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(t[i]));
  };
  auto u32 = [&out](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto u16 = [&out](uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  };
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  tag("RIFF");
  u32(36 + dataBytes);
  tag("WAVE");
  tag("fmt ");
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(static_cast<uint32_t>(sampleRate));
  u32(static_cast<uint32_t>(sampleRate) * 2);  // bytes per second
  u16(2);                                      // bytes per frame
  u16(16);                                     // bits per sample
  tag("data");
  u32(dataBytes);
  for (int16_t s : samples) u16(static_cast<uint16_t>(s));
  return out;
}

}  // namespace assets
