#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"

namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder =
        fs::temp_directory_path() /
        ("quillmoth-files-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Folder);
    fs::create_directories(Folder);
  }
  void TearDown() override { fs::remove_all(Folder); }
  std::string PathOf(const char* name) const { return (Folder / name).string(); }
  fs::path Folder;
};

TEST_F(FilesTest, OpeningAMissingFileForReadingCreatesItEmpty) {
  const std::string path = PathOf("quill.dat");
  const FileHandle file = OpenFileForReading(path.c_str());
  ASSERT_NE(file, NoFile);
  char buffer[16];
  EXPECT_EQ(ReadFromFile(file, buffer, sizeof buffer), 0u);
  EXPECT_TRUE(CloseFile(file));
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(fs::file_size(path), 0u);
  // A folder that does not exist cannot hold the new file.
  EXPECT_EQ(OpenFileForReading(PathOf("missing/quill.dat").c_str()), NoFile);
}

TEST_F(FilesTest, WrittenBytesReadBackAndReplaceTakesThePlace) {
  const std::string temporary = PathOf("quill.tmp");
  const std::string target = PathOf("quill.dat");
  std::ofstream(target) << "old contents, longer than the new";
  std::string data(100000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31);
  FileHandle file = CreateFileForWriting(temporary.c_str());
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

  EXPECT_TRUE(RemoveFile(target.c_str()));
  EXPECT_FALSE(RemoveFile(target.c_str()));
  EXPECT_FALSE(CloseFile(NoFile));
  EXPECT_EQ(ReadFromFile(NoFile, back.data(), 4), 0u);
}

}  // namespace
