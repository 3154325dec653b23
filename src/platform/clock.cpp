// The tick counter. Both backends give a 32-bit millisecond count that wraps
// to 0 after 2^32 ms (49.7 days), as the handheld's did; the game's frame
// pause and play clock subtract in 32 bits, so they survive the wrap, and a
// run can start just below it (--tick-start) to prove that.
#include "platform/backend.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/recorder.h"

uint32_t ReadTickCounter() {
  const uint32_t ticks = host::detail::CurrentBackend().ReadTicks();
  host::detail::NoteTickRead(ticks);
  return ticks;
}

void SleepMilliseconds(uint32_t milliseconds) {
  host::detail::CurrentBackend().Sleep(milliseconds);
}

namespace host {

void SetTickCounter(uint32_t ticks) { detail::CurrentBackend().SetTicks(ticks); }

}  // namespace host
