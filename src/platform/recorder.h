// --record FILE: the game as it is played, written as a script that a
// headless run or --replay plays back frame by frame.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace host::detail {

// At start: refuses (false, with the reason) a path where something other
// than a plain file lies: a pipe would block the start, a device or a
// folder cannot keep a recording. Opens nothing.
bool CheckRecordingTarget(const std::string& path, std::string* error);
// The game's window exists, so this copy plays: the recording named by the
// run's options is made now. A recording that cannot be written is said
// once on standard error, the game goes on, and the run's exit code is 1.
void OpenRecording();
// The tick counter was read. The first read is the game's random seed: it
// heads the recording as "# tick-start N".
void NoteTickRead(uint32_t ticks);
// The records the game loaded, the twelve values of the records file; they
// head the recording as "# records ...".
void NoteStartingRecords(const std::array<uint32_t, 12>& values);
// A message was dispatched to the game's window: input is written down, with
// the frames that ran since the one before.
void NoteDispatched(const PlatformMessage& message);
// A frame ended: how far the clock moved in it is noted, and everything
// noted so far reaches the file.
void NoteFrameEnded();
// Ends the recording with the frames that ran since the last input.
void StopRecording();

}  // namespace host::detail
