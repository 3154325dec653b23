// On the desktop a run gets a window unless it asked to be headless; between
// runs a headless backend with its clock at 0 stands in.
#include <memory>
#include <string>

#include "platform/backend.h"
#include "platform/desktop/backends.h"

namespace host::detail {

std::unique_ptr<Backend> MakeBackend(const Options& options, std::string* error) {
  if (options.Headless) return MakeHeadlessBackend(options);
  return MakeSdlBackend(options, error);
}

std::unique_ptr<Backend> MakeIdleBackend() { return MakeHeadlessBackend(Options{}); }

}  // namespace host::detail
