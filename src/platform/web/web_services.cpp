// The desktop services that a web page does without or does differently.
// A browser tab is its own copy of the game, so no copy looks for another;
// the page's manifest carries the icon; nothing on the page asks for a PNG
// (it has no scripts, and the browser saves the canvas itself), and nothing
// plays a recording back (the page only makes them; the desktop replays).
#include <string>

#include "platform/backend.h"
#include "platform/host.h"
#include "platform/icon.h"
#include "platform/platform.h"
#include "platform/png_file.h"
#include "platform/replay.h"
#include "platform/single_instance.h"

namespace host {
namespace detail {

void RegisterRunningCopy() {}
bool FindRunningCopy() { return false; }
bool AskRunningCopyToShow() { return false; }
void CollectShowRequests() {}
void ResetSingleInstance() {}

const IconImage* IconFromHandle(IconHandle) { return nullptr; }
void ResetIcons() {}

bool WritePngRgb(const std::string&, std::span<const uint8_t>, int, int) { return false; }

bool PrepareReplay(Options*, std::string* error) {
  *error = "the page plays no recordings: replay them with the desktop program";
  return false;
}
void RemoveReplayFolder() {}

}  // namespace detail
}  // namespace host

IconHandle LoadIconResource(InstanceHandle, int) { return nullptr; }
