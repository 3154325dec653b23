// Starts the host headless for one test and stops it afterwards. Each test
// gets its own folder where running copies meet, so it never sees a copy of
// the program that something else started.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/host.h"

class HeadlessRun : public ::testing::Test {
 protected:
  // Starts with a script that keeps the run going unless one is given.
  void StartHost(host::Options options = {}) {
    options.Headless = true;
    if (options.ScriptPath.empty() && options.ScriptText.empty())
      options.ScriptText = "wait 1000000";
    if (options.RuntimeDir.empty()) options.RuntimeDir = RuntimeDir;
    std::string error;
    ASSERT_TRUE(host::Start(options, &error)) << error;
  }
  void SetUp() override {
    std::string folder =
        (std::filesystem::temp_directory_path() / "quillmoth-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    RuntimeDir = folder;
    StartHost();
  }
  void TearDown() override {
    host::Stop();
    std::filesystem::remove_all(RuntimeDir);
  }
  void Restart(host::Options options) {
    host::Stop();
    StartHost(std::move(options));
  }
  std::string RuntimeDir;
};
