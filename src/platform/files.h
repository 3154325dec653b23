// File helpers the host's own loaders share (sounds, the icon, scripts).
#pragma once

#include <string>

namespace host::detail {

// True when a plain file lies at the path (through links). Anything else, a
// pipe above all, is never opened by the host's loaders: a pipe nobody
// writes to would block the game's start for ever.
bool IsPlainFile(const std::string& path);

// A folder an environment variable names, when it names one by its full
// path; empty otherwise. The desktop's base-directory rules say a relative
// value is to be ignored: it would mean another folder from every working
// folder, and copies started in two of them would never meet.
std::string FolderFromEnvironment(const char* name);
// Where temporary folders go: $TMPDIR when it is a full path, else /tmp.
std::string TemporaryFolder();

// From now on the game, opening `original` to read it, gets `substitute`
// instead: how faces made from the player's pictures stand in for the
// game's own without its folder being touched. The file is known by device
// and inode, so a link to it or another spelling of its path counts too.
// False when `original` is no plain file.
bool ReadInstead(const std::string& original, const std::string& substitute);
void ForgetSubstitutes();

}  // namespace host::detail
