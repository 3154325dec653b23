#include "services/data_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/host.h"

namespace {

TEST(DataPaths, FoldersLieBesideTheProgram) {
  // The handheld cut module names at 260 characters; here a deep folder must
  // still reach its own files.
  std::string deep;
  while (deep.size() < 400) deep += "/deeper-folder";
  // The program's path, then its folder, which holds "Graph/" and "Sound/".
  const std::pair<std::string, std::string> cases[] = {
      {"/apps/Pairs/quillmoth", "/apps/Pairs/"},
      {"/quillmoth", "/"},  // the root: an empty folder
      {"quillmoth", "//"},  // no separator: the root itself
      {deep + "/quillmoth", deep + "/"},
  };
  for (const auto& [module, program] : cases) {
    host::Options options;
    options.Headless = true;
    options.ScriptText = "wait 0\n";
    options.ModulePath = module;
    std::string error;
    ASSERT_TRUE(host::Start(options, &error)) << error;
    BuildDataPaths();
    host::Stop();
    EXPECT_EQ((std::vector<std::string>{ProgramFolder, PictureFolder, SoundFolder}),
              (std::vector<std::string>{program, program + "Graph/", program + "Sound/"}));
  }
}

TEST(DataPaths, JoinPathCutsAndSaysSo) {
  char out[8];
  EXPECT_TRUE(JoinPath(out, sizeof out, "/ab/", "cd"));
  EXPECT_STREQ(out, "/ab/cd");
  EXPECT_FALSE(JoinPath(out, sizeof out, "/abc/", "defgh"));
  EXPECT_STREQ(out, "/abc/de");
}

}  // namespace
