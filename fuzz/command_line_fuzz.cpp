// The command line against any arguments: the input is split at zero bytes,
// as a program's arguments arrive. A table of the options, written here,
// decides the outcome and the settings, and the host's reader must agree.
//
// The options, read left to right; a later one overrides an earlier one, and
// each taking a value reads it from the next argument or after "=":
//   --scale N          N 1..8
//   --display MODE     one of the seven display names
//   --headless         only together with --script or --replay
//   --script FILE      FILE not empty
//   --tick-start N     N 0..4294967295 (none when not given)
//   --record FILE      FILE not empty
//   --replay FILE      FILE not empty; never with --script or --record
//   --pictures FOLDER  FOLDER not empty
//   --mute             a flag
//   --shot-scale N     N 1..8 (0 when not given: the window's factor)
//   -h, --help, -v, --version  stop reading and show that
// Anything else, a value given to an option that takes none, or a value
// missing at the end is an error, which also stops the reading.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/command_line.h"

namespace {

using host::CommandLineAction;
using host::DisplayMode;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "command_line_fuzz: %s\n", what);
    std::abort();
  }
}

bool Number(std::string_view text, uint64_t low, uint64_t high, uint64_t* value) {
  if (text.empty()) return false;
  uint64_t sum = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    sum = sum * 10 + static_cast<uint64_t>(c - '0');
    if (sum > high) return false;
  }
  *value = sum;
  return sum >= low;
}

struct Display {
  const char* Name;
  DisplayMode Mode;
};
constexpr Display Displays[] = {
    {"rgb565", DisplayMode::Rgb565},
    {"rgb565-wide", DisplayMode::Rgb565Wide},
    {"rgb565-flipped", DisplayMode::Rgb565Flipped},
    {"rgb565-sideways", DisplayMode::Rgb565Sideways},
    {"gray4", DisplayMode::Gray4},
    {"gray2", DisplayMode::Gray2},
    {"rgb444", DisplayMode::Rgb444},
};

struct Outcome {
  CommandLineAction Action = CommandLineAction::Run;
  bool Headless = false;
  int Scale = 0;
  DisplayMode Mode = DisplayMode::Rgb565;
  std::string Script;
  std::optional<uint32_t> TickStart;
  std::string Record;
  std::string Replay;
  std::string Pictures;
  bool Mute = false;
  int ShotScale = 0;
};

Outcome Stop(CommandLineAction action) {
  Outcome outcome;
  outcome.Action = action;
  return outcome;
}

Outcome Reference(const std::vector<std::string>& arguments) {
  Outcome outcome;
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string_view name = arguments[i];
    std::string_view value;
    bool inlineValue = false;
    if (name.substr(0, 2) == "--" && name.find('=') != std::string_view::npos) {
      value = name.substr(name.find('=') + 1);
      name = name.substr(0, name.find('='));
      inlineValue = true;
    }
    if (name == "-h" || name == "-v") {
      return Stop(name == "-h" ? CommandLineAction::Help : CommandLineAction::Version);
    }
    if (name == "--help" || name == "--version" || name == "--headless" || name == "--mute") {
      if (inlineValue) return Stop(CommandLineAction::Error);
      if (name == "--help") return Stop(CommandLineAction::Help);
      if (name == "--version") return Stop(CommandLineAction::Version);
      (name == "--mute" ? outcome.Mute : outcome.Headless) = true;
      continue;
    }
    if (name != "--scale" && name != "--display" && name != "--script" && name != "--tick-start" &&
        name != "--record" && name != "--replay" && name != "--shot-scale" &&
        name != "--pictures") {
      return Stop(CommandLineAction::Error);
    }
    if (!inlineValue) {
      if (i + 1 == arguments.size()) return Stop(CommandLineAction::Error);
      value = arguments[++i];
    }
    uint64_t number = 0;
    if (name == "--scale") {
      if (!Number(value, 1, 8, &number)) return Stop(CommandLineAction::Error);
      outcome.Scale = static_cast<int>(number);
    } else if (name == "--tick-start") {
      if (!Number(value, 0, 4294967295u, &number)) return Stop(CommandLineAction::Error);
      outcome.TickStart = static_cast<uint32_t>(number);
    } else if (name == "--script" || name == "--record" || name == "--replay" ||
               name == "--pictures") {
      if (value.empty()) return Stop(CommandLineAction::Error);
      (name == "--script"   ? outcome.Script
       : name == "--record" ? outcome.Record
       : name == "--replay" ? outcome.Replay
                            : outcome.Pictures) = std::string(value);
    } else if (name == "--shot-scale") {
      if (!Number(value, 1, 8, &number)) return Stop(CommandLineAction::Error);
      outcome.ShotScale = static_cast<int>(number);
    } else {
      const Display* found = nullptr;
      for (const Display& display : Displays) {
        if (value == display.Name) found = &display;
      }
      if (found == nullptr) return Stop(CommandLineAction::Error);
      outcome.Mode = found->Mode;
    }
  }
  if (!outcome.Replay.empty() && (!outcome.Script.empty() || !outcome.Record.empty())) {
    return Stop(CommandLineAction::Error);
  }
  if (outcome.Headless && outcome.Script.empty() && outcome.Replay.empty()) {
    return Stop(CommandLineAction::Error);
  }
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> arguments;
  if (size > 0) {
    arguments.emplace_back();
    for (size_t i = 0; i < size; ++i) {
      if (data[i] == 0) {
        arguments.emplace_back();
      } else {
        arguments.back().push_back(static_cast<char>(data[i]));
      }
    }
  }

  const Outcome want = Reference(arguments);
  const host::CommandLine got = host::ParseCommandLine(arguments);
  Check(got.Action == want.Action, "a different action");
  if (got.Action == CommandLineAction::Error) {
    Check(!got.Error.empty(), "an error without a message");
  } else {
    Check(got.Error.empty(), "a message without an error");
  }
  if (got.Action != CommandLineAction::Run) return 0;
  const host::Options& settings = got.Settings;
  Check(settings.Headless == want.Headless && settings.Scale == want.Scale &&
            settings.Display == want.Mode && settings.ScriptPath == want.Script &&
            settings.TickStart == want.TickStart && settings.RecordPath == want.Record &&
            settings.ReplayPath == want.Replay && settings.Mute == want.Mute &&
            settings.ShotScale == want.ShotScale && settings.PicturesFolder == want.Pictures,
        "different settings");
  // The command line never reaches what only tests set.
  Check(settings.ScriptText.empty() && settings.ModulePath.empty() && settings.RuntimeDir.empty() &&
            !settings.LogSounds && !settings.QuietNotices,
        "a setting the command line has no option for");
  return 0;
}
