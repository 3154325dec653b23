// The desktop program: the command line, the host around the game, and the
// game's own entry.
#include <cstdio>
#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/command_line.h"
#include "platform/desktop/player_faces.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/watch/game_watch.h"

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
  const host::Options& settings = line.Settings;
  std::string error;
  if (!host::Start(settings, &error)) {
    // A malformed script line already names itself as "script:LINE: ...",
    // and a file that is no recording as "FILE:LINE: ..." or "FILE: ...".
    const std::string& replay = settings.ReplayPath;
    if (error.starts_with("script:") || (!replay.empty() && error.starts_with(replay + ":"))) {
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
  if (!settings.PicturesFolder.empty()) host::UsePlayerPictures(settings.PicturesFolder);
  host::WatchGame();
  const int code = ProgramEntry(GetProgramInstance(), nullptr, "", ShowNormal);
  int hostCode = host::ExitCode();
  if (host::HandedOver() && (!settings.ScriptPath.empty() || !settings.RecordPath.empty())) {
    // The running copy was only brought to the front: whoever asked for a
    // script or a recording must not take the silence for success.
    std::fprintf(stderr, "quillmoth: a copy of the game is already running and keeps playing; %s\n",
                 settings.RecordPath.empty() ? "this one ran no script" : "nothing was recorded");
    hostCode = hostCode != 0 ? hostCode : 1;
  }
  if (!settings.ReplayPath.empty()) {
    for (const std::string& board : host::ClearedBoards()) std::printf("%s\n", board.c_str());
    std::fflush(stdout);
    host::HoldLastFrame();
  }
  host::Stop();
  return hostCode != 0 ? hostCode : code;
}
