// The records store against any quill.dat: the input is the file, read at
// start-up over the default records and then saved again. What the twelve
// records and the saved file must hold is worked out here from the file's
// layout, byte by byte, and from what a game can make: a time of at most
// 4,294,967 s (the 32-bit millisecond clock), a move count from the board's
// pairs (4, 8, 12, 18, 24, 32) to 32,767; anything else reads as 999.
//
// An empty input stands for no file at all.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/records.h"
#include "platform/host.h"
#include "services/data_paths.h"

namespace {

// Six best times, then six move counts, four bytes each, least significant
// byte first; 999 everywhere before any game.
constexpr size_t Slots = 12;
constexpr size_t FileBytes = Slots * 4;
constexpr uint32_t Default = 999;
constexpr uint32_t LongestSeconds = 4294967;
constexpr int32_t Pairs[6] = {4, 8, 12, 18, 24, 32};
constexpr int32_t MostMoves = 32767;

std::filesystem::path Folder;  // ours; the program "lives" in Folder/program

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "records_fuzz: %s\n", what);
    std::abort();
  }
}

uint32_t Word(const uint8_t* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void Finish() {
  host::Stop();
  std::error_code ignored;
  std::filesystem::remove_all(Folder, ignored);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Folder = std::filesystem::temp_directory_path() /
           ("quillmoth-fuzz-records-" + std::to_string(::getpid()));
  std::filesystem::remove_all(Folder);
  std::filesystem::create_directories(Folder / "program");
  std::filesystem::create_directories(Folder / "run");
  host::Options options;
  options.Headless = true;
  options.ScriptText = "wait 0\n";
  options.ModulePath = (Folder / "program" / "quillmoth").string();
  options.RuntimeDir = (Folder / "run").string();
  options.QuietNotices = true;  // most inputs hold values no game makes
  std::string error;
  if (!host::Start(options, &error)) {
    std::fprintf(stderr, "records_fuzz: the host does not start: %s\n", error.c_str());
    std::abort();
  }
  std::atexit(Finish);
  BuildDataPaths();
  Check(std::string(ProgramFolder) == (Folder / "program").string() + "/",
        "the program folder is not ours");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path file = Folder / "program" / "quill.dat";
  if (size == 0) {
    std::filesystem::remove(file);
  } else {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    Check(out != nullptr && std::fwrite(data, 1, size, out) == size && std::fclose(out) == 0,
          "cannot write quill.dat");
  }

  // Start-up puts 999 everywhere, then the file's bytes replace the same
  // bytes of the records as far as the file reaches; the rest stay.
  uint8_t expected[FileBytes];
  for (size_t slot = 0; slot < Slots; ++slot) {
    for (size_t b = 0; b < 4; ++b) expected[4 * slot + b] = (Default >> (8 * b)) & 0xFF;
  }
  std::memcpy(expected, data, size < FileBytes ? size : FileBytes);
  const auto setWord = [&](size_t slot, uint32_t value) {
    for (size_t b = 0; b < 4; ++b) expected[4 * slot + b] = (value >> (8 * b)) & 0xFF;
  };
  for (size_t i = 0; i < 6; ++i) {
    if (Word(expected + 4 * i) > LongestSeconds) setWord(i, Default);
    const auto moves = static_cast<int32_t>(Word(expected + 24 + 4 * i));
    if (moves < Pairs[i] || moves > MostMoves) setWord(6 + i, Default);
  }
  for (size_t i = 0; i < 6; ++i) {
    BestSeconds[i] = Default;
    BestMoves[i] = Default;
  }

  LoadRecords();
  for (size_t i = 0; i < 6; ++i) {
    Check(BestSeconds[i] == Word(expected + 4 * i), "a best time differs");
    Check(BestMoves[i] == static_cast<int32_t>(Word(expected + 24 + 4 * i)),
          "a move count differs");
  }
  if (size == 0) {
    Check(std::filesystem::exists(file) && std::filesystem::file_size(file) == 0,
          "loading with no file leaves an empty one");
  }

  SaveRecords();
  std::ifstream in(file, std::ios::binary);
  const std::vector<uint8_t> saved{std::istreambuf_iterator<char>(in), {}};
  Check(saved == std::vector<uint8_t>(std::begin(expected), std::end(expected)),
        "the saved file is not the 48 bytes of the records");
  for (const auto& entry : std::filesystem::directory_iterator(Folder / "program")) {
    Check(entry.path().filename() == "quill.dat", "a save left another file behind");
  }
  return 0;
}
