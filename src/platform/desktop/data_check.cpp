// Says, before the game starts, which of its pictures and sounds it cannot
// use. The game itself never reports a bad file (it draws black, or whatever
// garbage the file holds, or stays silent), so a copy run with a folder
// missing or damaged would show a broken window and nothing else.
#include <SDL.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/files.h"
#include "platform/host.h"

namespace host {
namespace {

// Every picture is a colour-mapped Targa file of a fixed size: an 18-byte
// header, a map of 256 entries of 3 bytes, then one index a pixel, rows
// bottom-up. The game reads the pixels at fixed places and never looks at
// the header, so a file that is no such picture, or too short for its
// pixels, shows as garbage or black where it is drawn.
struct Picture {
  std::string Name;
  int Width;
  int Height;
};

std::vector<Picture> Pictures() {
  std::vector<Picture> pictures;
  for (int face = 1; face <= 40; ++face)
    pictures.push_back({"b" + std::to_string(face) + ".tga", 30, 30});
  pictures.push_back({"block.tga", 30, 30});
  pictures.push_back({"panel2.tga", 240, 80});
  pictures.push_back({"backdrop.tga", 240, 240});
  pictures.push_back({"panel3.tga", 240, 320});
  pictures.push_back({"panel4.tga", 240, 80});
  pictures.push_back({"front.tga", 240, 240});
  pictures.push_back({"highscr.tga", 240, 120});
  pictures.push_back({"about.tga", 240, 320});
  return pictures;
}

constexpr size_t TargaHeader = 18;
constexpr size_t ColourMapBytes = 256 * 3;

// What is wrong with a file the game needs, or nothing.
std::string Trouble(const std::string& path, uintmax_t* size) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return "missing";
  if (!detail::IsPlainFile(path) || access(path.c_str(), R_OK) != 0) return "unreadable";
  *size = std::filesystem::file_size(path, error);
  if (error) return "unreadable";
  if (*size == 0) return "empty";
  return "";
}

std::string PictureTrouble(const std::string& path, const Picture& picture) {
  uintmax_t size = 0;
  if (std::string trouble = Trouble(path, &size); !trouble.empty()) return trouble;
  std::array<uint8_t, TargaHeader> header{};
  std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(header.data()), TargaHeader);
  const auto word = [&](size_t at) { return header[at] | header[at + 1] << 8; };
  // Colour map present, colour-mapped image, a map of 256 entries of 24
  // bits from index 0, the size the game draws it at, 8 bits a pixel.
  if (size < TargaHeader || header[1] != 1 || header[2] != 1 || word(3) != 0 || word(5) != 256 ||
      header[7] != 24 || word(12) != picture.Width || word(14) != picture.Height ||
      header[16] != 8) {
    return "not a " + std::to_string(picture.Width) + " x " + std::to_string(picture.Height) +
           " picture";
  }
  const uintmax_t needed = TargaHeader + header[0] + ColourMapBytes +
                           static_cast<uintmax_t>(picture.Width) * picture.Height;
  if (size < needed) {
    return "cut short (" + std::to_string(size) + " of " + std::to_string(needed) + " bytes)";
  }
  return "";
}

std::string SoundTrouble(const std::string& path) {
  uintmax_t size = 0;
  if (std::string trouble = Trouble(path, &size); !trouble.empty()) return trouble;
  SDL_AudioSpec format;
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV(path.c_str(), &format, &samples, &length) == nullptr) return "not a sound";
  SDL_FreeWAV(samples);
  // The RIFF header gives the file's length; SDL plays a cut file as far
  // as it goes, which is an effect cut off before its end.
  std::array<uint8_t, 8> riff{};
  std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(riff.data()), 8);
  const uintmax_t told =
      8u + (riff[4] | riff[5] << 8 | riff[6] << 16 | static_cast<uintmax_t>(riff[7]) << 24);
  if (size < told) {
    return "cut short (" + std::to_string(size) + " of " + std::to_string(told) + " bytes)";
  }
  return "";
}

// The first few names with what is wrong, then how many more.
std::string Listed(const std::vector<std::string>& troubles) {
  constexpr size_t Named = 3;
  std::string text;
  for (size_t i = 0; i < troubles.size() && i < Named; ++i) {
    text += (i == 0 ? "" : ", ") + troubles[i];
  }
  if (troubles.size() > Named) text += " and " + std::to_string(troubles.size() - Named) + " more";
  return text;
}

}  // namespace

void ReportMissingData() {
  const std::string module = detail::ModulePath();
  std::string folder = module.substr(0, module.rfind('/'));
  const auto place = [&](const char* sub) {
    std::string path = folder + "/" + sub;
    // A replay's folder links to the program's own: that is the one to name.
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
      path = std::filesystem::read_symlink(path, error).string();
    }
    return path;
  };

  const std::string graph = place("Graph");
  const std::vector<Picture> pictures = Pictures();
  std::vector<std::string> badPictures;
  for (const Picture& picture : pictures) {
    const std::string trouble = PictureTrouble(graph + "/" + picture.Name, picture);
    if (!trouble.empty()) badPictures.push_back(picture.Name + " " + trouble);
  }
  const std::string sound = place("Sound");
  const std::vector<std::string> sounds{"new.wav", "select.wav", "click.wav", "fade.wav",
                                        "startup.wav"};
  std::vector<std::string> badSounds;
  for (const std::string& name : sounds) {
    const std::string trouble = SoundTrouble(sound + "/" + name);
    if (!trouble.empty()) badSounds.push_back(name + " " + trouble);
  }

  if (!badPictures.empty()) {
    std::fprintf(stderr,
                 "quillmoth: %zu of %zu pictures in %s cannot be shown (%s): those parts "
                 "of the screen stay black or wrong\n",
                 badPictures.size(), pictures.size(), graph.c_str(), Listed(badPictures).c_str());
  }
  if (!badSounds.empty()) {
    std::fprintf(stderr,
                 "quillmoth: %zu of %zu sounds in %s cannot be played (%s): those "
                 "effects stay silent\n",
                 badSounds.size(), sounds.size(), sound.c_str(), Listed(badSounds).c_str());
  }
  if (badPictures.empty() && badSounds.empty()) return;
  // A player who started the game from the desktop's menu sees no terminal:
  // the window's title says it too, without holding the game up.
  std::string title;
  if (!badPictures.empty()) title = std::to_string(badPictures.size()) + " pictures";
  if (!badSounds.empty()) {
    title += (title.empty() ? "" : " and ") + std::to_string(badSounds.size()) + " sounds";
  }
  detail::CurrentBackend().ShowNotice(title + " missing or damaged");
}

}  // namespace host
