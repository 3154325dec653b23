// quillmoth_make_assets OUTDIR [--preview DIR] [--icons DIR] [--contact-sheet DIR]
//
// Generates every picture, sound and the window icon the game loads from
// beside its executable: OUTDIR/Graph/*.tga, OUTDIR/Sound/*.wav and
// OUTDIR/quillmoth.png; with --icons, the desktop menu's icons as
// DIR/16x16.png ... DIR/256x256.png; with --contact-sheet, the faces as
// DIR/faces.png and DIR/faces-grey.png, and faces made as from a player's
// own pictures as DIR/own-deck.png (the README shows them from docs/).
// The output depends on nothing but this program, so every build writes the
// same bytes.
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "make_assets/backdrop.h"
#include "make_assets/faces.h"
#include "make_assets/palette.h"
#include "make_assets/panels.h"
#include "make_assets/png_icon.h"
#include "make_assets/preview.h"
#include "make_assets/sounds.h"
#include "make_assets/tga_writer.h"
#include "make_assets/title_art.h"
#include "make_assets/wav_writer.h"

namespace fs = std::filesystem;
using namespace assets;

int main(int argc, char** argv) {
  fs::path out;
  fs::path preview;
  fs::path icons;
  fs::path sheets;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--preview" && i + 1 < argc)
      preview = argv[++i];
    else if (arg == "--icons" && i + 1 < argc)
      icons = argv[++i];
    else if (arg == "--contact-sheet" && i + 1 < argc)
      sheets = argv[++i];
    else if (out.empty())
      out = arg;
    else
      out.clear(), i = argc;  // too many arguments
  }
  if (out.empty()) {
    std::fprintf(stderr,
                 "usage: quillmoth_make_assets OUTDIR [--preview DIR] [--icons DIR] "
                 "[--contact-sheet DIR]\n");
    return 2;
  }

  std::vector<std::pair<std::string, Canvas>> pictures;
  for (int n = 1; n <= FaceCount; ++n)
    pictures.emplace_back("b" + std::to_string(n) + ".tga", MakeFace(n));
  pictures.emplace_back("block.tga", MakeTileBack());
  pictures.emplace_back("backdrop.tga", MakeBackdrop());
  pictures.emplace_back("front.tga", MakeFront());
  pictures.emplace_back("panel4.tga", MakeTitlePanel());
  pictures.emplace_back("panel2.tga", MakePlayPanel());
  pictures.emplace_back("panel3.tga", MakeSelectScreen());
  pictures.emplace_back("highscr.tga", MakeRecordBanner());
  pictures.emplace_back("about.tga", MakeAboutScreen());

  std::error_code error;
  fs::create_directories(out / "Graph", error);
  fs::create_directories(out / "Sound", error);
  bool ok = true;
  std::map<std::string, Decoded> decoded;
  for (const auto& [name, canvas] : pictures) {
    const IndexedImage image = Quantise(canvas);
    ok = WriteFile(out / "Graph" / name, EncodeTga(image)) && ok;
    decoded[name] = Decoded{image.width, image.height, Decode(image)};
  }

  const std::pair<const char*, std::vector<int16_t>> sounds[] = {
      {"new.wav", MakePageTurn()}, {"select.wav", MakeBlip()},   {"click.wav", MakeClick()},
      {"fade.wav", MakeShimmer()}, {"startup.wav", MakeChime()},
  };
  for (const auto& [name, samples] : sounds)
    ok = WriteFile(out / "Sound" / name, EncodeWav(samples, SampleRate)) && ok;

  ok = WritePng(out / "quillmoth.png", MakeIcon(64)) && ok;
  if (!icons.empty()) {
    fs::create_directories(icons, error);
    for (const int size : IconSizes) {
      const std::string name = std::to_string(size) + "x" + std::to_string(size) + ".png";
      ok = WritePng(icons / name, MakeIcon(size)) && ok;
    }
  }

  if (!preview.empty()) WritePreviews(preview, decoded);
  if (!sheets.empty()) {
    ok = WriteContactSheets(sheets, decoded) && ok;
    // Pictures this program draws stand in for a player's: photos of
    // people have no place in the repository.
    std::vector<std::pair<std::string, const Canvas*>> sources;
    for (const auto& [name, canvas] : pictures) {
      if (canvas.width >= 120) sources.emplace_back(name, &canvas);
    }
    ok = WriteOwnDeckSheet(sheets, sources) && ok;
  }
  if (!ok) {
    std::fprintf(stderr, "quillmoth_make_assets: could not write into %s\n", out.string().c_str());
    return 1;
  }
  return 0;
}
