#include "make_assets/sounds.h"

#include <algorithm>
#include <cmath>

#include "make_assets/canvas.h"

namespace assets {
namespace {

using Buffer = std::vector<double>;

Buffer Silence(double seconds) { return Buffer(static_cast<size_t>(seconds * SampleRate), 0.0); }

// Adds a decaying tone with a few partials (ratio, weight) starting at start.
void AddTone(Buffer& out, double start, double frequency, double amplitude, double decaySeconds,
             std::initializer_list<std::pair<double, double>> partials) {
  const size_t first = static_cast<size_t>(start * SampleRate);
  // One minus a tiny step is exp(-step) to within 1e-9 and needs no libm.
  const double decay = 1.0 - 1.0 / (decaySeconds * SampleRate);
  const double attack = 0.004 * SampleRate;
  double level = amplitude;
  for (size_t i = first; i < out.size(); ++i) {
    const double t = static_cast<double>(i - first) / SampleRate;
    double v = 0;
    for (auto [ratio, weight] : partials) v += weight * Sine(2.0 * Pi * frequency * ratio * t);
    const double rise = std::min(1.0, static_cast<double>(i - first) / attack);
    out[i] += v * level * rise;
    level *= decay;
  }
}

// Peak to -3 dBFS, short fades at both ends, then 16-bit samples.
std::vector<int16_t> Finish(Buffer buffer, double fadeInSeconds, double fadeOutSeconds) {
  const size_t in = static_cast<size_t>(fadeInSeconds * SampleRate);
  const size_t out = static_cast<size_t>(fadeOutSeconds * SampleRate);
  for (size_t i = 0; i < in && i < buffer.size(); ++i) buffer[i] *= static_cast<double>(i) / in;
  for (size_t i = 0; i < out && i < buffer.size(); ++i)
    buffer[buffer.size() - 1 - i] *= static_cast<double>(i) / out;
  double peak = 0;
  for (double v : buffer) peak = std::max(peak, std::fabs(v));
  const double gain = peak > 0 ? 0.7079 * 32767.0 / peak : 0.0;
  std::vector<int16_t> samples;
  samples.reserve(buffer.size());
  for (double v : buffer) samples.push_back(static_cast<int16_t>(std::lround(v * gain)));
  return samples;
}

}  // namespace

std::vector<int16_t> MakePageTurn() {
  // Noise through a band that sweeps up and back down: a page brushing
  // past, with a small flick where it lands.
  Buffer out = Silence(0.42);
  Random random(0x9A6Eu);
  double low = 0, slow = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / out.size();
    const double noise = random.Unit() * 2.0 - 1.0;
    const double sweep = 0.04 + 0.34 * (t < 0.45 ? t / 0.45 : (1.0 - t) / 0.55);
    low += sweep * (noise - low);
    slow += 0.015 * (low - slow);
    const double envelope = t < 0.3 ? t / 0.3 : (1.0 - (t - 0.3) / 0.7) * (1.0 - (t - 0.3) / 0.7);
    double v = (low - slow) * envelope;
    if (t > 0.62 && t < 0.68) v += 0.5 * (low - slow) * (1.0 - (t - 0.62) / 0.06);
    out[i] = v;
  }
  return Finish(std::move(out), 0.003, 0.02);
}

std::vector<int16_t> MakeBlip() {
  Buffer out = Silence(0.13);
  AddTone(out, 0.0, 660.0, 1.0, 0.03, {{1.0, 1.0}, {2.0, 0.25}});
  AddTone(out, 0.045, 990.0, 1.0, 0.035, {{1.0, 1.0}, {2.0, 0.2}});
  return Finish(std::move(out), 0.002, 0.015);
}

std::vector<int16_t> MakeClick() {
  // A soft tap: a short woody knock rather than a sharp tick.
  Buffer out = Silence(0.06);
  AddTone(out, 0.0, 1250.0, 0.6, 0.006, {{1.0, 1.0}, {2.7, 0.3}});
  AddTone(out, 0.0, 190.0, 1.0, 0.012, {{1.0, 1.0}});
  return Finish(std::move(out), 0.001, 0.01);
}

std::vector<int16_t> MakeShimmer() {
  // High bell notes entering one after another and fading out together,
  // with a gentle tremolo: the found pair dissolving.
  Buffer out = Silence(0.95);
  const double notes[] = {1318.5, 1568.0, 1975.5, 2637.0, 2093.0};
  for (int k = 0; k < 5; ++k)
    AddTone(out, 0.055 * k, notes[k], 0.8, 0.22, {{1.0, 1.0}, {2.0, 0.15}});
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / SampleRate;
    out[i] *= 0.8 + 0.2 * Sine(2.0 * Pi * 9.0 * t);
  }
  return Finish(std::move(out), 0.003, 0.1);
}

std::vector<int16_t> MakeChime() {
  // A rising arpeggio of bell tones, the last one held.
  Buffer out = Silence(1.35);
  const double notes[] = {523.25, 659.26, 783.99, 1046.5};
  for (int k = 0; k < 4; ++k)
    AddTone(out, 0.12 * k, notes[k], k == 3 ? 1.0 : 0.8, k == 3 ? 0.4 : 0.28,
            {{1.0, 1.0}, {2.0, 0.3}, {2.76, 0.12}, {5.4, 0.04}});
  return Finish(std::move(out), 0.003, 0.15);
}

}  // namespace assets
