// Scripted runs.
//
// A script drives the game as a person with a stylus would, one command a
// line:
//   tap X Y | down X Y | move X Y | up X Y    stylus input at (X, Y)
//   key N                                      a key pressed and released
//   activate N                                 the window (de)activated, N 0..2
//   wait N                                     let N frames run
//   wait N MS                                  N frames of MS milliseconds each
//   shot PATH                                  photograph the display
//   quit                                       close the window
// Blank lines and lines starting with # are skipped, but for the header a
// recording starts with (see ScriptHeader).
//
// A frame of a plain wait lasts what the game's pause makes it: 30 ms on a
// virtual clock. "wait N MS" is how a recording keeps the clock of a game
// played in a window: each of those frames lasts MS milliseconds exactly on
// a virtual clock (headless, a replay), and at least that long on a real one.
//
// Commands run between frames: the ones before the first wait as soon as the
// game's window exists (the game is still loading then, so their input
// waits in the queue), the rest whenever the frames of a wait have run. Input
// goes into the queue; the game sees it when it next looks, as with real
// input. The end of the script closes the window like quit.
//
// From a file the whole script is checked before anything opens, then read
// again line by line as the run goes, so that a script of any length costs
// no more memory than its longest line. From standard input lines are read
// only when due, so a program at the other end of a pipe can wait for a
// shot's line before it decides what to send next.
#include "platform/script.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>

#include "platform/backend.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/recorder.h"
#include "platform/whole_number.h"

namespace host {
namespace {

using detail::ScriptCommand;
using detail::ScriptHeader;
using detail::ScriptVerb;

struct ScriptState {
  bool HasScript = false;
  // Where lines come from as they are due: standard input, or the script
  // file or text, read again from its start once it has been checked.
  std::istream* Source = nullptr;
  std::unique_ptr<std::istream> Owned;
  int InputLine = 0;
  bool Begun = false;
  bool Finished = false;
  bool SeenCommand = false;  // header lines come before any command
  ScriptHeader Header;
  uint64_t WaitFrames = 0;
  uint32_t FrameLength = 0;  // of the frames the current wait lets run; 0: plain
  uint64_t Frames = 0;
  std::function<void()> Observer;
  // QUILLMOTH_FRAME_STATS=1: when the run ends, one line on standard error
  // gives the frames run and the mean wall-clock time between their ends,
  // so a measuring script sees the game's pace from outside.
  bool FrameStats = false;
  std::chrono::steady_clock::time_point FirstFrameEnd, LastFrameEnd;
};

ScriptState& State() {
  static ScriptState state;
  return state;
}

// Blanks between words: spaces, tabs and the carriage returns of a script
// saved with Windows line ends, wherever they stand.
bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
  return text;
}

// A word quoted in a message, cut short: a line of garbage is not worth
// echoing whole.
std::string Quoted(std::string_view word) {
  constexpr size_t Longest = 32;
  return word.size() <= Longest ? std::string(word) : std::string(word.substr(0, Longest)) + "...";
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  while (!(text = Trim(text)).empty()) {
    size_t end = 0;
    while (end < text.size() && !Blank(text[end])) ++end;
    words.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return words;
}

void Post(uint32_t message, uintptr_t first, intptr_t second) {
  detail::QueueMessage({detail::GameWindow(), message, first, second});
}

// The window is closed: the game posts its own quit request and its loop
// ends after the frame under way.
void CloseWindow() {
  Post(MessageDestroy, 0, 0);
  State().Finished = true;
  State().FrameLength = 0;
}

// A script read from standard input meets its header only once the game's
// window exists; the game has not read the clock yet then, so the header's
// tick start still deals the recorded board.
bool ApplyInputHeader(const ScriptHeader& header, std::string* error) {
  ScriptState& state = State();
  if (header.TickStart && header.TickStart != state.Header.TickStart) {
    const std::optional<uint32_t>& given = detail::RunOptions().TickStart;
    if (given && *given != *header.TickStart) {
      *error = "the recording starts at tick " + std::to_string(*header.TickStart) +
               " but --tick-start says " + std::to_string(*given);
      return false;
    }
    detail::CurrentBackend().SetTicks(*header.TickStart);
  }
  state.Header = header;
  return true;
}

// Reads the next command from the script's source; false at its end.
bool NextCommand(ScriptCommand* command) {
  ScriptState& state = State();
  std::string text;
  while (state.Source != nullptr) {
    std::string error;
    const int read = detail::ReadScriptLine(*state.Source, &text, &error);
    if (read == 0) break;
    ++state.InputLine;
    ScriptHeader header = state.Header;
    const bool valid =
        read > 0 && detail::ParseScriptLine(text, state.InputLine, command, &error) &&
        (state.SeenCommand || command->Verb != ScriptVerb::None ||
         (detail::ParseHeaderLine(text, &header, &error) && ApplyInputHeader(header, &error)));
    if (!valid) {
      std::fprintf(stderr, "script:%d: %s\n", state.InputLine, error.c_str());
      std::fflush(stderr);
      detail::SetExitCode(2);
      command->Verb = ScriptVerb::Quit;
      return true;
    }
    if (command->Verb != ScriptVerb::None) {
      state.SeenCommand = true;
      return true;
    }
  }
  return false;
}

// Runs commands until a wait with frames to go, or the end.
void RunUntilWait() {
  ScriptState& state = State();
  ScriptCommand command;
  while (!state.Finished && state.WaitFrames == 0) {
    if (!NextCommand(&command)) {
      CloseWindow();
      return;
    }
    const auto position = PackStylusPosition(command.First, command.Second);
    switch (command.Verb) {
      case ScriptVerb::Tap:
        Post(MessageStylusDown, 0, position);
        Post(MessageStylusUp, 0, position);
        break;
      case ScriptVerb::Down:
        Post(MessageStylusDown, 0, position);
        break;
      case ScriptVerb::Move:
        Post(MessageStylusMove, 0, position);
        break;
      case ScriptVerb::Up:
        Post(MessageStylusUp, 0, position);
        break;
      case ScriptVerb::Key:
        Post(MessageKeyDown, command.First, 0);
        Post(MessageKeyUp, command.First, 0);
        break;
      case ScriptVerb::Activate:
        Post(MessageActivate, command.First, 0);
        break;
      case ScriptVerb::Wait:
        state.WaitFrames = command.First;
        state.FrameLength = command.Second;
        break;
      case ScriptVerb::Shot:
        if (!WriteDisplayPng(command.Path)) {
          // A driver waiting for this shot would wait forever: end the run.
          std::fprintf(stderr, "script:%d: cannot write %s\n", command.Line, command.Path.c_str());
          std::fflush(stderr);
          detail::SetExitCode(1);
          CloseWindow();
          return;
        }
        std::fprintf(stdout, "shot %s\n", command.Path.c_str());
        std::fflush(stdout);
        break;
      case ScriptVerb::Quit:
        CloseWindow();
        return;
      case ScriptVerb::None:
        break;
    }
  }
}

}  // namespace

namespace detail {

bool ParseScriptLine(std::string_view text, int line, ScriptCommand* command, std::string* error) {
  *command = ScriptCommand{};
  command->Line = line;
  text = Trim(text);
  if (text.empty() || text.front() == '#') return true;
  const std::vector<std::string_view> words = Words(text);
  const std::string_view verb = words[0];
  const size_t arguments = words.size() - 1;
  const auto fail = [&](const std::string& reason) {
    *error = reason;
    return false;
  };
  if (verb == "tap" || verb == "down" || verb == "move" || verb == "up") {
    if (arguments != 2) return fail(std::string(verb) + " takes X and Y");
    // Any value the message's 16-bit halves can carry: a script may probe
    // the edges of the game's tap rectangles, which reach one pixel past the
    // screen, even though a real stylus never gets there.
    if (!ParseWholeNumber(words[1], 0, 0xFFFF, &command->First)) {
      return fail("x must be a whole number from 0 to 65535");
    }
    if (!ParseWholeNumber(words[2], 0, 0xFFFF, &command->Second)) {
      return fail("y must be a whole number from 0 to 65535");
    }
    command->Verb = verb == "tap"    ? ScriptVerb::Tap
                    : verb == "down" ? ScriptVerb::Down
                    : verb == "move" ? ScriptVerb::Move
                                     : ScriptVerb::Up;
    return true;
  }
  if (verb == "key") {
    if (arguments != 1 || !ParseWholeNumber(words[1], 0, 0xFFFFFFFFu, &command->First)) {
      return fail("key takes one key code, a whole number");
    }
    command->Verb = ScriptVerb::Key;
    return true;
  }
  if (verb == "activate") {
    if (arguments != 1 ||
        !ParseWholeNumber(words[1], ActivateOff, ActivateByStylus, &command->First)) {
      return fail("activate takes 0, 1 or 2");
    }
    command->Verb = ScriptVerb::Activate;
    return true;
  }
  if (verb == "wait") {
    if (arguments < 1 || arguments > 2 ||
        !ParseWholeNumber(words[1], 0, 0xFFFFFFFFu, &command->First)) {
      return fail("wait takes a number of frames, and may take their length in milliseconds");
    }
    if (arguments == 2 &&
        !ParseWholeNumber(words[2], ShortestFrameMs, 0xFFFFFFFFu, &command->Second)) {
      return fail("a frame lasts from 30 to 4294967295 milliseconds");
    }
    command->Verb = ScriptVerb::Wait;
    return true;
  }
  if (verb == "shot") {
    // The path is the rest of the line, spaces and all.
    const std::string_view path = Trim(text.substr(verb.size()));
    if (path.empty()) return fail("shot takes a file path");
    command->Verb = ScriptVerb::Shot;
    command->Path = std::string(path);
    return true;
  }
  if (verb == "quit") {
    if (arguments != 0) return fail("quit takes nothing");
    command->Verb = ScriptVerb::Quit;
    return true;
  }
  return fail("unknown command '" + Quoted(verb) + "'");
}

bool ParseHeaderLine(std::string_view text, ScriptHeader* header, std::string* error) {
  text = Trim(text);
  if (text.empty() || text.front() != '#') return true;
  const std::vector<std::string_view> words = Words(text.substr(1));
  if (words.empty()) return true;
  if (words[0] == "tick-start") {
    uint32_t ticks = 0;
    if (words.size() != 2 || !ParseWholeNumber(words[1], 0, 0xFFFFFFFFu, &ticks)) {
      *error = "tick-start takes a whole number from 0 to 4294967295";
      return false;
    }
    header->TickStart = ticks;
  } else if (words[0] == "records") {
    std::array<uint32_t, 12> values{};
    bool valid = words.size() == 13;
    for (size_t i = 0; valid && i < values.size(); ++i) {
      std::string_view word = words[i + 1];
      // Times are unsigned; move counts are signed, as the records file
      // keeps them.
      const bool negative = i >= 6 && word.starts_with('-');
      if (negative) word.remove_prefix(1);
      uint64_t value = 0;
      valid =
          ParseWholeNumber(word, 0, i < 6 ? 0xFFFFFFFFu : 0x7FFFFFFFu + uint64_t{negative}, &value);
      values[i] = static_cast<uint32_t>(negative ? 0 - value : value);
    }
    if (!valid) {
      *error =
          "records takes six best times (0 to 4294967295) and six move counts "
          "(-2147483648 to 2147483647)";
      return false;
    }
    header->Records = values;
  }
  return true;
}

int ReadScriptLine(std::istream& in, std::string* line, std::string* error) {
  line->clear();
  int c;
  while ((c = in.get()) != std::char_traits<char>::eof() && c != '\n') {
    if (line->size() == LongestScriptLine) {
      // The rest of the line is skipped, not kept.
      while ((c = in.get()) != std::char_traits<char>::eof() && c != '\n') {
      }
      *error = "the line is longer than " + std::to_string(LongestScriptLine) + " characters";
      return -1;
    }
    line->push_back(static_cast<char>(c));
  }
  return c == std::char_traits<char>::eof() && line->empty() ? 0 : 1;
}

bool CheckScript(std::istream& in, ScriptHeader* header, std::string* error,
                 std::vector<ScriptCommand>* commands) {
  ScriptHeader read;
  bool seenCommand = false;
  std::string text;
  int line = 0;
  for (int got; (got = ReadScriptLine(in, &text, error)) != 0;) {
    ++line;
    ScriptCommand command;
    std::string reason = *error;
    if (got < 0 || !ParseScriptLine(text, line, &command, &reason) ||
        (!seenCommand && !ParseHeaderLine(text, &read, &reason))) {
      *error = "script:" + std::to_string(line) + ": " + reason;
      return false;
    }
    if (command.Verb == ScriptVerb::None) continue;
    seenCommand = true;
    if (commands != nullptr) commands->push_back(std::move(command));
  }
  if (header != nullptr) *header = read;
  return true;
}

bool ParseScript(std::string_view text, std::vector<ScriptCommand>* commands, std::string* error,
                 ScriptHeader* header) {
  commands->clear();
  std::istringstream in{std::string(text)};
  return CheckScript(in, header, error, commands);
}

bool LoadScript(const Options& options, std::string* error) {
  ScriptState& state = State();
  state = ScriptState{};
  const char* stats = std::getenv("QUILLMOTH_FRAME_STATS");
  state.FrameStats = stats != nullptr && std::string_view(stats) == "1";
  if (options.ScriptPath == "-") {
    state.Source = &std::cin;
    state.HasScript = true;
    return true;
  }
  // A replay is a script too, one that a recording wrote.
  const bool replay = !options.ReplayPath.empty();
  const std::string& path = replay ? options.ReplayPath : options.ScriptPath;
  if (!path.empty()) {
    // Looked at before opening: a folder opens as a stream too, and would
    // read as an empty script, and a pipe would block the start.
    auto file = std::make_unique<std::ifstream>();
    if (IsPlainFile(path)) file->open(path, std::ios::binary);
    if (!file->is_open()) {
      *error = (replay ? "cannot read the recording " : "cannot read the script ") + path;
      SetExitCode(2);
      return false;
    }
    state.Owned = std::move(file);  // an empty file is a script that just quits
  } else if (!options.ScriptText.empty()) {
    state.Owned = std::make_unique<std::istringstream>(options.ScriptText);
  } else {
    return true;  // no script: the person at the window decides
  }
  if (!CheckScript(*state.Owned, &state.Header, error)) {
    // Named as a compiler names a line: "FILE:LINE: reason".
    if (replay) *error = path + error->substr(error->find(':'));
    SetExitCode(2);
    return false;
  }
  state.Owned->clear();
  state.Owned->seekg(0);
  state.Source = state.Owned.get();
  state.HasScript = true;
  return true;
}

const ScriptHeader& LoadedScriptHeader() { return State().Header; }

void BeginScript() {
  ScriptState& state = State();
  if (!state.HasScript || state.Begun) return;
  state.Begun = true;
  RunUntilWait();
  CurrentBackend().BeginFrame(state.FrameLength);
}

void ResetScript() {
  const ScriptState& state = State();
  if (state.FrameStats && state.Frames >= 2) {
    const std::chrono::duration<double, std::milli> span = state.LastFrameEnd - state.FirstFrameEnd;
    std::fprintf(stderr, "frame stats: %llu frames, mean period %.3f ms\n",
                 static_cast<unsigned long long>(state.Frames),
                 span.count() / static_cast<double>(state.Frames - 1));
  }
  State() = ScriptState{};
}

}  // namespace detail

uint64_t FramesRun() { return State().Frames; }

void SetFrameObserver(std::function<void()> observer) { State().Observer = std::move(observer); }

}  // namespace host

void HostFrameEnded() {
  using host::State;
  auto& state = State();
  ++state.Frames;
  if (state.FrameStats) {
    state.LastFrameEnd = std::chrono::steady_clock::now();
    if (state.Frames == 1) state.FirstFrameEnd = state.LastFrameEnd;
  }
  if (state.Observer) state.Observer();
  host::detail::NoteFrameEnded();
  if (state.Begun && !state.Finished) {
    if (state.WaitFrames > 0) --state.WaitFrames;
    if (state.WaitFrames == 0) host::RunUntilWait();
  }
  host::detail::CurrentBackend().BeginFrame(state.FrameLength);
}
