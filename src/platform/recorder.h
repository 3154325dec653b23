// --record FILE: the game as it is played, written as a script that a
// headless run replays frame by frame.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace host::detail {

// Opens the recording at the start of a run; false, with the reason, when
// the file cannot be made.
bool StartRecording(const std::string& path, std::string* error);
// The tick counter was read. The first read is the game's random seed: it
// heads the recording as "# tick-start N".
void NoteTickRead(uint32_t ticks);
// A message was dispatched to the game's window: input is written down, with
// the frames that ran since the one before.
void NoteDispatched(const PlatformMessage& message);
// Ends the recording with the frames that ran since the last input.
void StopRecording();

}  // namespace host::detail
