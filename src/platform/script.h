// Scripted runs: input, waits and shots read from a file or standard input.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host.h"

namespace host::detail {

enum class ScriptVerb { None, Tap, Down, Move, Up, Key, Activate, Wait, Shot, Quit };

struct ScriptCommand {
  ScriptVerb Verb = ScriptVerb::None;  // None: a blank line or a comment
  uint32_t First = 0;                  // x, key code, activation or frames
  uint32_t Second = 0;                 // y, or a wait's frame length (0: none given)
  std::string Path;                    // shot
  int Line = 0;
};

// A frame of a script's "wait N MS" cannot be shorter than the game's own
// pause.
constexpr uint32_t ShortestFrameMs = 30;

// What a recording's first lines say about the game it recorded, before
// any command:
//   # tick-start N                 the tick counter's first value (the seed)
//   # records T1 .. T6 M1 .. M6    the records the game loaded: six best
//                                  times (unsigned), six fewest moves (signed)
// Anywhere else, or in other words, a line starting with # is a comment.
struct ScriptHeader {
  std::optional<uint32_t> TickStart;
  // The records file's twelve 32-bit values, in its order.
  std::optional<std::array<uint32_t, 12>> Records;
};

// No command needs a longer line (a shot's path is at most 4,095
// characters); a longer one is refused without being kept.
constexpr size_t LongestScriptLine = 8192;

// Reads one line (without its end) into *line: 1, or 0 at the end of the
// input, or -1, with the reason, for a line over LongestScriptLine.
int ReadScriptLine(std::istream& in, std::string* line, std::string* error);
// Checks every line of a script as it streams past, keeping only its header
// (and, when asked, its commands). The error names the line.
bool CheckScript(std::istream& in, ScriptHeader* header, std::string* error,
                 std::vector<ScriptCommand>* commands = nullptr);

// One line. False, with the reason in *error, when it is malformed.
bool ParseScriptLine(std::string_view text, int line, ScriptCommand* command, std::string* error);
// One comment line before the first command: fills in what it gives.
// False, with the reason, when it is a header line that is malformed.
bool ParseHeaderLine(std::string_view text, ScriptHeader* header, std::string* error);
// A whole script, and its header when asked for. The error names the line:
// "script:LINE: reason".
bool ParseScript(std::string_view text, std::vector<ScriptCommand>* commands, std::string* error,
                 ScriptHeader* header = nullptr);
// The header of the script a run was started with (what LoadScript read).
const ScriptHeader& LoadedScriptHeader();

// At start-up: reads and checks a script file or text (standard input is
// read as the run goes). Malformed: false, and the run's exit code is 2.
bool LoadScript(const Options& options, std::string* error);
// The game window exists: runs the commands up to the first wait.
void BeginScript();
void ResetScript();

}  // namespace host::detail
