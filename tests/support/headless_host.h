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

#include "platform/host.h"

// All a file holds; nothing when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// A PNG's size, from its header: the signature, then the IHDR chunk's
// big-endian width and height; 0 x 0 when it is no PNG.
inline std::pair<int, int> PngSize(const std::filesystem::path& path) {
  const std::string header = ReadFile(path).substr(0, 24);
  if (!header.starts_with(std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16))) return {0, 0};
  const auto word = [&](size_t at) {
    return static_cast<uint8_t>(header[at]) << 24 | static_cast<uint8_t>(header[at + 1]) << 16 |
           static_cast<uint8_t>(header[at + 2]) << 8 | static_cast<uint8_t>(header[at + 3]);
  };
  return {word(16), word(20)};
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
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("quillmoth-test-" + std::to_string(::getpid()) + "-" + info->test_suite_name() +
               "-" + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }

  void TearDown() override {
    if (started_) host::Stop();
    std::filesystem::remove_all(folder_);
  }

  // A private folder standing in for the program's own folder.
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
  bool started_ = false;
};
