// Starting and stopping the desktop host, and the exit code of a run.
#include "platform/host.h"

#include <memory>
#include <string>

#include "platform/backend.h"
#include "platform/display_layouts.h"
#include "platform/display_memory.h"
#include "platform/icon.h"
#include "platform/messages.h"
#include "platform/recorder.h"
#include "platform/replay.h"
#include "platform/script.h"
#include "platform/single_instance.h"

namespace host {
namespace {

struct RunState {
  bool Running = false;
  Options Settings;
  std::unique_ptr<detail::Backend> Backend;
  int ExitCode = 0;
};

RunState& State() {
  static RunState state;
  return state;
}

// Stands in for the backend while no run is going on.
detail::Backend& IdleBackend() {
  static std::unique_ptr<detail::Backend> idle = detail::MakeIdleBackend();
  return *idle;
}

void ResetModules(DisplayMode mode) {
  detail::StopRecording();  // before the script, whose frame count it reads
  detail::ResetScript();
  detail::ResetSingleInstance();
  detail::ResetWindows();
  detail::ResetDisplayMemory(mode);
  detail::ResetSound();
  detail::ResetIcons();
  detail::ResetNotices();
  detail::RemoveReplayFolder();
}

// A script's header names the tick its recording started from; it holds
// unless --tick-start says otherwise, and a different --tick-start is a
// mistake worth stopping for (the replay would deal another board).
bool ApplyScriptHeader(Options* settings, std::string* error) {
  const std::optional<uint32_t>& recorded = detail::LoadedScriptHeader().TickStart;
  if (!recorded) return true;
  if (settings->TickStart && *settings->TickStart != *recorded) {
    *error = "the recording starts at tick " + std::to_string(*recorded) +
             " but --tick-start says " + std::to_string(*settings->TickStart);
    return false;
  }
  settings->TickStart = recorded;
  return true;
}

}  // namespace

bool ParseDisplayMode(const std::string& text, DisplayMode* mode) {
  const detail::DisplayLayout* layout = detail::FindDisplayLayout(text);
  if (layout == nullptr) return false;
  *mode = layout->Mode;
  return true;
}

bool Start(const Options& options, std::string* error) {
  RunState& state = State();
  std::string ignored;
  if (error == nullptr) error = &ignored;
  if (state.Running) {
    *error = "the host is already running";
    return false;
  }
  state = RunState{};
  state.Settings = options;
  ResetModules(options.Display);
  if (options.Headless && options.ScriptPath.empty() && options.ScriptText.empty() &&
      options.ReplayPath.empty()) {
    *error = "a headless run needs a script (--script FILE, or - for standard input)";
    return false;
  }
  // The game finds its pictures, sounds and records beside the program file.
  // Without that path, or with one longer than the game's path buffers, it
  // would look in some other folder (the root, when the path is empty) and
  // write its records there.
  const size_t module = detail::ModulePath().size();
  if (module == 0 || module >= PlatformPathCapacity) {
    *error = module == 0 ? "cannot find the program's own folder: the system does not say "
                           "where the program file is (is its path over 4,095 characters?)"
                         : "cannot use the program's own folder: its path is over 4,095 characters";
    return false;
  }
  // The script is read (and, from a file, checked line by line) before any
  // window or device opens, so a typo costs nothing.
  const auto refuse = [&] {
    detail::SetExitCode(2);
    ResetModules(options.Display);
    return false;
  };
  if (!detail::LoadScript(options, error)) {
    ResetModules(options.Display);
    return false;
  }
  if (!ApplyScriptHeader(&state.Settings, error)) return refuse();
  // A replay reads the records its recording carries, in a folder of its
  // own, and never the player's.
  if (!options.ReplayPath.empty() && !detail::PrepareReplay(&state.Settings, error)) {
    return refuse();
  }
  // Only looked at here; the copy that plays makes the file once its window
  // exists (see recorder.h).
  if (!options.RecordPath.empty() && !detail::CheckRecordingTarget(options.RecordPath, error)) {
    return refuse();
  }
  const Options& settings = state.Settings;
  state.Backend = detail::MakeBackend(settings, error);
  if (!state.Backend) {
    ResetModules(options.Display);
    return false;
  }
  state.Running = true;
  detail::StartWindows();
  return true;
}

void Stop() {
  RunState& state = State();
  // Modules first: the sound mixer and the window go before SDL itself, which
  // the backend shuts down when it is destroyed.
  ResetModules(DisplayMode::Rgb565);
  state.Backend.reset();
  state.Running = false;
  state.Settings = Options{};
  state.ExitCode = 0;
}

int ExitCode() { return State().ExitCode; }

void HoldLastFrame() {
  if (!State().Settings.ReplayPath.empty()) detail::CurrentBackend().HoldLastFrame();
}

namespace detail {

Backend& CurrentBackend() {
  RunState& state = State();
  return state.Backend ? *state.Backend : IdleBackend();
}

bool Running() { return State().Running; }

const Options& RunOptions() { return State().Settings; }

void SetExitCode(int code) {
  if (State().ExitCode == 0) State().ExitCode = code;
}

}  // namespace detail
}  // namespace host
