#include "platform/command_line.h"

#include <string_view>

#include "platform/display_layouts.h"
#include "platform/whole_number.h"

#ifndef QUILLMOTH_VERSION
#define QUILLMOTH_VERSION "0.0.0"
#endif

namespace host {
namespace {

CommandLine Fail(std::string message) {
  CommandLine result;
  result.Action = CommandLineAction::Error;
  result.Error = std::move(message);
  return result;
}

// --display's lines: every layout's name, the default one marked, wrapped
// at 80 columns under the descriptions' column.
std::string DisplayOptionText() {
  std::string text = "  --display MODE    display memory layout:";
  size_t lineStart = 0;
  const auto layouts = detail::DisplayLayouts();
  for (size_t i = 0; i < layouts.size(); ++i) {
    std::string name(layouts[i].Name);
    if (layouts[i].Mode == Options{}.Display) name += " (default)";
    if (i + 1 < layouts.size()) name += ',';
    if (text.size() - lineStart + 1 + name.size() > 80) {
      text += '\n';
      lineStart = text.size();
      text.append(19, ' ');
    }
    text += ' ' + name;
  }
  return text + '\n';
}

}  // namespace

std::string UsageText() {
  return "usage: quillmoth [options]\n"
         "  --scale N         window scale, 1 to 8 (default: the largest up to 3 that fits)\n" +
         DisplayOptionText() +
         "  --headless        no window, no sound, a virtual clock (needs --script or --replay)\n"
         "  --script FILE     run the commands in FILE (- for standard input)\n"
         "  --tick-start N    first value of the millisecond counter, 0 to 4294967295\n"
         "                    (default: a recording's own, else 0 headless, else uptime)\n"
         "  --record FILE     write the game to FILE as it is played: a recording\n"
         "  --replay FILE     watch a recording at the pace it was played (with --headless:\n"
         "                    at once); never reads or writes your records\n"
         "  --pictures FOLDER play with faces made from the pictures in FOLDER (PNG, JPEG;\n"
         "                    the first 40 in name order; ours fill the rest)\n"
         "  --mute            start with the sound output off\n"
         "  --shot-scale N    F12's screenshots at N times 240 x 320, 1 to 8\n"
         "                    (default: the factor the window shows the picture at)\n"
         "  -h, --help        show this and exit\n"
         "  -v, --version     show the version and exit\n"
         "keys in the window (the game itself uses none):\n"
         "  F11, Alt+Enter    full screen on or off\n"
         "  Escape            leave full screen\n"
         "  F12               save a screenshot in your pictures folder\n";
}

std::string VersionText() { return std::string("quillmoth ") + QUILLMOTH_VERSION; }

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine result;
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    std::string value;
    bool hasValue = false;
    if (const size_t equals = name.find('=');
        name.starts_with("--") && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
      hasValue = true;
    }
    const bool takesValue = name == "--scale" || name == "--display" || name == "--script" ||
                            name == "--tick-start" || name == "--record" || name == "--replay" ||
                            name == "--shot-scale" || name == "--pictures";
    if (takesValue && !hasValue) {
      if (i + 1 >= arguments.size()) return Fail("option " + name + " needs a value");
      value = arguments[++i];
    } else if (!takesValue && hasValue) {
      return Fail("option " + name + " takes no value");
    }
    uint64_t number = 0;
    if (name == "--help" || name == "-h") {
      result.Action = CommandLineAction::Help;
      return result;
    } else if (name == "--version" || name == "-v") {
      result.Action = CommandLineAction::Version;
      return result;
    } else if (name == "--headless") {
      result.Settings.Headless = true;
    } else if (name == "--record") {
      if (value.empty()) return Fail("--record needs a file name");
      result.Settings.RecordPath = value;
    } else if (name == "--replay") {
      if (value.empty()) return Fail("--replay needs a recording's file name");
      result.Settings.ReplayPath = value;
    } else if (name == "--pictures") {
      if (value.empty()) return Fail("--pictures needs a folder");
      result.Settings.PicturesFolder = value;
    } else if (name == "--mute") {
      result.Settings.Mute = true;
    } else if (name == "--scale") {
      if (!ParseWholeNumber(value, 1, 8, &number))
        return Fail("--scale must be a whole number from 1 to 8");
      result.Settings.Scale = static_cast<int>(number);
    } else if (name == "--shot-scale") {
      if (!ParseWholeNumber(value, 1, 8, &number)) {
        return Fail("--shot-scale must be a whole number from 1 to 8");
      }
      result.Settings.ShotScale = static_cast<int>(number);
    } else if (name == "--display") {
      if (!ParseDisplayMode(value, &result.Settings.Display)) {
        return Fail("--display does not know the mode '" + value + "'");
      }
    } else if (name == "--script") {
      if (value.empty()) return Fail("--script needs a file name (or -)");
      result.Settings.ScriptPath = value;
    } else if (name == "--tick-start") {
      if (!ParseWholeNumber(value, 0, 0xFFFFFFFFu, &number)) {
        return Fail("--tick-start must be a whole number from 0 to 4294967295");
      }
      result.Settings.TickStart = static_cast<uint32_t>(number);
    } else {
      return Fail("unknown option '" + arguments[i] + "'");
    }
  }
  const Options& settings = result.Settings;
  // A replay's input is its recording's, and what it plays is no new game.
  if (!settings.ReplayPath.empty() &&
      (!settings.ScriptPath.empty() || !settings.RecordPath.empty())) {
    return Fail("--replay plays a recording alone: not with --script or --record");
  }
  // Nothing but a script could ever end a run without a window.
  if (settings.Headless && settings.ScriptPath.empty() && settings.ReplayPath.empty()) {
    return Fail("--headless needs --script (or --replay)");
  }
  return result;
}

}  // namespace host
