// The page's backend, and where the web page keeps the game's files; its
// entry (web_main.cpp) and web/storage.js agree on these.
#pragma once

#include <memory>
#include <string>

#include "platform/backend.h"

namespace host::detail {

// The page's canvas, pointer, Web Audio and clock (backend_choice.cpp).
std::unique_ptr<Backend> MakeWebBackend(const Options& options);

// The program file's path: Graph/ and Sound/ lie beside it, packed with the
// page. The folder is read-only, as an installed copy's is, so the game keeps
// its records in the player's data folder.
constexpr const char* PageProgramPath = "/quillmoth/quillmoth";
// $XDG_DATA_HOME: the folder web/storage.js backs with IndexedDB.
constexpr const char* PageDataHome = "/saved";

// The faces the page made from the player's pictures (page_faces.cpp, kept
// in the records' folder) are read from now on in place of the game's own
// in `graph`, its Graph folder: b1.tga and on, as many as the deck has.
// Returns how many.
int UsePageDeck(const std::string& graph);

}  // namespace host::detail
