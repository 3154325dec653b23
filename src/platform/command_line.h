// The desktop program's command line.
#pragma once

#include <string>
#include <vector>

#include "platform/host.h"

namespace host {

enum class CommandLineAction {
  Run,      // start the game with Options
  Help,     // print UsageText on standard output, exit 0
  Version,  // print VersionText, exit 0
  Error,    // print Error and UsageText on standard error, exit 2
};

struct CommandLine {
  CommandLineAction Action = CommandLineAction::Run;
  Options Settings;
  std::string Error;  // one line, for Error
};

// Reads the arguments after the program name. Every option may also be
// written --name=value.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
std::string UsageText();
// "quillmoth " and the version.
std::string VersionText();

}  // namespace host
