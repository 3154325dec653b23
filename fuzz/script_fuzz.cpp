// The script reader against any text. A small reader written here from the
// script format decides, line by line, what each line means or that it is
// malformed; the host's reader must agree on every command, its numbers
// and line, and on the first line it refuses.
//
// The format: one command a line; words are separated by blanks (space, tab
// or carriage return); a line that is blank or whose first word starts with
// # is skipped. Numbers are plain decimal digits.
//   tap|down|move|up X Y    X and Y 0..65535
//   key N                   N 0..4294967295
//   activate N              N 0..2
//   wait N                  N 0..4294967295
//   wait N MS               and MS 30..4294967295
//   shot PATH               PATH is the rest of the line, inner blanks kept
//   quit
// Before the first command, a skipped line whose first word is "#" followed
// by "tick-start" (or "#tick-start") must go on with one number
// 0..4294967295, and one whose next word is "records" with six numbers
// 0..4294967295 and six 0..2147483647, each of those six maybe after a "-"
// and then up to 2147483648; otherwise the line is malformed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/script.h"

namespace {

using host::detail::ScriptCommand;
using host::detail::ScriptVerb;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "script_fuzz: %s\n", what);
    std::abort();
  }
}

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Stripped(std::string_view text) {
  while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
  return text;
}

// Digits only, any number of them, worth at most `high`.
bool Number(std::string_view word, uint64_t high, uint32_t* value) {
  if (word.empty()) return false;
  uint64_t sum = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    sum = sum * 10 + static_cast<uint64_t>(c - '0');
    if (sum > high) return false;  // and it only grows
  }
  *value = static_cast<uint32_t>(sum);
  return true;
}

struct Reading {
  bool Valid = true;
  ScriptCommand Command;  // Verb None for a skipped line
};

std::vector<std::string_view> Split(std::string_view rest) {
  std::vector<std::string_view> words;
  rest = Stripped(rest);
  while (!rest.empty()) {
    size_t end = 0;
    while (end < rest.size() && !Blank(rest[end])) ++end;
    words.push_back(rest.substr(0, end));
    rest = Stripped(rest.substr(end));
  }
  return words;
}

// A comment line before the first command: whether it is a well-formed
// header line, or no header line at all.
bool HeaderValid(std::string_view line) {
  line = Stripped(line);
  const std::vector<std::string_view> words = Split(line.substr(1));
  if (words.empty()) return true;
  uint32_t value = 0;
  if (words[0] == "tick-start") return words.size() == 2 && Number(words[1], 4294967295u, &value);
  if (words[0] != "records") return true;
  if (words.size() != 13) return false;
  for (size_t i = 1; i <= 12; ++i) {
    std::string_view word = words[i];
    uint64_t high = 4294967295u;
    if (i > 6) {
      high = 2147483647u;
      if (!word.empty() && word[0] == '-') {
        word.remove_prefix(1);
        high = 2147483648u;
      }
    }
    if (!Number(word, high, &value)) return false;
  }
  return true;
}

Reading ReadLine(std::string_view line) {
  Reading reading;
  const std::string_view whole = Stripped(line);
  const std::vector<std::string_view> words = Split(line);
  if (words.empty() || words[0][0] == '#') return reading;

  ScriptCommand& command = reading.Command;
  const std::string_view verb = words[0];
  const size_t count = words.size() - 1;
  bool ok = false;
  if (verb == "tap" || verb == "down" || verb == "move" || verb == "up") {
    ok = count == 2 && Number(words[1], 65535, &command.First) &&
         Number(words[2], 65535, &command.Second);
    command.Verb = verb == "tap"    ? ScriptVerb::Tap
                   : verb == "down" ? ScriptVerb::Down
                   : verb == "move" ? ScriptVerb::Move
                                    : ScriptVerb::Up;
  } else if (verb == "key") {
    ok = count == 1 && Number(words[1], 4294967295u, &command.First);
    command.Verb = ScriptVerb::Key;
  } else if (verb == "wait") {
    ok = (count == 1 || count == 2) && Number(words[1], 4294967295u, &command.First) &&
         (count == 1 || (Number(words[2], 4294967295u, &command.Second) && command.Second >= 30));
    command.Verb = ScriptVerb::Wait;
  } else if (verb == "activate") {
    ok = count == 1 && Number(words[1], 2, &command.First);
    command.Verb = ScriptVerb::Activate;
  } else if (verb == "shot") {
    ok = count >= 1;
    command.Path = std::string(Stripped(whole.substr(verb.size())));
    command.Verb = ScriptVerb::Shot;
  } else if (verb == "quit") {
    ok = count == 0;
    command.Verb = ScriptVerb::Quit;
  }
  reading.Valid = ok;
  return reading;
}

bool Same(const ScriptCommand& got, const ScriptCommand& want, int line) {
  return got.Verb == want.Verb && got.First == want.First && got.Second == want.Second &&
         got.Path == want.Path && got.Line == line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // The reference: every line in turn up to the first malformed one.
  std::vector<ScriptCommand> expected;
  int badLine = 0;
  int line = 0;
  for (std::string_view rest = text; !rest.empty();) {
    const size_t end = rest.find('\n');
    ++line;
    const std::string_view content = rest.substr(0, end);
    Reading reading = ReadLine(content);
    if (reading.Valid && expected.empty() && reading.Command.Verb == ScriptVerb::None &&
        !Stripped(content).empty()) {
      reading.Valid = HeaderValid(content);
    }
    if (!reading.Valid) {
      badLine = line;
      break;
    }
    if (reading.Command.Verb != ScriptVerb::None) {
      expected.push_back(reading.Command);
      expected.back().Line = line;
    }
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }

  std::vector<ScriptCommand> commands;
  std::string error;
  const bool accepted = host::detail::ParseScript(text, &commands, &error);
  Check(accepted == (badLine == 0), "accepts what the reference refuses, or the reverse");
  if (accepted) {
    Check(commands.size() == expected.size(), "a different number of commands");
    for (size_t i = 0; i < commands.size(); ++i) {
      Check(Same(commands[i], expected[i], expected[i].Line), "a command differs");
    }
  } else {
    const std::string prefix = "script:" + std::to_string(badLine) + ": ";
    Check(error.size() > prefix.size() && error.compare(0, prefix.size(), prefix) == 0,
          "the error does not name the first malformed line");
  }

  // The first line alone, as a script read from standard input takes it.
  const std::string_view first = text.substr(0, text.find('\n'));
  const Reading reading = ReadLine(first);
  ScriptCommand command;
  std::string reason;
  const bool valid = host::detail::ParseScriptLine(first, 7, &command, &reason);
  Check(valid == reading.Valid, "one line: accepts what the reference refuses, or the reverse");
  Check(valid ? Same(command, reading.Command, 7) : !reason.empty(), "one line differs");
  return 0;
}
