// The program's exit codes, run as a real process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/child_process.h"
#include "support/headless_host.h"

namespace {

using HostMainTest = HeadlessHostTest;

TEST_F(HostMainTest, ExitCodesAndWhatIsPrinted) {
  const std::string bad = (Folder() / "bad.txt").string();
  std::ofstream(bad) << "wait 1\n\nactivate 7\n";
  const struct {
    std::vector<std::string> Arguments;
    int Code;
    const char* Out;  // expected in standard output
    const char* Err;  // expected in standard error
  } rows[] = {
      {{"--help"}, 0, "--display MODE", ""},
      {{"--scale", "9"}, 2, "", "usage:"},
      {{"--display", "cga"}, 2, "", "usage:"},
      {{"--headless"}, 2, "", "usage:"},  // nothing would ever end the run
      {{"--headless", "--script", bad}, 2, "", "script:3:"},
      {{"--headless", "--script", Folder().string()}, 2, "", "usage:"},  // a folder
  };
  for (const auto& row : rows) {
    ChildProcess child(row.Arguments, {"QUILLMOTH_RUNTIME_DIR=" + Folder().string()});
    EXPECT_EQ(child.Wait(10000), row.Code) << row.Arguments[0] << child.Err;
    EXPECT_NE(child.Out.find(row.Out), std::string::npos) << child.Out;
    EXPECT_NE(child.Err.find(row.Err), std::string::npos) << child.Err;
    EXPECT_TRUE(row.Code == 0 || child.Out.empty()) << child.Out;
  }
}

// Linux cannot report the path of a program file deeper than 4,095
// characters. Such a copy must not go looking for its pictures, sounds and
// records in the root folder: it stops and says why.
TEST_F(HostMainTest, AProgramWhosePathTheSystemCannotTellStopsAndSaysWhy) {
  const std::string part(200, 'd');
  const std::string script = (Folder() / "script.txt").string();
  std::ofstream(script) << "wait 1\nquit\n";
  const std::string errors = (Folder() / "errors.txt").string();
  const pid_t child = fork();
  if (child == 0) {
    // Too deep for any one call that takes a path: one folder at a time.
    if (chdir(Folder().c_str()) != 0) _exit(100);
    for (int level = 0; level < 22; ++level) {  // 4,400 characters and more
      if (mkdir(part.c_str(), 0755) != 0 || chdir(part.c_str()) != 0) _exit(100);
    }
    std::filesystem::copy_file(QUILLMOTH_BINARY, "quillmoth");
    freopen(errors.c_str(), "w", stderr);
    setenv("QUILLMOTH_RUNTIME_DIR", Folder().c_str(), 1);
    execl("./quillmoth", "quillmoth", "--headless", "--script", script.c_str(), nullptr);
    _exit(101);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
  std::ifstream in(errors);
  const std::string said{std::istreambuf_iterator<char>(in), {}};
  EXPECT_NE(said.find("own folder"), std::string::npos) << said;
  // rm walks the tree folder by folder.
  std::system(("rm -rf '" + (Folder() / part).string() + "'").c_str());
}

// A copy without its pictures and sounds still runs, but says what is
// missing, one line a folder, before the black window would leave the
// player guessing.
TEST_F(HostMainTest, MissingPicturesAndSoundsAreNamedByFolder) {
  namespace fs = std::filesystem;
  const fs::path copy = Folder() / "copy";
  fs::create_directories(copy / "Sound");
  fs::copy_file(QUILLMOTH_BINARY, copy / "quillmoth");
  fs::copy(fs::path(QUILLMOTH_BINARY_DIR) / "Sound", copy / "Sound");
  fs::remove(copy / "Sound" / "fade.wav");
  std::ofstream(copy / "Sound" / "click.wav");  // empty: as good as missing
  std::ofstream(Folder() / "script.txt") << "wait 1\n";
  const std::string command = "QUILLMOTH_RUNTIME_DIR='" + Folder().string() + "' '" +
                              (copy / "quillmoth").string() + "' --headless --script '" +
                              (Folder() / "script.txt").string() + "' 2>'" +
                              (Folder() / "errors.txt").string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(Folder() / "errors.txt");
  const std::string said{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(said, "quillmoth: 48 of 48 pictures missing or unreadable in " + copy.string() +
                      "/Graph: those parts of the screen stay black\n"
                      "quillmoth: 2 of 5 sounds missing or unreadable in " +
                      copy.string() + "/Sound: those effects stay silent\n");
}

}  // namespace
