// The five sound effects, synthesised: short, mono, 16-bit, peak-normalised
// to the same level and faded at both ends so that nothing clicks.
#pragma once

#include <cstdint>
#include <vector>

namespace assets {

constexpr int SampleRate = 22050;

std::vector<int16_t> MakePageTurn();  // new.wav
std::vector<int16_t> MakeBlip();      // select.wav
std::vector<int16_t> MakeClick();     // click.wav
std::vector<int16_t> MakeShimmer();   // fade.wav
std::vector<int16_t> MakeChime();     // startup.wav

}  // namespace assets
