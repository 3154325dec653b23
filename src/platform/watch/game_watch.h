// What the program learns from the game's own state between frames: the
// records it started from, for the recording's header, and every board
// cleared, for a replay's report. The programs' mains install it; the game
// knows nothing of it.
#pragma once

#include <string>
#include <vector>

namespace host {

// Makes the watch the run's frame observer (after Start).
void WatchGame();
// One line for each board cleared so far in this run, in order:
// "cleared 4 x 6: 42 s, 23 moves, new record" (or "no record").
const std::vector<std::string>& ClearedBoards();

}  // namespace host
