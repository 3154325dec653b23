#include "platform/screenshot.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedVariable() { Set(old_); }

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

class ScreenshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::temp_directory_path() / ("quillmoth-screenshot-" + std::to_string(getpid()));
    fs::remove_all(home_);
    fs::create_directories(home_);
  }
  void TearDown() override { fs::remove_all(home_); }
  fs::path home_;
};

TEST_F(ScreenshotTest, PicturesFolderFromTheEnvironmentThenUserDirsThenHome) {
  const std::string home = home_.string();
  const struct {
    const char* Name;
    std::optional<std::string> Variable;  // XDG_PICTURES_DIR
    std::optional<std::string> UserDirs;  // ~/.config/user-dirs.dirs
    bool HasPictures;                     // ~/Pictures exists
    std::string Expected;
  } cases[] = {
      {"variable", home + "/shots", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", true, home + "/shots"},
      {"user-dirs", std::nullopt,
       "# written by the desktop\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
       "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
       true, home + "/Bilder"},
      {"absolute", "", "XDG_PICTURES_DIR=\"" + home + "/elsewhere\"\n", false, home + "/elsewhere"},
      {"commented", std::nullopt, "# XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", true,
       home + "/Pictures"},
      {"unquoted", std::nullopt, "XDG_PICTURES_DIR=$HOME/Bilder\n", true, home + "/Pictures"},
      {"nothing", std::nullopt, std::nullopt, false, "."},
  };
  ScopedVariable homeVariable("HOME", home);
  ScopedVariable config("XDG_CONFIG_HOME", std::nullopt);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    for (const char* folder : {".config", "shots", "Bilder", "elsewhere", "Pictures"}) {
      fs::remove_all(home_ / folder);
    }
    if (c.UserDirs) {
      fs::create_directories(home_ / ".config");
      std::ofstream(home_ / ".config/user-dirs.dirs") << *c.UserDirs;
    }
    if (c.HasPictures) fs::create_directories(home_ / "Pictures");
    ScopedVariable pictures("XDG_PICTURES_DIR", c.Variable);
    EXPECT_EQ(host::detail::PicturesFolder(), c.Expected);
    // A folder the player named is made; ~/Pictures never is.
    EXPECT_TRUE(fs::is_directory(c.Expected));
    EXPECT_EQ(fs::exists(home_ / "Pictures"), c.HasPictures);
  }

  // user-dirs.dirs is looked for in $XDG_CONFIG_HOME when that is set.
  fs::create_directories(home_ / "config");
  std::ofstream(home_ / "config/user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/fromconfig\"\n";
  ScopedVariable configHome("XDG_CONFIG_HOME", home + "/config");
  ScopedVariable pictures("XDG_PICTURES_DIR", std::nullopt);
  EXPECT_EQ(host::detail::PicturesFolder(), home + "/fromconfig");
}

TEST_F(ScreenshotTest, NamedByDateAndTimeWithANumberWhenTaken) {
  std::tm when{};
  when.tm_year = 2026 - 1900;
  when.tm_mon = 11;
  when.tm_mday = 7;
  when.tm_hour = 14;
  when.tm_min = 3;
  when.tm_sec = 9;
  const std::string folder = home_.string();
  const std::string first = folder + "/quillmoth-2026-12-07-14-03-09.png";
  EXPECT_EQ(host::detail::FreeScreenshotPath(folder, when), first);
  // A link pointing nowhere takes its name too: nothing is written through it.
  fs::create_symlink(home_ / "nowhere", first);
  EXPECT_EQ(host::detail::FreeScreenshotPath(folder, when),
            folder + "/quillmoth-2026-12-07-14-03-09-2.png");
  std::ofstream(folder + "/quillmoth-2026-12-07-14-03-09-2.png") << "x";
  EXPECT_EQ(host::detail::FreeScreenshotPath(folder, when),
            folder + "/quillmoth-2026-12-07-14-03-09-3.png");
}

}  // namespace
