// Where the web page keeps the game's files; its entry (web_main.cpp) and
// web/storage.js agree on these.
#pragma once

namespace host::detail {

// The program file's path: Graph/ and Sound/ lie beside it, packed with the
// page. The folder is read-only, as an installed copy's is, so the game keeps
// its records in the player's data folder.
constexpr const char* PageProgramPath = "/quillmoth/quillmoth";
// $XDG_DATA_HOME: the folder web/storage.js backs with IndexedDB.
constexpr const char* PageDataHome = "/saved";

}  // namespace host::detail
