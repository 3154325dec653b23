// A headless host for in-process tests: started before each test, stopped
// after, so every test begins with a clean display, queue, clock and taskbar.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/host.h"
#include "platform/png_file.h"

// All a file holds; nothing when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// A shot decoded, 0xRRGGBB a pixel, top row first; 0 x 0 when it cannot be
// read or is over 1024 pixels a side.
struct Shot {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
  uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y * Width + x)]; }
};

inline Shot ReadShot(const std::filesystem::path& path) {
  Shot shot;
  std::vector<uint8_t> rgba;
  if (!host::detail::ReadPngRgba(path, &shot.Width, &shot.Height, &rgba)) return {};
  for (size_t i = 0; i < rgba.size(); i += 4)
    shot.Pixels.push_back(uint32_t{rgba[i]} << 16 | uint32_t{rgba[i + 1]} << 8 | rgba[i + 2]);
  return shot;
}

// A PNG's size, from its header (ReadPngRgba takes none over 1024 pixels):
// the signature, then the IHDR chunk's big-endian width and height; 0 x 0
// when it is no PNG.
inline std::pair<int, int> PngSize(const std::filesystem::path& path) {
  const std::string header = ReadFile(path).substr(0, 24);
  if (!header.starts_with(std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16))) return {0, 0};
  const auto word = [&](size_t at) {
    return static_cast<uint8_t>(header[at]) << 24 | static_cast<uint8_t>(header[at + 1]) << 16 |
           static_cast<uint8_t>(header[at + 2]) << 8 | static_cast<uint8_t>(header[at + 3]);
  };
  return {word(16), word(20)};
}

// The records file's twelve values, four bytes each, least significant
// first: six best times, then six fewest moves.
inline std::string RecordsBytes(const std::vector<uint32_t>& values) {
  std::string bytes;
  for (uint32_t value : values)
    for (int b = 0; b < 4; ++b) bytes += static_cast<char>(value >> (8 * b));
  return bytes;
}

// A copy of the built program with its pictures and sounds in `folder`, so
// that the records it keeps beside itself stay out of the build folder.
inline void CopyProgram(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(QUILLMOTH_BINARY, folder / "quillmoth");
  for (const char* sub : {"Graph", "Sound"})
    std::filesystem::copy(std::filesystem::path(QUILLMOTH_BINARY_DIR) / sub, folder / sub,
                          std::filesystem::copy_options::recursive);
}

class HeadlessHostTest : public ::testing::Test {
 protected:
  void StartHost(const std::string& script = "wait 0\n",
                 host::DisplayMode display = host::DisplayMode::Rgb565, uint32_t tickStart = 0,
                 bool logSounds = true) {
    host::Options options;
    options.Headless = true;
    options.ScriptText = script;
    options.Display = display;
    options.TickStart = tickStart;
    options.ModulePath = (folder_ / "quillmoth").string();
    options.RuntimeDir = folder_.string();
    options.LogSounds = logSounds;
    std::string error;
    ASSERT_TRUE(host::Start(options, &error)) << error;
    started_ = true;
  }

  void SetUp() override {
    // Tests set variables and change folder freely: each finds both as it began.
    for (char** entry = environ; *entry != nullptr; ++entry) environment_.emplace_back(*entry);
    workingFolder_ = std::filesystem::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("quillmoth-test-" + std::to_string(::getpid()) + "-" + info->test_suite_name() +
               "-" + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }

  void TearDown() override {
    if (started_) host::Stop();
    std::filesystem::current_path(workingFolder_);
    std::filesystem::remove_all(folder_);
    clearenv();
    for (const std::string& entry : environment_) {
      const size_t equals = entry.find('=');
      setenv(entry.substr(0, equals).c_str(), entry.c_str() + equals + 1, 1);
    }
  }

  // A private folder standing in for the program's own folder.
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_, workingFolder_;
  std::vector<std::string> environment_;
  bool started_ = false;
};
