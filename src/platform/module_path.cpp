// The program's own path, from which the game finds its data folders.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/backend.h"
#include "platform/platform.h"

namespace {

// The whole link target, however long (paths on Linux are not capped at the
// handheld's 260 characters).
std::string ReadOwnExecutable() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string host::detail::ModulePath() {
  const std::string& given = RunOptions().ModulePath;
  return given.empty() ? ReadOwnExecutable() : given;
}

size_t GetModuleFileName(char* buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  const std::string path = host::detail::ModulePath();
  const size_t length = std::min(path.size(), capacity - 1);
  std::memcpy(buffer, path.data(), length);
  buffer[length] = '\0';
  return length;
}
