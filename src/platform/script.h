// Scripted runs: input, waits and shots read from a file or standard input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host.h"

namespace host::detail {

enum class ScriptVerb { None, Tap, Down, Move, Up, Key, Activate, Wait, Shot, Quit };

struct ScriptCommand {
  ScriptVerb Verb = ScriptVerb::None;  // None: a blank line or a comment
  uint32_t First = 0;                  // x, key code, activation or frames
  uint32_t Second = 0;                 // y
  std::string Path;                    // shot
  int Line = 0;
};

// One line. False, with the reason in *error, when it is malformed.
bool ParseScriptLine(std::string_view text, int line, ScriptCommand* command, std::string* error);
// A whole script. The error names the line: "script:LINE: reason".
bool ParseScript(std::string_view text, std::vector<ScriptCommand>* commands, std::string* error);

// At start-up: reads and checks a script file or text (standard input is
// read as the run goes). Malformed: false, and the run's exit code is 2.
bool LoadScript(const Options& options, std::string* error);
// The game window exists: runs the commands up to the first wait.
void BeginScript();
void ResetScript();

}  // namespace host::detail
