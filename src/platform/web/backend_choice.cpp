// A page has one backend, for its run and between runs alike: the page's
// canvas, pointer, Web Audio and clock.
#include <memory>
#include <string>

#include "platform/backend.h"
#include "platform/web/web_backend.h"

namespace host::detail {

std::unique_ptr<Backend> MakeBackend(const Options& options, std::string*) {
  return MakeWebBackend(options);
}

std::unique_ptr<Backend> MakeIdleBackend() { return MakeWebBackend(Options{}); }

}  // namespace host::detail
