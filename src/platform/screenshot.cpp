#include "platform/screenshot.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
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
  char stamp[64];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H-%M-%S", &when);
  const std::string base = folder + "/quillmoth-" + stamp;
  std::string path = base + ".png";
  // Bounded: a folder with a thousand shots from one second is not a folder
  // to keep searching; the last name is then replaced like any shot path.
  for (int number = 2; number <= 1000 && Exists(path); ++number) {
    path = base + "-" + std::to_string(number) + ".png";
  }
  return path;
}

std::string SaveScreenshot(int factor) {
  factor = factor < 1 ? 1 : factor;
  std::vector<uint8_t> picture(ScreenWidth * ScreenHeight * 3);
  ReadDisplayPicture(std::span<uint8_t, ScreenWidth * ScreenHeight * 3>(picture));
  // Nearest neighbour: every display pixel becomes a factor x factor square,
  // as crisp as the window shows it.
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
  const std::string folder = PicturesFolder();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::string path = FreeScreenshotPath(folder, local);
  if (!WritePngRgb(path, scaled, width, height)) {
    std::fprintf(stderr, "quillmoth: cannot write the screenshot %s\n", path.c_str());
    return "";
  }
  std::fprintf(stderr, "quillmoth: screenshot saved to %s\n", path.c_str());
  return path;
}

}  // namespace host::detail
