// One running copy per user.
//
// The handheld let a second start find the first copy's window by its class
// and bring it forward. Desktop processes do not share windows, so copies
// meet in a per-user folder: the running copy holds an flock on
// "Quillmoth.lock" from the moment its game window exists and listens on
// the Unix socket "Quillmoth.sock" beside it. A second copy connects; the
// connection is the window it found, and "show\n" sent over it is the show
// command. The running copy takes requests only while it looks at its
// message queue, like any other input.
//
// A copy that died leaves a socket file nobody listens on: connecting is
// refused, so nobody is found, and the next copy (holding the lock, which
// died with the old process) unlinks the file and binds afresh.
//
// The folder: $QUILLMOTH_RUNTIME_DIR (tests give each run its own), else
// $XDG_RUNTIME_DIR, else (or when that one is not safe to use) a private
// folder (mode 0700) in the temp folder.
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/files.h"
#include "platform/host.h"
#include "platform/single_instance.h"

namespace host {
namespace {

constexpr const char* LockName = "Quillmoth.lock";
constexpr const char* SocketName = "Quillmoth.sock";
constexpr char ShowRequest[] = "show\n";

struct Descriptor {
  int Fd = -1;
  Descriptor() = default;
  explicit Descriptor(int fd) : Fd(fd) {}
  Descriptor(Descriptor&& other) noexcept : Fd(other.Fd) { other.Fd = -1; }
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      Close();
      Fd = other.Fd;
      other.Fd = -1;
    }
    return *this;
  }
  ~Descriptor() { Close(); }
  void Close() {
    if (Fd >= 0) close(Fd);
    Fd = -1;
  }
  explicit operator bool() const { return Fd >= 0; }
};

struct Pending {
  Descriptor Connection;
  std::string Received;
};

struct InstanceState {
  Descriptor Folder;  // kept open for socket paths too long for sun_path
  bool FolderTried = false;
  std::string FolderPath;
  Descriptor Lock;  // held while this copy runs
  Descriptor Listener;
  std::vector<Pending> Waiting;  // accepted, request not complete yet
  Descriptor ToOther;            // connection to the copy found
  bool OtherStarting = false;    // found by its lock, not yet listening
  bool HandedOver = false;       // this copy asked the running one to show
};

InstanceState& State() {
  static InstanceState state;
  return state;
}

// Only a window can be brought to the front. A headless run has none, and
// a replay plays a recording and nothing else: neither is a copy the player
// would want brought forward, nor one that should give way to one.
bool TakesPart() {
  const Options& options = detail::RunOptions();
  return !options.Headless && options.ReplayPath.empty();
}

// The folder the user or the desktop names for running copies to meet in,
// or empty when none is named (a relative name counts as none).
std::string NamedFolder() {
  const std::string& given = detail::RunOptions().RuntimeDir;
  if (!given.empty()) return given;
  const std::string own = detail::FolderFromEnvironment("QUILLMOTH_RUNTIME_DIR");
  return own.empty() ? detail::FolderFromEnvironment("XDG_RUNTIME_DIR") : own;
}

std::string PrivateFolder() {
  return detail::TemporaryFolder() + "/quillmoth-" + std::to_string(getuid());
}

// A folder is used only when it is a real folder of this user's that nobody
// else may write: anyone who could would be able to plant a socket or take
// the lock, and so switch off the protection or pose as the running copy.
// Returns the reason when it is not usable.
std::string TryFolder(const std::string& path, Descriptor* folder) {
  Descriptor opened(open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!opened) {
    return errno == ENOENT    ? "it does not exist"
           : errno == ENOTDIR ? "it is not a folder"
                              : std::strerror(errno);
  }
  struct stat info;
  if (fstat(opened.Fd, &info) != 0) return std::strerror(errno);
  if (info.st_uid != getuid()) return "it belongs to another user";
  if ((info.st_mode & 0022) != 0) return "others may write to it";
  *folder = std::move(opened);
  return {};
}

// Opens the folder where copies meet: the one named, else (or when that one
// is unfit, which is said once on standard error) a private folder of ours
// in the temp folder, made when missing. Without either, this copy runs
// unprotected.
bool OpenFolder() {
  InstanceState& state = State();
  if (state.Folder) return true;
  if (state.FolderTried) return false;
  state.FolderTried = true;
  const std::string named = NamedFolder();
  const std::string fallback = PrivateFolder();
  std::string why;
  if (!named.empty()) {
    why = TryFolder(named, &state.Folder);
    if (why.empty()) {
      state.FolderPath = named;
      return true;
    }
  }
  mkdir(fallback.c_str(), 0700);
  const std::string fallbackWhy = TryFolder(fallback, &state.Folder);
  if (!why.empty()) {
    std::string message = "not meeting other copies in " + named + " (" + why + ")";
    if (fallbackWhy.empty()) message += "; using " + fallback + " instead";
    std::fprintf(stderr, "quillmoth: %s\n", message.c_str());
  }
  if (!fallbackWhy.empty()) {
    std::fprintf(stderr,
                 "quillmoth: cannot use %s to meet other copies (%s): a second copy may start\n",
                 fallback.c_str(), fallbackWhy.c_str());
    return false;
  }
  state.FolderPath = fallback;
  return true;
}

// The socket's address; through /proc/self/fd when the folder's path is too
// long for a socket address (deep test folders).
bool SocketAddress(sockaddr_un* address) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  std::string path = State().FolderPath + "/" + SocketName;
  if (path.size() >= sizeof address->sun_path) {
    path = "/proc/self/fd/" + std::to_string(State().Folder.Fd) + "/" + SocketName;
  }
  if (path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

Descriptor OpenLock() {
  const std::string path = State().FolderPath + "/" + LockName;
  return Descriptor(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
}

// A connection to the listening copy, or nothing when none listens.
Descriptor Connect() {
  sockaddr_un address;
  if (!SocketAddress(&address)) return {};
  Descriptor connection(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!connection) return {};
  const int result =
      connect(connection.Fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  // EAGAIN: the running copy's backlog is full; it is there all the same.
  if (result != 0 && errno != EAGAIN && errno != EINPROGRESS) return {};
  return connection;
}

void TakeRequest(Pending& pending) {
  char buffer[64];
  for (;;) {
    const ssize_t got = recv(pending.Connection.Fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got > 0) {
      pending.Received.append(buffer, static_cast<size_t>(got));
      if (pending.Received.size() > 256) break;  // not one of ours
      continue;
    }
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    break;  // the other copy closed, or the connection failed
  }
  size_t at = 0;
  while ((at = pending.Received.find(ShowRequest, at)) != std::string::npos) {
    detail::CurrentBackend().BringToFront();
    at += sizeof ShowRequest - 1;
  }
  pending.Connection.Close();
}

}  // namespace

namespace detail {

void RegisterRunningCopy() {
  InstanceState& state = State();
  if (!TakesPart() || state.Listener || !OpenFolder()) return;
  // The lock is normally taken already, when the look for a running copy
  // found none; a window made without that look takes it here.
  if (!state.Lock) {
    Descriptor lock = OpenLock();
    // Held by someone else: another copy won the start; this one runs on
    // without being findable.
    if (!lock || flock(lock.Fd, LOCK_EX | LOCK_NB) != 0) return;
    state.Lock = std::move(lock);
  }
  sockaddr_un address;
  if (!SocketAddress(&address)) return;
  unlink(address.sun_path);  // left by a copy that died
  Descriptor listener(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!listener ||
      bind(listener.Fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener.Fd, 16) != 0) {
    return;
  }
  state.Listener = std::move(listener);
}

bool FindRunningCopy() {
  InstanceState& state = State();
  if (!TakesPart()) return false;
  if (state.ToOther || state.OtherStarting) return true;
  if (state.Lock) return false;  // this copy is the running one
  if (!OpenFolder()) return false;
  state.ToOther = Connect();
  if (state.ToOther) return true;
  // Nobody listens. The lock decides between copies started at the same
  // moment: the one that takes it keeps it for its whole run and is the
  // running copy; the others wait for it to start listening.
  Descriptor lock = OpenLock();
  if (!lock) return false;
  if (flock(lock.Fd, LOCK_EX | LOCK_NB) == 0) {
    state.Lock = std::move(lock);
    return false;
  }
  state.OtherStarting = errno == EWOULDBLOCK;
  return state.OtherStarting;
}

bool AskRunningCopyToShow() {
  InstanceState& state = State();
  state.HandedOver = true;
  // A copy found while starting gets a moment to make its window and listen.
  for (int attempt = 0; !state.ToOther && attempt < 200; ++attempt) {
    state.ToOther = Connect();
    if (!state.ToOther) usleep(10000);
  }
  if (!state.ToOther) return false;
  const ssize_t sent = send(state.ToOther.Fd, ShowRequest, sizeof ShowRequest - 1, MSG_NOSIGNAL);
  state.ToOther.Close();
  state.OtherStarting = false;
  return sent == static_cast<ssize_t>(sizeof ShowRequest - 1);
}

void CollectShowRequests() {
  InstanceState& state = State();
  if (!state.Listener) return;
  for (;;) {
    const int fd = accept4(state.Listener.Fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) break;
    state.Waiting.push_back({Descriptor(fd), {}});
  }
  for (Pending& pending : state.Waiting) TakeRequest(pending);
  std::erase_if(state.Waiting, [](const Pending& pending) { return !pending.Connection; });
}

bool HandedOver() { return State().HandedOver; }

void ResetSingleInstance() {
  InstanceState& state = State();
  if (state.Listener) {
    // Only the copy that holds the lock may remove the socket file.
    sockaddr_un address;
    if (SocketAddress(&address)) unlink(address.sun_path);
  }
  state = InstanceState{};
}

}  // namespace detail

bool HandedOver() { return detail::HandedOver(); }

}  // namespace host
