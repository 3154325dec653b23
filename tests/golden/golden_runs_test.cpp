// Golden runs: the scripts in tests/golden/ played by the real program, and
// every shot's pixels and the records file it leaves compared with the
// values committed beside each script. The other end-to-end tests compare
// the program with itself; these pin the frames, so a change that moves a
// pixel everywhere at once is caught too. README, "Golden runs", says how
// to renew them after an intended change.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "platform/png_file.h"

namespace {

namespace fs = std::filesystem;

const fs::path Golden = fs::path(QUILLMOTH_SOURCE_DIR) / "tests" / "golden";

std::string Hex(uint64_t value, int digits) {
  std::string text(static_cast<size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) text[i] = "0123456789abcdef"[value & 15];
  return text;
}

// The decoded picture, not the PNG file, whose bytes depend on the
// compressor: FNV-1a 64 over its size and RGBA pixels.
std::string PictureHash(const fs::path& shot) {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  if (!host::detail::ReadPngRgba(shot, &width, &height, &rgba)) return "unreadable";
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  rgba.insert(rgba.end(), size.begin(), size.end());
  uint64_t hash = 14695981039346656037u;
  for (const uint8_t byte : rgba) hash = (hash ^ byte) * 1099511628211u;
  return Hex(hash, 16);
}

std::string RecordsHex(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "missing";
  std::string text;
  for (char byte; in.get(byte);) text += Hex(static_cast<uint8_t>(byte), 2);
  return text.empty() ? "empty" : text;
}

// Plays `script` in one display layout from a fresh copy of the program's
// folder, with no records file and the player's folders inside it too.
// The shots and quill.dat are left in build/golden/SCRIPT-LAYOUT/ for a
// person to see. Returns "LAYOUT NAME VALUE" lines: every shot, then
// quill.dat.
std::string Play(const std::string& script, const std::string& layout) {
  const fs::path folder = fs::path(QUILLMOTH_BINARY_DIR) / "golden" / (script + "-" + layout);
  const fs::path program = folder / "program";
  fs::remove_all(folder);
  fs::create_directories(program);
  fs::copy_file(QUILLMOTH_BINARY, program / "quillmoth");
  for (const char* sub : {"Graph", "Sound"})
    fs::copy(fs::path(QUILLMOTH_BINARY_DIR) / sub, program / sub, fs::copy_options::recursive);
  const fs::path source = Golden / (script + ".txt");
  // Shots are named relative to the folder the run starts in.
  ChildProcess run(
      {"-c", "cd \"$0\" && exec program/quillmoth --headless --display \"$1\" --script \"$2\"",
       folder.string(), layout, source.string()},
      {"QUILLMOTH_RUNTIME_DIR=" + folder.string(), "XDG_DATA_HOME=" + folder.string(),
       "TMPDIR=" + folder.string()},
      "/bin/sh");
  EXPECT_EQ(run.Wait(60000), 0) << script << " " << layout << ": " << run.Err;
  std::string lines, line;
  for (std::ifstream in(source); std::getline(in, line);)
    if (line.starts_with("shot "))
      lines += layout + " " + line.substr(5) + " " + PictureHash(folder / line.substr(5)) + "\n";
  if (fs::exists(program / "quill.dat")) fs::rename(program / "quill.dat", folder / "quill.dat");
  fs::remove_all(program);
  lines += layout + " quill.dat " + RecordsHex(folder / "quill.dat") + "\n";
  return lines;
}

void CheckGolden(const std::string& script, const std::vector<std::string>& layouts) {
  std::string actual;
  for (const std::string& layout : layouts) actual += Play(script, layout);
  const fs::path expectedFile = Golden / (script + ".expected");
  const char* renew = std::getenv("QUILLMOTH_RENEW_GOLDEN");
  if (renew != nullptr && std::string(renew) == "1") {
    ASSERT_FALSE(testing::Test::HasFailure()) << "not renewed: a run went wrong";
    std::ofstream(expectedFile)
        << "# What " << script << ".txt leaves in each display layout: every shot's decoded\n"
        << "# pixels as FNV-1a 64, and the records file quill.dat in hex. Renewed with\n"
        << "# QUILLMOTH_RENEW_GOLDEN=1 after the new shots were looked at (README).\n"
        << actual;
    std::cout << "renewed " << expectedFile.string() << "\n";
    return;
  }
  // The committed lines but the comments, in the order the run makes them;
  // a failure shows the lines that differ, and the shots lie in
  // build/golden/SCRIPT-LAYOUT/.
  std::string expected;
  std::ifstream in(expectedFile);
  for (std::string line; std::getline(in, line);)
    if (!line.starts_with('#')) expected += line + "\n";
  EXPECT_EQ(actual, expected) << "from " << script << ".txt against " << expectedFile.string();
}

TEST(GoldenRuns, WholeGameInEveryDisplayLayout) {
  CheckGolden("whole_game", {"rgb565", "rgb565-wide", "rgb565-flipped", "rgb565-sideways", "gray4",
                             "gray2", "rgb444"});
}

TEST(GoldenRuns, EveryBoardSize) { CheckGolden("every_board", {"rgb565"}); }

TEST(GoldenRuns, AGameOfOverAThousandSeconds) { CheckGolden("long_game", {"rgb565"}); }

}  // namespace
