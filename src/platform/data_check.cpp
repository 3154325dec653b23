// Says, before the game starts, which of its pictures and sounds are not
// there. The game itself never reports a missing file (it draws black or
// stays silent), so a copy run without its folders would show a black
// window and nothing else.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/files.h"
#include "platform/host.h"

namespace host {
namespace {

// What the game reads from beside the program file.
std::vector<std::string> PictureNames() {
  std::vector<std::string> names;
  for (int face = 1; face <= 40; ++face) names.push_back("b" + std::to_string(face) + ".tga");
  for (const char* name : {"block.tga", "panel2.tga", "backdrop.tga", "panel3.tga", "panel4.tga",
                           "front.tga", "highscr.tga", "about.tga"}) {
    names.emplace_back(name);
  }
  return names;
}

// Missing, unreadable, or empty: the game creates an empty file where a
// picture is missing, and reads it as nothing from then on.
bool Usable(const std::string& path) {
  std::error_code error;
  return detail::IsPlainFile(path) && access(path.c_str(), R_OK) == 0 &&
         std::filesystem::file_size(path, error) > 0 && !error;
}

}  // namespace

void ReportMissingData() {
  const std::string module = detail::ModulePath();
  const std::string folder = module.substr(0, module.rfind('/'));
  const struct {
    const char* Sub;
    std::vector<std::string> Names;
    const char* What;
    const char* Effect;
  } folders[] = {
      {"Graph", PictureNames(), "pictures", "those parts of the screen stay black"},
      {"Sound",
       {"new.wav", "select.wav", "click.wav", "fade.wav", "startup.wav"},
       "sounds",
       "those effects stay silent"},
  };
  for (const auto& [sub, names, what, effect] : folders) {
    std::string path = folder + "/" + sub;
    // A replay's folder links to the program's own: that is the one to name.
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
      path = std::filesystem::read_symlink(path, error).string();
    }
    size_t missing = 0;
    for (const std::string& name : names) missing += Usable(path + "/" + name) ? 0 : 1;
    if (missing == 0) continue;
    std::fprintf(stderr, "quillmoth: %zu of %zu %s missing or unreadable in %s: %s\n", missing,
                 names.size(), what, path.c_str(), effect);
  }
}

}  // namespace host
