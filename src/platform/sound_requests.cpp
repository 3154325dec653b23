// The one door every effect goes through, on the desktop and in the page:
// the request is noted when a run asks for a log, and handed to the backend
// unless the player muted the program.
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace host {
namespace {

std::vector<SoundRequest>& Requests() {
  static std::vector<SoundRequest> requests;
  return requests;
}

}  // namespace

const std::vector<SoundRequest>& SoundRequests() { return Requests(); }

namespace detail {

void ResetSound() { Requests().clear(); }

}  // namespace detail
}  // namespace host

bool PlaySoundFile(const char* path, uint32_t flags) {
  if (path == nullptr) return false;
  const host::Options& options = host::detail::RunOptions();
  if (options.LogSounds) host::Requests().push_back({path, flags});
  if (options.Mute) return true;
  // Every request plays in the background: the game never asks to wait.
  return host::detail::CurrentBackend().PlaySound(path, flags);
}
