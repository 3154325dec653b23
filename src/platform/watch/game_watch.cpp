#include "platform/watch/game_watch.h"

#include <array>
#include <cstdint>

#include "game/board.h"
#include "game/records.h"
#include "platform/host.h"
#include "platform/recorder.h"

namespace host {
namespace {

struct Watch {
  bool Started = false;
  uint8_t LastState = Playing;
  std::vector<std::string> Cleared;
};

Watch& State() {
  static Watch watch;
  return watch;
}

void Look() {
  Watch& watch = State();
  if (!watch.Started) {
    // The game loaded its records before its first frame.
    watch.Started = true;
    std::array<uint32_t, 12> values{};
    for (int32_t b = 0; b < BoardSizes; ++b) {
      values[static_cast<size_t>(b)] = BestSeconds[b];
      values[static_cast<size_t>(b + BoardSizes)] = static_cast<uint32_t>(BestMoves[b]);
    }
    detail::NoteStartingRecords(values);
  }
  // A board is cleared in the frame its last pair vanishes; the clock and
  // the counter stop then, and the records are checked at once.
  if (watch.LastState == Playing && Board.GameState != Playing) {
    watch.Cleared.push_back(
        "cleared " + std::to_string(Board.Columns) + " x " + std::to_string(Board.Rows) + ": " +
        std::to_string(Board.ElapsedMs / 1000u) + " s, " + std::to_string(Board.Moves) +
        " moves, " + (Board.GameState == NewRecord ? "new record" : "no record"));
  }
  watch.LastState = Board.GameState;
}

}  // namespace

void WatchGame() {
  State() = Watch{};
  SetFrameObserver(Look);
}

const std::vector<std::string>& ClearedBoards() { return State().Cleared; }

}  // namespace host
