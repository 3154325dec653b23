#include "platform/desktop/screenshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#include "platform/host.h"
#include "platform/png_file.h"

namespace host::detail {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// A folder the player named for pictures is theirs to have: made when it is
// missing, as the desktop's own tools would.
bool UsableFolder(const std::string& path) {
  if (path.empty()) return false;
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return true;
  return std::filesystem::create_directories(path, error) && !error;
}

// The value of the XDG_PICTURES_DIR line in user-dirs.dirs, a shell fragment
// desktops write as XDG_PICTURES_DIR="$HOME/Pictures" (or an absolute path
// in the quotes). Empty when the file or the line is missing or malformed.
std::string PicturesFolderFromUserDirs(const std::string& home) {
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty() || config[0] != '/') {
    if (home.empty()) return "";
    config = home + "/.config";
  }
  std::ifstream file(config + "/user-dirs.dirs");
  std::string line;
  constexpr std::string_view Key = "XDG_PICTURES_DIR=";
  while (std::getline(file, line)) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, Key.size(), Key) != 0) continue;
    std::string_view value = std::string_view(line).substr(start + Key.size());
    while (!value.empty() &&
           (value.back() == ' ' || value.back() == '\t' || value.back() == '\r')) {
      value.remove_suffix(1);
    }
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return "";
    value = value.substr(1, value.size() - 2);
    constexpr std::string_view HomeVariable = "$HOME";
    if (value.starts_with(HomeVariable) &&
        (value.size() == HomeVariable.size() || value[HomeVariable.size()] == '/')) {
      if (home.empty()) return "";
      return home + std::string(value.substr(HomeVariable.size()));
    }
    return value.starts_with('/') ? std::string(value) : "";
  }
  return "";
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;  // a dangling link counts: never write through it
}

std::string Stamp(const std::tm& when) {
  char stamp[64];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H-%M-%S", &when);
  return stamp;
}

std::string ShotName(const std::string& stamp, int number) {
  return "quillmoth-" + stamp + (number > 1 ? "-" + std::to_string(number) : "") + ".png";
}

// A path told to the player must lead to the file from wherever they read
// it: "." or a relative XDG_PICTURES_DIR would not.
std::string AbsoluteFolder(const std::string& folder) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(folder, error);
  if (error) return folder;
  std::string normal = absolute.lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder == "/" ? folder + name : folder + "/" + name;
}

// Gives the finished file `from` the name `to` only when nothing has that
// name, not even a link to nowhere. The kernel looks and names in one step,
// so a file or link that turns up after the names were looked over is still
// never replaced or written through. 0, or the errno (EEXIST: taken).
int TakeFreeName(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return errno;
  // A file system that cannot rename without replacing (NFS, for one)
  // still refuses a hard link to a name that is taken.
  if (link(from.c_str(), to.c_str()) != 0) return errno;
  unlink(from.c_str());
  return 0;
}

// Every display pixel becomes a factor x factor square, as crisp as the
// window shows it.
std::vector<uint8_t> ScaledPicture(int factor) {
  std::vector<uint8_t> picture(ScreenWidth * ScreenHeight * 3);
  ReadDisplayPicture(std::span<uint8_t, ScreenWidth * ScreenHeight * 3>(picture));
  if (factor == 1) return picture;
  const int width = ScreenWidth * factor;
  const int height = ScreenHeight * factor;
  std::vector<uint8_t> scaled(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  for (int y = 0; y < height; ++y) {
    const uint8_t* source = picture.data() + static_cast<size_t>(y / factor) * ScreenWidth * 3;
    uint8_t* out = scaled.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3;
    for (int x = 0; x < width; ++x, out += 3) {
      const uint8_t* pixel = source + static_cast<size_t>(x / factor) * 3;
      out[0] = pixel[0];
      out[1] = pixel[1];
      out[2] = pixel[2];
    }
  }
  return scaled;
}

Screenshot Failed(const std::string& said, const std::string& title) {
  std::fprintf(stderr, "quillmoth: %s\n", said.c_str());
  return {"", "screenshot not saved: " + title};
}

}  // namespace

std::string PicturesFolder() {
  if (const std::string named = Environment("XDG_PICTURES_DIR"); UsableFolder(named)) return named;
  const std::string home = Environment("HOME");
  if (const std::string listed = PicturesFolderFromUserDirs(home); UsableFolder(listed)) {
    return listed;
  }
  std::error_code error;
  if (!home.empty() && std::filesystem::is_directory(home + "/Pictures", error)) {
    return home + "/Pictures";
  }
  return ".";
}

std::string FreeScreenshotPath(const std::string& folder, const std::tm& when) {
  const std::string stamp = Stamp(when);
  // Bounded: a folder with a thousand shots from one second is not a folder
  // to keep searching.
  for (int number = 1; number <= ScreenshotNames; ++number) {
    if (std::string path = Join(folder, ShotName(stamp, number)); !Exists(path)) return path;
  }
  return "";
}

Screenshot SaveScreenshotIn(const std::string& given, const std::tm& when, int factor) {
  factor = std::clamp(factor, 1, 8);
  const std::string folder = AbsoluteFolder(given);
  const std::string stamp = Stamp(when);
  const auto noFreeName = [&] {
    return Failed("no free name for a screenshot in " + folder + ": " + ShotName(stamp, 1) +
                      " and -2 to -" + std::to_string(ScreenshotNames) + " are all taken",
                  "no free name in " + folder);
  };
  // No picture is made for a folder without a name left for it.
  if (FreeScreenshotPath(folder, when).empty()) return noFreeName();
  const std::string written = WritePngRgbInFolder(folder, ScaledPicture(factor),
                                                  ScreenWidth * factor, ScreenHeight * factor);
  if (written.empty()) {
    const std::string reason = std::strerror(errno);
    return Failed("cannot write a screenshot in " + folder + ": " + reason, reason);
  }
  // Every name from the first: the look above was only a guess, and what
  // counts is the kernel's answer at the moment the name is taken.
  int error = EEXIST;
  for (int number = 1; number <= ScreenshotNames && error == EEXIST; ++number) {
    const std::string name = ShotName(stamp, number);
    const std::string path = Join(folder, name);
    error = TakeFreeName(written, path);
    if (error == 0) {
      std::fprintf(stderr, "quillmoth: screenshot saved to %s\n", path.c_str());
      return {path, "screenshot saved to " + name};
    }
  }
  unlink(written.c_str());
  if (error == EEXIST) return noFreeName();
  const std::string reason = std::strerror(error);
  return Failed("cannot write a screenshot in " + folder + ": " + reason, reason);
}

Screenshot SaveScreenshot(int factor) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return SaveScreenshotIn(PicturesFolder(), local, factor);
}

}  // namespace host::detail
