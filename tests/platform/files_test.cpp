#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "support/headless_host.h"

namespace {

namespace fs = std::filesystem;
using FilesTest = HeadlessHostTest;

TEST_F(FilesTest, OpeningAMissingFileForReadingCreatesItEmpty) {
  const std::string path = (Folder() / "quill.dat").string();
  const FileHandle file = OpenFileForReading(path.c_str());
  ASSERT_NE(file, NoFile);
  char buffer[16];
  EXPECT_EQ(ReadFromFile(file, buffer, sizeof buffer), 0u);
  EXPECT_TRUE(CloseFile(file));
  EXPECT_EQ(fs::file_size(path), 0u);
  EXPECT_EQ(OpenFileForReading((Folder() / "missing/quill.dat").c_str()), NoFile);
}

TEST_F(FilesTest, ReplaceFilePutsTheWrittenBytesInThePlaceOfTheOld) {
  const std::string temporary = (Folder() / "quill.tmp").string();
  const std::string target = (Folder() / "quill.dat").string();
  std::ofstream(target) << "old contents, longer than the new";
  std::string data(100000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31);
  FileHandle file = CreateNewFile(temporary.c_str());
  ASSERT_NE(file, NoFile);
  EXPECT_EQ(WriteToFile(file, data.data(), data.size()), data.size());
  EXPECT_TRUE(FlushFileToDisk(file));
  EXPECT_TRUE(CloseFile(file));
  EXPECT_TRUE(ReplaceFile(temporary.c_str(), target.c_str()));
  EXPECT_FALSE(fs::exists(temporary));

  file = OpenFileForReading(target.c_str());
  std::string back(data.size() + 10, 'x');
  EXPECT_EQ(ReadFromFile(file, back.data(), back.size()), data.size());
  back.resize(data.size());
  EXPECT_EQ(back, data);
  EXPECT_TRUE(CloseFile(file));
}

}  // namespace
