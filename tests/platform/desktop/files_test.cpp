// The files and folders the host reads and writes for the player: data and
// pictures folders, screenshot names, shots, and whatever lies in a file's
// place.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/desktop/screenshot.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "platform/png_file.h"
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
}

// F12's shots share the pictures folder with whoever else writes there: a
// shot takes the first name nothing has taken, as a new file of its own.
// Files under taken names stay as they were; links there, to a file or to
// nowhere, are never written through, even under the last name.
TEST_F(FilesTest, AScreenshotIsANewFileUnderTheFirstFreeNameAndNothingElseChanges) {
  StartHost();
  std::tm when{};
  strptime("2026-12-07 14:03:09", "%Y-%m-%d %H:%M:%S", &when);
  const fs::path outside = Folder() / "outside.png", nowhere = Folder() / "nowhere.png";
  std::ofstream(outside) << "someone else's picture";
  const mode_t mask = umask(022);
  // How many names are taken before the shot (the first by a link to
  // nowhere, the second by a link to a file outside, the third by a file,
  // and so on), the factor, and the number of the name the shot takes (0:
  // none is free).
  const std::tuple<int, int, int> cases[] = {{0, 1, 1}, {3, 3, 4}, {999, 2, 1000}, {1000, 1, 0}};
  for (const auto& [taken, factor, number] : cases) {
    SCOPED_TRACE(taken);
    const fs::path folder = Folder() / ("shots-" + std::to_string(taken));
    fs::create_directories(folder);
    const auto name = [&](int n) {
      return folder /
             ("quillmoth-2026-12-07-14-03-09" + (n > 1 ? "-" + std::to_string(n) : "") + ".png");
    };
    for (int n = 1; n <= taken; ++n) {
      if (n % 3 == 0) {
        std::ofstream(name(n)) << "taken " << n;
      } else {
        fs::create_symlink(n % 3 == 1 ? nowhere : outside, name(n));
      }
    }
    testing::internal::CaptureStderr();
    const host::detail::Screenshot shot = host::detail::SaveScreenshotIn(folder, when, factor);
    const std::string said = testing::internal::GetCapturedStderr();
    if (number == 0) {
      EXPECT_EQ(shot.Path, "");
      EXPECT_EQ(said, "quillmoth: no free name for a screenshot in " + folder.string() +
                          ": quillmoth-2026-12-07-14-03-09.png and -2 to -1000 are all taken\n");
      EXPECT_EQ(shot.Title, "screenshot not saved: no free name in " + folder.string());
    } else {
      EXPECT_EQ(shot.Path, name(number).string());
      EXPECT_EQ(said, "quillmoth: screenshot saved to " + name(number).string() + "\n");
      EXPECT_EQ(shot.Title, "screenshot saved to " + name(number).filename().string());
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(name(number))));
      EXPECT_EQ(PngSize(name(number)), std::pair(240 * factor, 320 * factor));
      // An ordinary new file, as the player's umask makes them.
      EXPECT_EQ(fs::status(name(number)).permissions(), fs::perms(0644));
    }
    for (int n = 1; n <= taken; ++n) {
      if (n % 3 == 0) {
        EXPECT_EQ(ReadFile(name(n)), "taken " + std::to_string(n)) << n;
      } else {
        EXPECT_EQ(fs::read_symlink(name(n)), n % 3 == 1 ? nowhere : outside) << n;
      }
    }
    // No temporary file left behind, nor anything else.
    const auto entries = std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    EXPECT_EQ(entries, taken + (number > 0 ? 1 : 0));
  }
  umask(mask);
  EXPECT_EQ(ReadFile(outside), "someone else's picture");
  EXPECT_FALSE(fs::exists(fs::symlink_status(nowhere)));

  // A folder so deep that the picture fits in it under a short temporary
  // name but no shot's name does: nothing is left in it, and the reason is
  // said, even to root. (A folder that takes no new files at all, /proc:
  // SdlBackendTest's ShotsFollowTheWindowsFactor.)
  std::string deep = Folder().string();
  while (deep.size() < 3900) deep += "/" + std::string(100, 'd');
  deep += "/" + std::string(4065 - deep.size(), 'e');  // 4066 bytes: the name ends past PATH_MAX
  fs::create_directories(deep);
  testing::internal::CaptureStderr();
  const host::detail::Screenshot refused = host::detail::SaveScreenshotIn(deep, when, 1);
  const std::string said = testing::internal::GetCapturedStderr();
  const std::string reason = std::strerror(ENAMETOOLONG);
  EXPECT_EQ(refused.Path, "");
  EXPECT_TRUE(said.starts_with("quillmoth: cannot write a screenshot in " + deep + ": " + reason))
      << said;
  EXPECT_TRUE(refused.Title.starts_with("screenshot not saved: " + reason)) << refused.Title;
  EXPECT_TRUE(fs::is_empty(deep));
}

// The line on standard error is the player's way to the shot from any
// folder: a full path even when the shot went to the working folder, for
// want of a pictures folder, or to a relative XDG_PICTURES_DIR.
TEST_F(FilesTest, AScreenshotIsToldByItsFullPath) {
  StartHost();
  const fs::path work = Folder() / "work";
  fs::create_directories(work / "shots");
  const fs::path workPath = fs::canonical(work);
  fs::current_path(work);
  setenv("HOME", Folder().c_str(), 1);  // no ~/Pictures, no user-dirs.dirs
  unsetenv("XDG_CONFIG_HOME");
  using Text = std::optional<std::string>;
  // XDG_PICTURES_DIR, and the folder the shot must be said to be in.
  const std::pair<Text, fs::path> cases[] = {{std::nullopt, workPath},
                                             {"shots", workPath / "shots"},
                                             {"./shots/../shots/", workPath / "shots"}};
  for (const auto& [variable, expected] : cases) {
    SetVariable("XDG_PICTURES_DIR", variable);
    testing::internal::CaptureStderr();
    const host::detail::Screenshot shot = host::detail::SaveScreenshot(1);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(fs::path(shot.Path).parent_path(), expected) << said;
    EXPECT_EQ(said, "quillmoth: screenshot saved to " + shot.Path + "\n");
    EXPECT_TRUE(fs::is_regular_file(shot.Path)) << shot.Path;
  }
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
  EXPECT_EQ(PngSize(old), std::pair(240, 320));
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

// The records' save leans on these: a new file is made only where nothing
// lies, and the file that replaces another keeps its mode and never takes
// the place of a link.
TEST_F(FilesTest, ANewFileIsMadeOnlyWhereNothingLiesAndAReplacementSparesLinksAndModes) {
  const fs::path taken = Folder() / "taken", fresh = Folder() / "fresh", link = Folder() / "link";
  std::ofstream(taken) << "kept";
  EXPECT_EQ(CreateNewFile(taken.c_str()), NoFile);
  EXPECT_EQ(ReadFile(taken), "kept");
  fs::permissions(taken, fs::perms(0600));
  std::ofstream(fresh) << "new";
  EXPECT_TRUE(ReplaceFile(fresh.c_str(), taken.c_str()));
  EXPECT_EQ(ReadFile(taken), "new");
  EXPECT_EQ(fs::status(taken).permissions(), fs::perms(0600));
  fs::create_symlink(taken, link);
  std::ofstream(fresh) << "newer";
  EXPECT_FALSE(ReplaceFile(fresh.c_str(), link.c_str()));
  EXPECT_TRUE(fs::is_symlink(link));
}

// Folders named by the environment count only by their full path; a
// relative temporary folder falls back to /tmp as a missing one does.
TEST_F(FilesTest, RelativeFoldersFromTheEnvironmentCountAsNone) {
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
}

}  // namespace
