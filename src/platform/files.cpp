// Plain file access on POSIX descriptors; a FileHandle is the descriptor.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/platform.h"

namespace {

int OpenRetrying(const char* path, int flags) {
  int fd;
  do {
    fd = open(path, flags | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Only a plain file is a picture or a records file. A pipe, a device or a
// socket put in its place is treated as no file at all: opening it is done
// without blocking, so a pipe with nobody at the other end cannot hang the
// game, and a device is never read or written as if it held the game's data.
FileHandle KeepIfRegular(int fd) {
  if (fd < 0) return NoFile;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return NoFile;
  }
  return fd;
}

struct Substitute {
  dev_t Device;
  ino_t Inode;
  std::string Path;
};

std::vector<Substitute>& Substitutes() {
  static std::vector<Substitute> table;
  return table;
}

// The game's file `fd` is kept unless a substitute stands in for it and can
// be read.
FileHandle WithSubstitute(FileHandle fd) {
  if (fd == NoFile || Substitutes().empty()) return fd;
  struct stat info;
  if (fstat(fd, &info) != 0) return fd;
  for (const Substitute& entry : Substitutes()) {
    if (entry.Device != info.st_dev || entry.Inode != info.st_ino) continue;
    const FileHandle other =
        KeepIfRegular(OpenRetrying(entry.Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY));
    if (other == NoFile) return fd;
    close(fd);
    return other;
  }
  return fd;
}

}  // namespace

bool host::detail::ReadInstead(const std::string& original, const std::string& substitute) {
  struct stat info;
  if (stat(original.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  Substitutes().push_back({info.st_dev, info.st_ino, substitute});
  return true;
}

void host::detail::ForgetSubstitutes() { Substitutes().clear(); }

FileHandle OpenFileForReading(const char* path) {
  if (path == nullptr) return NoFile;
  // The game opens its records and pictures this way even when they do not
  // exist yet; a missing file is created empty, as the handheld's "open
  // always" did, and then simply reads as nothing.
  return WithSubstitute(
      KeepIfRegular(OpenRetrying(path, O_RDONLY | O_CREAT | O_NONBLOCK | O_NOCTTY)));
}

FileHandle CreateNewFile(const char* path) {
  if (path == nullptr) return NoFile;
  // O_EXCL with O_NOFOLLOW: whatever already lies at the path, a link
  // planted there above all, makes this fail instead of being written
  // through.
  return OpenRetrying(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW);
}

FileHandle OpenFileForUpdate(const char* path) {
  if (path == nullptr) return NoFile;
  return KeepIfRegular(OpenRetrying(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY));
}

bool TruncateFile(FileHandle file, uint64_t length) {
  return file >= 0 && ftruncate(file, static_cast<off_t>(length)) == 0;
}

size_t ReadFromFile(FileHandle file, void* buffer, size_t count) {
  if (file < 0 || buffer == nullptr) return 0;
  auto* at = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t got = read(file, at + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // end of file or an error: report what was read
    done += static_cast<size_t>(got);
  }
  return done;
}

size_t WriteToFile(FileHandle file, const void* buffer, size_t count) {
  if (file < 0 || buffer == nullptr) return 0;
  const auto* at = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t put = write(file, at + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += static_cast<size_t>(put);
  }
  return done;
}

bool FlushFileToDisk(FileHandle file) { return file >= 0 && fsync(file) == 0; }

bool CloseFile(FileHandle file) {
  // Linux releases the descriptor even when close reports EINTR, so it is
  // never retried.
  return file >= 0 && close(file) == 0;
}

bool ReplaceFile(const char* from, const char* to) {
  if (from == nullptr || to == nullptr) return false;
  struct stat old;
  if (lstat(to, &old) == 0) {
    // A rename would put a file of ours in the place of a link the player
    // made, or of a file that belongs to someone else (a copy shared by a
    // group): both would lose what they are. The caller writes those in
    // place instead.
    if (S_ISLNK(old.st_mode) || old.st_uid != geteuid()) return false;
    // The new file keeps the old one's permissions.
    if (chmod(from, old.st_mode & 07777) != 0) return false;
  }
  if (std::rename(from, to) != 0) return false;
  // The rename lives in the folder's own entry: flush the folder too, or a
  // power cut right after a save could bring the old file back.
  std::string folder(to);
  const size_t slash = folder.rfind('/');
  folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
  // A folder flush that fails is a save that may not last (the page's
  // storage refusing a write ends up here): the caller then writes the
  // records in place, whose own flush says whether they are kept. Some file
  // systems cannot flush a folder at all (EINVAL); theirs is no failure.
  const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  bool flushed = true;
  if (descriptor >= 0) {
    flushed = fsync(descriptor) == 0 || errno == EINVAL;
    close(descriptor);
  }
  return flushed;
}

bool RemoveFile(const char* path) { return path != nullptr && unlink(path) == 0; }

bool PathExists(const char* path) {
  struct stat info;
  return path != nullptr && stat(path, &info) == 0;
}

bool PathWritable(const char* path) { return path != nullptr && access(path, W_OK) == 0; }

bool PlainFileWritable(const char* path) {
  return path != nullptr && host::detail::IsPlainFile(path) && access(path, W_OK) == 0;
}

bool CreateFolders(const char* path) {
  if (path == nullptr) return false;
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return std::filesystem::is_directory(path, error);
}

size_t GetPlayerDataFolder(char* buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  // As the XDG base directory rules say: a relative $XDG_DATA_HOME is to be
  // ignored, as is an empty one.
  std::string folder;
  const char* data = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (data != nullptr && data[0] == '/') {
    folder = std::string(data) + "/quillmoth/";
  } else if (home != nullptr && home[0] == '/') {
    folder = std::string(home) + "/.local/share/quillmoth/";
  } else {
    return 0;
  }
  if (folder.size() >= capacity) return 0;
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return folder.size();
}

std::string host::detail::FolderFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? value : "";
}

std::string host::detail::TemporaryFolder() {
  const std::string named = FolderFromEnvironment("TMPDIR");
  return named.empty() ? "/tmp" : named;
}

bool host::detail::IsPlainFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
