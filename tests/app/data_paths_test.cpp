#include "app/data_paths.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/host.h"

namespace {

struct Folders {
  std::string Program, Picture, Sound;
};

Folders FoldersFor(const std::string& modulePath) {
  host::Options options;
  options.Headless = true;
  options.ScriptText = "wait 0\n";
  options.ModulePath = modulePath;
  std::string error;
  EXPECT_TRUE(host::Start(options, &error)) << error;
  BuildDataPaths();
  host::Stop();
  return {ProgramFolder, PictureFolder, SoundFolder};
}

TEST(DataPaths, FoldersLieBesideTheProgram) {
  const Folders f = FoldersFor("/apps/Pairs/quillmoth");
  EXPECT_EQ(f.Program, "/apps/Pairs/");
  EXPECT_EQ(f.Picture, "/apps/Pairs/Graph/");
  EXPECT_EQ(f.Sound, "/apps/Pairs/Sound/");
}

TEST(DataPaths, ProgramInTheRootGivesAnEmptyFolder) {
  const Folders f = FoldersFor("/quillmoth");
  EXPECT_EQ(f.Program, "/");
  EXPECT_EQ(f.Picture, "/Graph/");
  EXPECT_EQ(f.Sound, "/Sound/");
}

TEST(DataPaths, NameWithoutSeparatorFallsBackToTheRoot) {
  const Folders f = FoldersFor("quillmoth");
  EXPECT_EQ(f.Program, "//");
  EXPECT_EQ(f.Sound, "//Sound/");
}

TEST(DataPaths, LongPathsAreNotCut) {
  // The handheld cut module names at 260 characters; here a deep folder
  // must still reach its own files.
  std::string folder;
  while (folder.size() < 400) folder += "/deeper-folder";
  const Folders f = FoldersFor(folder + "/quillmoth");
  EXPECT_EQ(f.Picture, folder + "/Graph/");
}

TEST(DataPaths, JoinPathCutsAndSaysSo) {
  char out[8];
  EXPECT_TRUE(JoinPath(out, sizeof out, "/ab/", "cd"));
  EXPECT_STREQ(out, "/ab/cd");
  EXPECT_FALSE(JoinPath(out, sizeof out, "/abc/", "defgh"));
  EXPECT_STREQ(out, "/abc/de");
}

}  // namespace
