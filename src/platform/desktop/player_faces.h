// Tile faces from the player's own pictures (--pictures FOLDER).
#pragma once

#include <string>

namespace host {

// Makes faces from the pictures in `folder`, the first forty that can be
// made in name order, and has the game read them in place of its own first
// faces; ours fill the rest. Each file skipped is named on standard error
// with the reason. Made faces are kept in the player's cache folder and
// reused while a picture keeps its name, size and time. Neither the
// pictures nor the game's own folder are ever written.
void UsePlayerPictures(const std::string& folder);

}  // namespace host
