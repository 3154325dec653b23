// Preview mode: composes what the player will see on each screen from the
// pictures exactly as the game decodes them, and writes PNGs for review.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "make_assets/canvas.h"

namespace assets {

struct Decoded {
  int width = 0;
  int height = 0;
  std::vector<uint16_t> pixels;  // RGB565, top row first
};

void WritePreviews(const std::filesystem::path& folder,
                   const std::map<std::string, Decoded>& pictures);
// The forty faces at three times their size, numbered, in colour
// (faces.png) and in grey (faces-grey.png), for the README.
bool WriteContactSheets(const std::filesystem::path& folder,
                        const std::map<std::string, Decoded>& pictures);
// A deck of faces as a player's own pictures make them (own-deck.png): each
// source picture, shrunk to fit 64 x 64, over the face made from it at
// twice its size. The sources are pictures of this program's own; key
// pixels stand for see-through ones.
bool WriteOwnDeckSheet(const std::filesystem::path& folder,
                       const std::vector<std::pair<std::string, const Canvas*>>& sources);

}  // namespace assets
