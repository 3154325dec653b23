// The files and folders the host reads and writes for the player: data and
// pictures folders, screenshot names, shots, and whatever lies in a file's
// place.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/files.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/png_file.h"
#include "platform/screenshot.h"
#include "support/headless_host.h"

namespace {

namespace fs = std::filesystem;
using FilesTest = HeadlessHostTest;

// A missing file opened for reading is made, empty, as the handheld does. A
// pipe left where a picture, a sound, the records or a script belong blocks
// whoever opens it until someone writes to it: nobody ever will.
TEST_F(FilesTest, AMissingFileIsMadeAndAPipeReadsAsNoFileWithoutWaiting) {
  const std::string fresh = (Folder() / "new.dat").string();
  EXPECT_TRUE(CloseFile(OpenFileForReading(fresh.c_str())));
  EXPECT_EQ(fs::file_size(fresh), 0u);
  EXPECT_EQ(OpenFileForReading((Folder() / "missing/quill.dat").c_str()), NoFile);
  const std::string pipe = (Folder() / "quill.dat").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  StartHost();
  const pid_t child = fork();
  if (child == 0) {
    alarm(5);  // still waiting after five seconds: killed
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
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(fs::is_fifo(pipe));
}

void SetVariable(const char* name, const std::optional<std::string>& value) {
  value ? setenv(name, value->c_str(), 1) : unsetenv(name);
}

TEST_F(FilesTest, DataAndPicturesFoldersFollowTheEnvironment) {
  using Text = std::optional<std::string>;
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  // The player's data: XDG_DATA_HOME and HOME, then the folder; a relative
  // XDG_DATA_HOME does not count.
  const std::tuple<Text, Text, const char*> dataCases[] = {
      {"/data", "/home/p", "/data/quillmoth/"},
      {"relative", "/home/p", "/home/p/.local/share/quillmoth/"},
      {std::nullopt, "/home/p", "/home/p/.local/share/quillmoth/"},
      {std::nullopt, std::nullopt, ""}};
  for (const auto& [data, home, folder] : dataCases) {
    SetVariable("XDG_DATA_HOME", data);
    SetVariable("HOME", home);
    char buffer[64];
    const size_t length = GetPlayerDataFolder(buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, length), folder);
  }
  unsetenv("XDG_DATA_HOME");

  const std::string home = Folder().string();
  // Shots: $XDG_PICTURES_DIR; user-dirs.dirs, in ~/.config or else in
  // $XDG_CONFIG_HOME; whether ~/Pictures exists; the folder shots go to.
  const std::tuple<Text, Text, const char*, bool, std::string> cases[] = {
      {home + "/shots", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", nullptr, true, home + "/shots"},
      {std::nullopt,
       "# XDG_PICTURES_DIR=\"$HOME/Old\"\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
       "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
       nullptr, true, home + "/Bilder"},
      {"", "XDG_PICTURES_DIR=\"" + home + "/elsewhere\"\n", nullptr, false, home + "/elsewhere"},
      {std::nullopt, "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "config", true, home + "/Bilder"},
      {std::nullopt, "XDG_PICTURES_DIR=$HOME/Bilder\n", nullptr, true, home + "/Pictures"},
      {std::nullopt, std::nullopt, nullptr, false, "."},
  };
  setenv("HOME", home.c_str(), 1);
  for (const auto& [variable, userDirs, configHome, hasPictures, expected] : cases) {
    SCOPED_TRACE(expected);
    fs::remove_all(Folder());
    const fs::path config = Folder() / (configHome ? configHome : ".config");
    if (userDirs) {
      fs::create_directories(config);
      std::ofstream(config / "user-dirs.dirs") << *userDirs;
    }
    if (hasPictures) fs::create_directories(Folder() / "Pictures");
    SetVariable("XDG_PICTURES_DIR", variable);
    SetVariable("XDG_CONFIG_HOME", configHome ? std::optional(config.string()) : std::nullopt);
    EXPECT_EQ(host::detail::PicturesFolder(), expected);
    // A folder the player named is made; ~/Pictures never is.
    EXPECT_TRUE(fs::is_directory(expected));
    EXPECT_EQ(fs::exists(Folder() / "Pictures"), hasPictures);
  }
  unsetenv("XDG_PICTURES_DIR");
  setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(FilesTest, ScreenshotsAreNamedByDateAndTimeWithANumberWhenTaken) {
  std::tm when{};
  strptime("2026-12-07 14:03:09", "%Y-%m-%d %H:%M:%S", &when);
  const auto freeName = [&] { return host::detail::FreeScreenshotPath(Folder().string(), when); };
  const std::string stem = Folder().string() + "/quillmoth-2026-12-07-14-03-09";
  EXPECT_EQ(freeName(), stem + ".png");
  // A link pointing nowhere takes its name too: nothing is written through it.
  fs::create_symlink(Folder() / "nowhere", stem + ".png");
  EXPECT_EQ(freeName(), stem + "-2.png");
  std::ofstream(stem + "-2.png") << "x";
  EXPECT_EQ(freeName(), stem + "-3.png");
}

TEST_F(FilesTest, AShotReplacesOnlyWhatItWroteWholeAndNeverRemovesWhatItDidNotMake) {
  StartHost();
  const fs::path old = Folder() / "old.png", link = Folder() / "link.png";
  std::ofstream(old) << "an older picture";
  fs::permissions(old, fs::perms(0600));
  fs::create_symlink(old, link);
  // Written over an existing file through a link: the file changes, the link
  // and the file's permissions stay.
  EXPECT_TRUE(host::WriteDisplayPng(link.string()));
  EXPECT_TRUE(fs::is_symlink(link));
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  EXPECT_TRUE(host::detail::ReadPngRgba(old, &width, &height, &rgba));
  EXPECT_EQ(fs::status(old).permissions(), fs::perms(0600));
  // A folder that does not exist: nothing is made anywhere.
  EXPECT_FALSE(host::WriteDisplayPng((Folder() / "none" / "shot.png").string()));
  EXPECT_FALSE(host::WriteDisplayPng(Folder().string()));

  // A device that takes no bytes, like /dev/full: the shot fails, and the
  // device is still there afterwards.
  const fs::path full = Folder() / "full";
  if (mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
    GTEST_SKIP() << "no right to make a device node here";
  }
  EXPECT_FALSE(host::WriteDisplayPng(full.string()));
  EXPECT_TRUE(fs::is_character_file(full));
  // Nothing but what the test made is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 3);
}

// Folders named by the environment count only by their full path; a
// relative temporary folder falls back to /tmp as a missing one does.
TEST(FolderNames, RelativeFoldersFromTheEnvironmentCountAsNone) {
  const char* saved = std::getenv("TMPDIR");
  const std::optional<std::string> before =
      saved ? std::optional<std::string>(saved) : std::nullopt;
  const std::tuple<const char*, std::string, std::string> rows[] = {
      {"/var/tmp", "/var/tmp", "/var/tmp"},
      {"tmp", "", "/tmp"},
      {"./tmp", "", "/tmp"},
      {"", "", "/tmp"}};
  for (const auto& [value, named, temporary] : rows) {
    setenv("TMPDIR", value, 1);
    EXPECT_EQ(host::detail::FolderFromEnvironment("TMPDIR"), named) << value;
    EXPECT_EQ(host::detail::TemporaryFolder(), temporary) << value;
  }
  before ? setenv("TMPDIR", before->c_str(), 1) : unsetenv("TMPDIR");
}

}  // namespace
