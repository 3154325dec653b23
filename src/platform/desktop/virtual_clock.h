// The tick counter of runs whose time is not the wall clock's: a headless
// run's, and a replay's, whose frames last what the recording says.
#pragma once

#include <algorithm>
#include <cstdint>

namespace host::detail {

class VirtualClock {
 public:
  explicit VirtualClock(uint32_t start) : Ticks_(start), FrameStart_(start) {}

  uint32_t Read() const { return Ticks_; }
  void Set(uint32_t ticks) { Ticks_ = FrameStart_ = ticks; }
  void BeginFrame(uint32_t length) {
    FrameStart_ = Ticks_;
    Length_ = length;
  }
  // Exactly the time asked for; in a frame given a length, at least up to
  // its end. The game's pause sleeps what is left of its 30 ms, so a frame
  // of 30 ms or more lasts its length to the millisecond. Unsigned
  // arithmetic: right across the counter's wrap.
  void Sleep(uint32_t milliseconds) {
    const uint64_t since = static_cast<uint32_t>(Ticks_ - FrameStart_);
    Ticks_ = FrameStart_ + static_cast<uint32_t>(std::max<uint64_t>(since + milliseconds, Length_));
  }
  // Milliseconds since the frame began.
  uint32_t FrameTime() const { return Ticks_ - FrameStart_; }

 private:
  uint32_t Ticks_;
  uint32_t FrameStart_;
  uint32_t Length_ = 0;
};

}  // namespace host::detail
