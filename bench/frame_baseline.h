// Frame costs as multiples of the cheapest frame there can be: one memcpy of
// the 153,600-byte back buffer, timed in the same run on the same machine,
// so the figures mean the same on a fast and a slow machine. Both are
// measured in the thread's own processor time, so other programs running at
// the same moment change them little.
#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "gfx/back_buffer.h"

inline double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds for one copy of a frame: the fastest of many batches, with both
// frames warm in the cache as the game's are.
inline double MemcpyFrameSeconds() {
  static const double seconds = [] {
    std::vector<uint8_t> from(BackBufferBytes, 0x5A), to(BackBufferBytes);
    double best = 1.0;
    for (int batch = 0; batch < 50; ++batch) {
      const double start = ThreadSeconds();
      for (int copy = 0; copy < 100; ++copy) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
        from[static_cast<size_t>(copy)] ^= 1;
      }
      best = std::min(best, (ThreadSeconds() - start) / 100);
    }
    return best;
  }();
  return seconds;
}

// Times the benchmark's loop and adds the counter "x_memcpy": one
// iteration's time over one frame copy's. Use as
//   for (auto _ : AgainstMemcpy(state)) { ... }
class AgainstMemcpy {
 public:
  explicit AgainstMemcpy(benchmark::State& state) : state_(state) { MemcpyFrameSeconds(); }
  ~AgainstMemcpy() {
    const double perIteration =
        (ThreadSeconds() - start_) / static_cast<double>(std::max<int64_t>(state_.iterations(), 1));
    state_.counters["x_memcpy"] = perIteration / MemcpyFrameSeconds();
  }
  AgainstMemcpy(const AgainstMemcpy&) = delete;
  AgainstMemcpy& operator=(const AgainstMemcpy&) = delete;
  benchmark::State::StateIterator begin() {
    start_ = ThreadSeconds();
    return state_.begin();
  }
  benchmark::State::StateIterator end() { return state_.end(); }

 private:
  benchmark::State& state_;
  double start_ = 0;
};
