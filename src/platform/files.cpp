// Plain file access on POSIX descriptors; a FileHandle is the descriptor.
#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "platform/platform.h"

FileHandle OpenFileForReading(const char* path) {
  if (path == nullptr) return NoFile;
  // The game opens its records and pictures this way even when they do not
  // exist yet; a missing file is created empty, as the handheld's "open
  // always" did, and then simply reads as nothing.
  int fd;
  do {
    fd = open(path, O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  return fd < 0 ? NoFile : fd;
}

FileHandle CreateFileForWriting(const char* path) {
  if (path == nullptr) return NoFile;
  int fd;
  do {
    fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  return fd < 0 ? NoFile : fd;
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
  if (from == nullptr || to == nullptr || std::rename(from, to) != 0) return false;
  // The rename lives in the folder's own entry: flush the folder too, or a
  // power cut right after a save could bring the old file back.
  std::string folder(to);
  const size_t slash = folder.rfind('/');
  folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
  const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor >= 0) {
    fsync(descriptor);
    close(descriptor);
  }
  return true;
}

bool RemoveFile(const char* path) { return path != nullptr && unlink(path) == 0; }
