// Recording a run as a script.
//
// A script's commands run between frames and reach the game in the next
// frame's message pump, so input dispatched after k frames had ended is
// written after waits adding up to k frames. The waits
// carry how far the tick counter moved in each frame ("wait N MS", or a
// plain "wait N" for frames of exactly 30 ms), and the header the tick the
// game seeded its deal with and the records it loaded: a replay deals the
// same board, takes every tap in the same frame and reads the same clock,
// however slowly the recorded frames ran.
//
// The file is written by the copy that plays, from the moment its game
// window exists: a second copy that only hands over to the running one
// never touches it. Each frame's lines reach the file when the frame ends,
// so a game killed half-way keeps all it played but its last frame. The
// wait line still growing is rewritten in place every frame; it only ever
// grows, so each write covers the one before.
#include "platform/recorder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/host.h"
#include "platform/messages.h"
#include "platform/script.h"

namespace host::detail {
namespace {

constexpr uint32_t PlainFrameMs = 30;  // the game's pause: a "wait N" frame

struct Recording {
  int File = -1;
  std::string Path;
  bool Failed = false;     // said once; nothing more is written
  bool Started = false;    // the first tick was read
  uint32_t LastTicks = 0;  // the counter when the last frame ended
  std::string Header;      // until the first frame ends
  bool HeaderWritten = false;
  std::string Finished;    // lines complete but not yet in the file
  uint64_t Written = 0;    // bytes of complete lines in the file
  uint64_t RunFrames = 0;  // the frames of the wait line still growing
  uint32_t RunLength = 0;  // and how long each of them lasted
};

Recording& State() {
  static Recording recording;
  return recording;
}

std::string WaitLine(uint64_t frames, uint32_t length) {
  std::string line = "wait " + std::to_string(frames);
  if (length != PlainFrameMs) line += " " + std::to_string(length);
  return line + "\n";
}

void CloseRun() {
  Recording& state = State();
  if (state.RunFrames == 0) return;
  state.Finished += WaitLine(state.RunFrames, state.RunLength);
  state.RunFrames = 0;
}

void Fail(const std::string& reason) {
  Recording& state = State();
  if (state.Failed) return;
  state.Failed = true;
  if (state.File >= 0) close(state.File);
  state.File = -1;
  std::fprintf(stderr,
               "quillmoth: cannot write the recording %s: %s; the game goes on unrecorded\n",
               state.Path.c_str(), reason.c_str());
  std::fflush(stderr);
  SetExitCode(1);
}

// Everything noted so far into the file: complete lines after the ones
// already there, then the growing wait line over its last version.
void WriteOut() {
  Recording& state = State();
  if (state.File < 0) return;
  std::string text;
  if (!state.HeaderWritten) text = state.Header;
  text += state.Finished;
  const size_t complete = text.size();
  if (state.RunFrames > 0) text += WaitLine(state.RunFrames, state.RunLength);
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = pwrite(state.File, text.data() + done, text.size() - done,
                                 static_cast<off_t>(state.Written + done));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return Fail(wrote < 0 ? std::strerror(errno) : "nothing could be written");
    done += static_cast<size_t>(wrote);
  }
  state.Written += complete;
  state.HeaderWritten = true;
  state.Finished.clear();
}

}  // namespace

bool CheckRecordingTarget(const std::string& path, std::string* error) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return true;
  *error = "cannot record into " + path +
           ": it is not a plain file (a pipe, a device or a folder cannot keep a recording)";
  return false;
}

void OpenRecording() {
  Recording& state = State();
  const std::string& path = RunOptions().RecordPath;
  if (path.empty() || state.File >= 0 || state.Failed) return;
  state.Path = path;
  // Non-blocking: a pipe put in the file's place since the start check
  // fails at once instead of waiting for a reader.
  state.File =
      open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (state.File < 0) return Fail(std::strerror(errno));
  struct stat info;
  if (fstat(state.File, &info) != 0 || !S_ISREG(info.st_mode)) Fail("it is not a plain file");
}

void NoteTickRead(uint32_t ticks) {
  Recording& state = State();
  if (state.Started) return;
  state.Started = true;
  state.LastTicks = ticks;
  state.Header += "# tick-start " + std::to_string(ticks) + "\n";
}

void NoteStartingRecords(const std::array<uint32_t, 12>& values) {
  Recording& state = State();
  if (state.HeaderWritten) return;
  std::string line = "# records";
  for (size_t i = 0; i < values.size(); ++i) {
    // Move counts are signed in the records file.
    line +=
        " " + (i < 6 ? std::to_string(values[i]) : std::to_string(static_cast<int32_t>(values[i])));
  }
  state.Header += line + "\n";
}

void NoteDispatched(const PlatformMessage& message) {
  Recording& state = State();
  if (state.File < 0 || message.Window == nullptr || message.Window != GameWindow()) return;
  const auto x = static_cast<unsigned>(message.Second & 0xFFFF);
  const auto y = static_cast<unsigned>(static_cast<uintptr_t>(message.Second) >> 16 & 0xFFFF);
  const char* verb = message.Message == MessageStylusDown   ? "down"
                     : message.Message == MessageStylusMove ? "move"
                     : message.Message == MessageStylusUp   ? "up"
                                                            : nullptr;
  if (verb != nullptr) {
    CloseRun();
    state.Finished += std::string(verb) + " " + std::to_string(x) + " " + std::to_string(y) + "\n";
  } else if (message.Message == MessageActivate && (message.First & 0xFFFF) <= ActivateByStylus) {
    CloseRun();
    state.Finished += "activate " + std::to_string(message.First & 0xFFFF) + "\n";
  } else if (message.Message == MessageDestroy) {
    CloseRun();
    state.Finished += "quit\n";
  }
}

void NoteFrameEnded() {
  Recording& state = State();
  if (state.File < 0) return;
  const uint32_t ticks = CurrentBackend().ReadTicks();
  if (!state.Started) NoteTickRead(ticks);
  // Unsigned: right across the counter's wrap.
  const uint32_t length = ticks - state.LastTicks;
  state.LastTicks = ticks;
  if (state.RunFrames > 0 && length != state.RunLength) CloseRun();
  state.RunLength = length;
  ++state.RunFrames;
  WriteOut();
}

void StopRecording() {
  Recording& state = State();
  if (state.File >= 0) {
    CloseRun();
    WriteOut();
    if (state.File >= 0 && close(state.File) != 0) Fail(std::strerror(errno));
  }
  state = Recording{};
}

}  // namespace host::detail
