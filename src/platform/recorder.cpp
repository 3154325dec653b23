// Recording a run as a script.
//
// A script's commands run between frames and reach the game in the next
// frame's message pump, so input the game took during frame k (k frames had
// ended) is written after waits adding up to k frames. Replayed headless
// with the recorded tick start, the game deals the same board (its seed is
// the first tick it reads) and takes every tap in the same frame. The clock
// is the one thing that differs: a headless frame lasts exactly 30 ms, a
// real one a little more, so the seconds shown can differ by a second on a
// long game.
#include "platform/recorder.h"

#include <cstdio>

#include "platform/host.h"
#include "platform/messages.h"

namespace host::detail {
namespace {

struct Recording {
  std::FILE* File = nullptr;
  bool Headed = false;
  uint64_t Frames = 0;  // frames accounted for by the waits written so far
};

Recording& State() {
  static Recording recording;
  return recording;
}

// Writes the frames that ran since the last line.
void CatchUp() {
  Recording& state = State();
  const uint64_t now = FramesRun();
  if (now > state.Frames) {
    std::fprintf(state.File, "wait %llu\n", static_cast<unsigned long long>(now - state.Frames));
    state.Frames = now;
  }
}

}  // namespace

bool StartRecording(const std::string& path, std::string* error) {
  StopRecording();
  Recording& state = State();
  state = Recording{};
  state.File = std::fopen(path.c_str(), "w");
  if (state.File == nullptr) {
    *error = "cannot write the recording " + path;
    return false;
  }
  return true;
}

void NoteTickRead(uint32_t ticks) {
  Recording& state = State();
  if (state.File == nullptr || state.Headed) return;
  state.Headed = true;
  std::fprintf(state.File, "# tick-start %u\n", ticks);
  // Written at once, so that whoever drives the run can read the seed.
  std::fflush(state.File);
}

void NoteDispatched(const PlatformMessage& message) {
  Recording& state = State();
  if (state.File == nullptr || message.Window == nullptr || message.Window != GameWindow()) return;
  const auto x = static_cast<unsigned>(message.Second & 0xFFFF);
  const auto y = static_cast<unsigned>(static_cast<uintptr_t>(message.Second) >> 16 & 0xFFFF);
  const char* verb = message.Message == MessageStylusDown   ? "down"
                     : message.Message == MessageStylusMove ? "move"
                     : message.Message == MessageStylusUp   ? "up"
                                                            : nullptr;
  if (verb != nullptr) {
    CatchUp();
    std::fprintf(state.File, "%s %u %u\n", verb, x, y);
  } else if (message.Message == MessageActivate && (message.First & 0xFFFF) <= ActivateByStylus) {
    CatchUp();
    std::fprintf(state.File, "activate %u\n", static_cast<unsigned>(message.First & 0xFFFF));
  } else if (message.Message == MessageDestroy) {
    CatchUp();
    std::fputs("quit\n", state.File);
  }
}

void StopRecording() {
  Recording& state = State();
  if (state.File == nullptr) return;
  CatchUp();
  std::fclose(state.File);
  state = Recording{};
}

}  // namespace host::detail
