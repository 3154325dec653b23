// The desktop's two backends; backend_choice.cpp picks one for each run.
#pragma once

#include <memory>
#include <string>

#include "platform/backend.h"

namespace host::detail {

std::unique_ptr<Backend> MakeHeadlessBackend(const Options& options);
// nullptr, with the reason in *error, when SDL cannot open its video device.
std::unique_ptr<Backend> MakeSdlBackend(const Options& options, std::string* error);

}  // namespace host::detail
