// --replay FILE: a recording played back where it cannot touch the
// player's own records (desktop/replay.cpp). The page only makes recordings
// (web/web_services.cpp).
#pragma once

#include <string>

#include "platform/host.h"

namespace host::detail {

// Checks that the loaded script is a recording (its header gives the tick
// start and the records) and makes the folder the replay plays in: the
// recorded records as its "quill.dat", and the program's own pictures and
// sounds. Points the run's program path there. False, with the reason
// ("FILE: ..."), when the file is no recording or the folder cannot be made.
bool PrepareReplay(Options* settings, std::string* error);
// Removes that folder, when there is one.
void RemoveReplayFolder();

}  // namespace host::detail
