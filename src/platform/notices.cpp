// Telling the player of faults the game cannot show on its own screen.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/host.h"
#include "platform/platform.h"

namespace host {
namespace {

std::vector<Notice>& Kept() {
  static std::vector<Notice> notices;
  return notices;
}

// Enough for any test; a run that meets more faults keeps no more of them.
constexpr size_t KeptNotices = 100;

void Report(const char* text, bool shown) {
  if (text == nullptr) return;
  if (!detail::RunOptions().QuietNotices) {
    std::fprintf(stderr, "quillmoth: %s\n", text);
    std::fflush(stderr);
  }
  if (Kept().size() < KeptNotices) Kept().push_back({text, shown});
}

}  // namespace

const std::vector<Notice>& Notices() { return Kept(); }

namespace detail {

void ResetNotices() { Kept().clear(); }

}  // namespace detail
}  // namespace host

void ReportProblem(const char* text) { host::Report(text, false); }

void TellPlayer(const char* text) {
  host::Report(text, true);
  if (text != nullptr) host::detail::CurrentBackend().ShowNotice(text);
}
