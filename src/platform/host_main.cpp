// The desktop program: the command line, the host around the game, and the
// game's own entry.
#include <cstdio>
#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/command_line.h"
#include "platform/host.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const host::CommandLine line = host::ParseCommandLine(arguments);
  switch (line.Action) {
    case host::CommandLineAction::Help:
      std::fputs(host::UsageText().c_str(), stdout);
      return 0;
    case host::CommandLineAction::Version:
      std::printf("%s\n", host::VersionText().c_str());
      return 0;
    case host::CommandLineAction::Error:
      std::fprintf(stderr, "quillmoth: %s\n%s", line.Error.c_str(), host::UsageText().c_str());
      return 2;
    case host::CommandLineAction::Run:
      break;
  }
  std::string error;
  if (!host::Start(line.Settings, &error)) {
    // A malformed script line already names itself as "script:LINE: ...".
    if (error.starts_with("script:")) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return host::ExitCode();
    }
    // A script that cannot be read is bad usage like any other; a desktop
    // that cannot open a window is not.
    std::fprintf(stderr, "quillmoth: %s\n", error.c_str());
    if (host::ExitCode() == 2) {
      std::fputs(host::UsageText().c_str(), stderr);
      return 2;
    }
    return 1;
  }
  host::ReportMissingData();
  const int code = ProgramEntry(GetProgramInstance(), nullptr, "", ShowNormal);
  const int hostCode = host::ExitCode();
  host::Stop();
  return hostCode != 0 ? hostCode : code;
}
