// The folder a replay plays in: the records its recording carries, in the
// records file's own layout, and links to the program's pictures and sounds
// that go with the folder while what they lead to stays.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/backend.h"
#include "support/headless_host.h"

namespace {

namespace fs = std::filesystem;

using ReplayFolder = HeadlessHostTest;

TEST_F(ReplayFolder, HoldsTheRecordedRecordsAndLinksToThePicturesAndSounds) {
  for (const char* data : {"Graph", "Sound"}) fs::create_directories(Folder() / data);
  fs::create_directories(Folder() / "tmp");
  const fs::path recording = Folder() / "recording.txt";
  // Each value's bytes tell where they came from; the last is -2 moves'
  // two's complement, as the file stores it.
  std::ofstream(recording) << "# tick-start 7\n"
                              "# records 67305985 5 6 7 8 9 10 11 12 13 14 -2\nquit\n";
  host::Options options;
  options.Headless = true;
  options.ReplayPath = recording.string();
  options.ModulePath = (Folder() / "quillmoth").string();
  options.RuntimeDir = Folder().string();
  setenv("TMPDIR", (Folder() / "tmp").c_str(), 1);
  std::string error;
  const bool started = host::Start(options, &error);
  unsetenv("TMPDIR");
  ASSERT_TRUE(started) << error;
  const fs::path replay = fs::path(host::detail::ModulePath()).parent_path();
  EXPECT_EQ(replay.parent_path(), Folder() / "tmp");
  std::string expected = {1, 2, 3, 4};
  for (int value = 5; value <= 14; ++value)
    expected += std::string{static_cast<char>(value), 0, 0, 0};
  expected += "\xFE\xFF\xFF\xFF";
  EXPECT_EQ(ReadFile(replay / "quill.dat"), expected);
  for (const char* data : {"Graph", "Sound"}) {
    EXPECT_TRUE(fs::is_symlink(replay / data)) << data;
    EXPECT_TRUE(fs::equivalent(replay / data, Folder() / data)) << data;
  }
  host::Stop();
  EXPECT_FALSE(fs::exists(replay));
  EXPECT_TRUE(fs::is_directory(Folder() / "Graph") && fs::is_directory(Folder() / "Sound"));
}

}  // namespace
