// The recording of a run, made in process: a headless run's script comes
// back as its recording, frame for frame, with the header the game started
// from.
#include "platform/recorder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/entry.h"
#include "platform/host.h"
#include "platform/watch/game_watch.h"
#include "support/headless_host.h"

namespace {

namespace fs = std::filesystem;
using Recorder = HeadlessHostTest;

// Frames given a length keep it, frames of 30 ms are plain waits, runs of
// the same length are one line, and the clock's wrap past 2^32 changes
// nothing. The records line gives the twelve values the game loaded.
TEST_F(Recorder, AHeadlessRunComesBackAsItsOwnScript) {
  const uint32_t values[12] = {7, 999, 4294967, 999, 999, 999, 4, 999, 32767, 999, 999, 999};
  std::ofstream records(Folder() / "quill.dat", std::ios::binary);
  for (uint32_t value : values)
    for (int b = 0; b < 4; ++b) records.put(static_cast<char>(value >> (8 * b)));
  records.close();

  host::Options options;
  options.Headless = true;
  options.TickStart = 4294967200u;
  options.ModulePath = (Folder() / "quillmoth").string();
  options.RuntimeDir = Folder().string();
  options.RecordPath = (Folder() / "recording.txt").string();
  const std::string played =
      "wait 2 45\n"
      "down 120 300\n"
      "up 120 300\n"
      "wait 3\n"
      "wait 4 31\n"
      "activate 0\n"
      "wait 1 1000\n"
      "wait 2\n";
  options.ScriptText = played + "quit\n";
  std::string error;
  ASSERT_TRUE(host::Start(options, &error)) << error;
  host::WatchGame();
  EXPECT_EQ(ProgramEntry(nullptr, nullptr, "", ShowNormal), 0);
  host::Stop();

  std::ifstream file(Folder() / "recording.txt", std::ios::binary);
  const std::string recorded{std::istreambuf_iterator<char>(file), {}};
  // The window's close reaches the game in the next frame, which is the
  // last one and plain.
  EXPECT_EQ(recorded,
            "# tick-start 4294967200\n"
            "# records 7 999 4294967 999 999 999 4 999 32767 999 999 999\n" +
                played + "quit\nwait 1\n");
}

}  // namespace
