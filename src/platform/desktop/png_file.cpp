#include "platform/png_file.h"

#include "platform/files.h"

#include <png.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace host::detail {

namespace {

bool WriteToStream(FILE* stream, std::span<const uint8_t> rgb, int width, int height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  const int ok = png_image_write_to_stdio(&image, stream, 0, rgb.data(), width * 3, nullptr);
  png_image_free(&image);
  return ok != 0 && std::fflush(stream) == 0 && std::ferror(stream) == 0;
}

// Writes into a descriptor and closes it; false when any byte failed.
bool WriteAndClose(int fd, std::span<const uint8_t> rgb, int width, int height) {
  FILE* stream = fdopen(fd, "wb");
  if (stream == nullptr) {
    close(fd);
    return false;
  }
  const bool written = WriteToStream(stream, rgb, width, height);
  return std::fclose(stream) == 0 && written;
}

// Makes a new file from `pattern` (its last six characters "XXXXXX"), never
// through a link, with these permissions, and writes the picture into it
// whole. Its path, or empty with errno telling why; nothing is left behind
// on failure.
std::string WriteTemporary(std::string pattern, mode_t mode, std::span<const uint8_t> rgb,
                           int width, int height) {
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return "";
  // mkstemp makes the file private; a shot is an ordinary file.
  fchmod(fd, mode);
  if (!WriteAndClose(fd, rgb, width, height)) {
    const int error = errno;
    unlink(pattern.c_str());
    errno = error;
    return "";
  }
  return pattern;
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool Fits(std::span<const uint8_t> rgb, int width, int height) {
  return width > 0 && height > 0 &&
         rgb.size() >= static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
}

}  // namespace

bool WritePngRgb(const std::string& path, std::span<const uint8_t> rgb, int width, int height) {
  if (path.empty() || !Fits(rgb, width, height)) return false;
  // A device, a pipe or a terminal (/dev/stdout, a FIFO a program reads)
  // gets the bytes directly: there is nothing to replace, and a failed shot
  // must never remove a path this program did not create.
  struct stat info {};
  const bool exists = stat(path.c_str(), &info) == 0;
  const bool regular = exists && S_ISREG(info.st_mode);
  if (exists && !regular) {
    if (S_ISDIR(info.st_mode)) return false;
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    return fd >= 0 && WriteAndClose(fd, rgb, width, height);
  }
  // A plain file, or none yet: the picture is written whole beside it and
  // then takes its place, so a failed shot leaves the old file as it was.
  // Through a link the file it points to is replaced, and the link stays:
  // a script names its path on purpose.
  char resolved[PATH_MAX];
  const std::string target =
      regular && realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
  const std::string temporary = WriteTemporary(
      target + ".XXXXXX", regular ? info.st_mode & 07777 : NewFileMode(), rgb, width, height);
  if (temporary.empty()) return false;
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

std::string WritePngRgbInFolder(const std::string& folder, std::span<const uint8_t> rgb, int width,
                                int height) {
  if (folder.empty() || !Fits(rgb, width, height)) {
    errno = EINVAL;
    return "";
  }
  // Hidden, so that a file manager never offers a picture still being
  // written, nor one a crash cut short.
  return WriteTemporary(folder + "/.quillmoth-shot-XXXXXX", NewFileMode(), rgb, width, height);
}

bool ReadPngRgba(const std::string& path, int* width, int* height, std::vector<uint8_t>* rgba) {
  if (!IsPlainFile(path)) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return false;
  image.format = PNG_FORMAT_RGBA;
  // A desktop icon larger than this is a mistake, not an icon.
  if (image.width == 0 || image.height == 0 || image.width > 1024 || image.height > 1024) {
    png_image_free(&image);
    return false;
  }
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return false;
  }
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  *rgba = std::move(pixels);
  return true;
}

}  // namespace host::detail
