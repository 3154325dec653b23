// File helpers the host's own loaders share (sounds, the icon, scripts).
#pragma once

#include <string>

namespace host::detail {

// True when a plain file lies at the path (through links). Anything else, a
// pipe above all, is never opened by the host's loaders: a pipe nobody
// writes to would block the game's start for ever.
bool IsPlainFile(const std::string& path);

}  // namespace host::detail
