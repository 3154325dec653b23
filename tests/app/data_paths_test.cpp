#include "app/data_paths.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/host.h"

namespace {

TEST(DataPaths, FoldersLieBesideTheProgram) {
  // The handheld cut module names at 260 characters; here a deep folder must
  // still reach its own files.
  std::string deep;
  while (deep.size() < 400) deep += "/deeper-folder";
  const struct {
    std::string Module, Program, Picture, Sound;
  } cases[] = {
      {"/apps/Pairs/quillmoth", "/apps/Pairs/", "/apps/Pairs/Graph/", "/apps/Pairs/Sound/"},
      {"/quillmoth", "/", "/Graph/", "/Sound/"},    // the root: an empty folder
      {"quillmoth", "//", "//Graph/", "//Sound/"},  // no separator: the root itself
      {deep + "/quillmoth", deep + "/", deep + "/Graph/", deep + "/Sound/"},
  };
  for (const auto& c : cases) {
    host::Options options;
    options.Headless = true;
    options.ScriptText = "wait 0\n";
    options.ModulePath = c.Module;
    std::string error;
    ASSERT_TRUE(host::Start(options, &error)) << error;
    BuildDataPaths();
    host::Stop();
    EXPECT_EQ(ProgramFolder, c.Program);
    EXPECT_EQ(PictureFolder, c.Picture);
    EXPECT_EQ(SoundFolder, c.Sound);
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
