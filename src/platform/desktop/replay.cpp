// A replay plays in a folder of its own, made in the temporary folder for
// the run: the game finds its pictures and sounds there through links to the
// program's own folders, and beside them a records file holding what the
// recorded game loaded. So the replay shows the banners and the table the
// recorded game showed, wherever it runs, and whatever records it breaks
// are saved there and go with the folder: the player's records file, beside
// the program or in the player's data folder, is never read or written.
#include "platform/replay.h"

#include <stdlib.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/backend.h"
#include "platform/files.h"
#include "platform/script.h"

namespace host::detail {
namespace {

namespace fs = std::filesystem;

fs::path& Folder() {
  static fs::path folder;
  return folder;
}

// The records file's layout: twelve 32-bit values, least significant byte
// first (see game/records.cpp).
bool WriteRecords(const fs::path& path, const std::array<uint32_t, 12>& values) {
  std::array<char, 48> bytes{};
  for (size_t i = 0; i < values.size(); ++i) {
    for (size_t b = 0; b < 4; ++b) bytes[i * 4 + b] = static_cast<char>(values[i] >> (8 * b));
  }
  std::ofstream file(path, std::ios::binary);
  return static_cast<bool>(file.write(bytes.data(), bytes.size()).flush());
}

}  // namespace

bool PrepareReplay(Options* settings, std::string* error) {
  const ScriptHeader& header = LoadedScriptHeader();
  const std::string& recording = settings->ReplayPath;
  if (!header.TickStart || !header.Records) {
    *error = recording + ": not a recording: it does not begin with the " +
             (header.TickStart ? "\"# records\"" : "\"# tick-start\"") +
             " line that every recording has";
    return false;
  }
  const std::string temp = TemporaryFolder();
  std::string pattern = temp + "/quillmoth-replay-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    *error = "cannot make a folder for the replay in " + temp;
    return false;
  }
  std::error_code failure;
  Folder() = pattern;
  const fs::path program = fs::path(ModulePath()).parent_path();
  for (const char* data : {"Graph", "Sound"}) {
    fs::create_directory_symlink(program / data, Folder() / data, failure);
    if (failure) break;
  }
  if (failure || !WriteRecords(Folder() / "quill.dat", *header.Records)) {
    *error = "cannot prepare the replay's folder " + Folder().string();
    RemoveReplayFolder();
    return false;
  }
  settings->ModulePath = (Folder() / "quillmoth").string();
  return true;
}

void RemoveReplayFolder() {
  if (Folder().empty()) return;
  std::error_code ignored;
  // Removes the links, never what they lead to.
  fs::remove_all(Folder(), ignored);
  Folder().clear();
}

}  // namespace host::detail
