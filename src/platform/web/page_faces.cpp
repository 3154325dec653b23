// Tile faces from the player's own pictures, on the page. The browser
// decodes each chosen picture and hands its pixels here (web/page.js); the
// faces are kept in the records' folder, which lives in IndexedDB, so a
// deck outlives the tab and the game reads it at every start (web_main.cpp)
// in place of its own first faces.
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "pictures/face_maker.h"
#include "platform/files.h"
#include "platform/web/web_backend.h"

namespace fs = std::filesystem;

namespace {

// The game's faces are b1.tga to b40.tga in its Graph folder.
constexpr int FaceCount = 40;

fs::path DeckFolder() { return fs::path(host::detail::PageDataHome) / "quillmoth" / "faces"; }
// A deck is made beside the one in use and takes its place only once it
// is whole: a tab closed halfway leaves the old deck as it was.
fs::path NewDeckFolder() {
  return fs::path(host::detail::PageDataHome) / "quillmoth" / "faces-new";
}

fs::path FacePath(const fs::path& folder, int number) {
  return folder / ("b" + std::to_string(number) + ".tga");
}

bool IsWholeFace(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error) &&
         fs::file_size(path, error) == pictures::FaceFileBytes && !error;
}

}  // namespace

extern "C" {

// A new deck begins: what an earlier, unfinished one left goes.
EMSCRIPTEN_KEEPALIVE int quillmoth_faces_begin() {
  std::error_code error;
  fs::remove_all(NewDeckFolder(), error);
  return fs::create_directories(NewDeckFolder(), error) && !error ? 1 : 0;
}

// The new deck's face `number` (1 to 40) from `height` rows of `width`
// RGBA pixels, packed. 1 when it is made, 0 when the pixels make no face or
// it cannot be written.
EMSCRIPTEN_KEEPALIVE int quillmoth_faces_add(const uint8_t* rgba, int32_t width, int32_t height,
                                             int32_t number) {
  if (number < 1 || number > FaceCount || width < 1 || height < 1) return 0;
  const std::vector<uint8_t> face =
      pictures::MakeFace(rgba, width, height, static_cast<size_t>(width) * 4);
  if (face.size() != pictures::FaceFileBytes) return 0;
  const std::string path = FacePath(NewDeckFolder(), number).string();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  const bool written = std::fwrite(face.data(), 1, face.size(), file) == face.size();
  if (std::fclose(file) != 0 || !written) {
    std::remove(path.c_str());
    return 0;
  }
  return 1;
}

// With `keep`, the new deck takes the place of the one in use; without,
// it is thrown away and the deck in use stays.
EMSCRIPTEN_KEEPALIVE int quillmoth_faces_end(int keep) {
  std::error_code error;
  if (keep != 0) {
    fs::remove_all(DeckFolder(), error);
    fs::rename(NewDeckFolder(), DeckFolder(), error);
    if (!error) return 1;
  }
  fs::remove_all(NewDeckFolder(), error);
  return 0;
}

// "Our pictures": no deck of the player's any more.
EMSCRIPTEN_KEEPALIVE int quillmoth_faces_forget() {
  std::error_code error;
  fs::remove_all(NewDeckFolder(), error);
  fs::remove_all(DeckFolder(), error);
  return error ? 0 : 1;
}

}  // extern "C"

namespace host::detail {

int UsePageDeck(const std::string& graph) {
  int used = 0;
  for (int number = 1; number <= FaceCount; ++number) {
    const fs::path face = FacePath(DeckFolder(), number);
    if (IsWholeFace(face) && ReadInstead(graph + "/b" + std::to_string(number) + ".tga", face)) {
      ++used;
    }
  }
  return used;
}

}  // namespace host::detail
