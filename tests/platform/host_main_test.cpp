// The program's exit codes, run as a real process.
#include <gtest/gtest.h>

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

}  // namespace
