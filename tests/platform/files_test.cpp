#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/platform.h"
#include "platform/png_file.h"
#include "support/headless_host.h"

namespace {

namespace fs = std::filesystem;
using FilesTest = HeadlessHostTest;

TEST_F(FilesTest, OpeningAMissingFileForReadingCreatesItEmpty) {
  const std::string path = (Folder() / "quill.dat").string();
  const FileHandle file = OpenFileForReading(path.c_str());
  ASSERT_NE(file, NoFile);
  char buffer[16];
  EXPECT_EQ(ReadFromFile(file, buffer, sizeof buffer), 0u);
  EXPECT_TRUE(CloseFile(file));
  EXPECT_EQ(fs::file_size(path), 0u);
  EXPECT_EQ(OpenFileForReading((Folder() / "missing/quill.dat").c_str()), NoFile);
}

TEST_F(FilesTest, ReplaceFilePutsTheWrittenBytesInThePlaceOfTheOld) {
  const std::string temporary = (Folder() / "quill.tmp").string();
  const std::string target = (Folder() / "quill.dat").string();
  std::ofstream(target) << "old contents, longer than the new";
  std::string data(100000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31);
  FileHandle file = CreateNewFile(temporary.c_str());
  ASSERT_NE(file, NoFile);
  EXPECT_EQ(WriteToFile(file, data.data(), data.size()), data.size());
  EXPECT_TRUE(FlushFileToDisk(file));
  EXPECT_TRUE(CloseFile(file));
  EXPECT_TRUE(ReplaceFile(temporary.c_str(), target.c_str()));
  EXPECT_FALSE(fs::exists(temporary));

  file = OpenFileForReading(target.c_str());
  std::string back(data.size() + 10, 'x');
  EXPECT_EQ(ReadFromFile(file, back.data(), back.size()), data.size());
  back.resize(data.size());
  EXPECT_EQ(back, data);
  EXPECT_TRUE(CloseFile(file));
}

// A pipe left where a picture, a sound, the records or a script belong
// blocks whoever opens it until someone writes to it: nobody ever will.
TEST_F(FilesTest, APipeInPlaceOfAFileReadsAsNoFileWithoutWaiting) {
  const std::string pipe = (Folder() / "quill.dat").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  StartHost();
  const pid_t child = fork();
  if (child == 0) {
    const bool none = OpenFileForReading(pipe.c_str()) == NoFile &&
                      OpenFileForUpdate(pipe.c_str()) == NoFile &&
                      !PlaySoundFile(pipe.c_str(), SoundFileName | SoundNoStop | SoundAsync);
    int width, height;
    std::vector<uint8_t> pixels;
    const bool noIcon = !host::detail::ReadPngRgba(pipe, &width, &height, &pixels);
    host::Stop();
    host::Options options;
    options.Headless = true;
    options.ScriptPath = pipe;
    _exit(none && noIcon && !host::Start(options, nullptr) ? 0 : 1);
  }
  int status = -1;
  for (int waited = 0; waited < 500 && waitpid(child, &status, WNOHANG) == 0; ++waited) {
    usleep(10'000);
  }
  if (status == -1) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  EXPECT_EQ(status, 0) << "-1: still waiting after five seconds";
  EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST(PlayerDataFolder, FollowsTheBaseDirectoryRules) {
  // XDG_DATA_HOME and HOME, then the folder; a relative XDG_DATA_HOME does
  // not count.
  const std::tuple<const char*, const char*, const char*> rows[] = {
      {"/data", "/home/p", "/data/quillmoth/"},
      {"relative", "/home/p", "/home/p/.local/share/quillmoth/"},
      {nullptr, "/home/p", "/home/p/.local/share/quillmoth/"},
      {nullptr, nullptr, ""}};
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  for (const auto& [data, home, folder] : rows) {
    data ? setenv("XDG_DATA_HOME", data, 1) : unsetenv("XDG_DATA_HOME");
    home ? setenv("HOME", home, 1) : unsetenv("HOME");
    char buffer[64] = "unchanged";
    EXPECT_EQ(GetPlayerDataFolder(buffer, sizeof buffer), std::strlen(folder));
    EXPECT_STREQ(*folder != '\0' ? buffer : folder, folder);
  }
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
