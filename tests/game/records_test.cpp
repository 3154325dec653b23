#include "game/records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "game/game_fixture.h"

namespace {

class Records_ : public GameTest {
 protected:
  std::filesystem::path File() const { return Folder() / "quill.dat"; }
  void WriteFile(const std::vector<uint8_t>& bytes) const {
    std::ofstream out(File(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  // At most 1 KiB, so that a file turned into a device cannot hang the test.
  std::vector<uint8_t> ReadFile() const {
    std::ifstream in(File(), std::ios::binary);
    std::vector<uint8_t> bytes(1024);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
  }
  // Bytes 0, 1, 2, ... so that every value shows which bytes it came from.
  static std::vector<uint8_t> Counting(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i + 1);
    return bytes;
  }
  static uint32_t Word(uint32_t firstByte) {
    return firstByte | (firstByte + 1) << 8 | (firstByte + 2) << 16 | (firstByte + 3) << 24;
  }
};

TEST_F(Records_, AMissingFileIsCreatedEmptyAndTheDefaultsStay) {
  LoadRecords();
  ASSERT_TRUE(std::filesystem::exists(File()));
  EXPECT_EQ(std::filesystem::file_size(File()), 0u);
  for (int32_t i = 0; i < BoardSizes; ++i) {
    EXPECT_EQ(BestSeconds[i], 999u);
    EXPECT_EQ(BestMoves[i], 999);
  }
  // An empty file changes nothing either.
  LoadRecords();
  EXPECT_EQ(BestSeconds[0], 999u);
  EXPECT_EQ(BestMoves[5], 999);
}

TEST_F(Records_, FilesAreReadLittleEndianAsFarAsTheyReach) {
  // 30 bytes: all six times, the first moves and the low half of the second.
  WriteFile(Counting(30));
  LoadRecords();
  for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(BestSeconds[i], Word(4 * i + 1)) << i;
  EXPECT_EQ(BestMoves[0], static_cast<int32_t>(Word(25)));
  EXPECT_EQ(BestMoves[1], static_cast<int32_t>(0x0000'0000u | 29u | 30u << 8));
  for (int32_t i = 2; i < 6; ++i) EXPECT_EQ(BestMoves[i], 999);

  // The kept high bytes are those held before, not zero.
  BestMoves[1] = static_cast<int32_t>(0xAABBCCDDu);
  LoadRecords();
  EXPECT_EQ(static_cast<uint32_t>(BestMoves[1]), 0xAABB1E1Du);

  // 60 bytes: the first 48 count, the rest is ignored; negative moves stay negative.
  std::vector<uint8_t> bytes = Counting(60);
  bytes[44] = 0xFE;
  bytes[45] = 0xFF;
  bytes[46] = 0xFF;
  bytes[47] = 0xFF;
  WriteFile(bytes);
  LoadRecords();
  for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(BestSeconds[i], Word(4 * i + 1));
  for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(BestMoves[i], static_cast<int32_t>(Word(25 + 4 * i)));
  EXPECT_EQ(BestMoves[5], -2);
  EXPECT_EQ(ReadFile().size(), 60u);
}

TEST_F(Records_, SavedRecordsAreTheFortyEightBytesOfTheLayoutAndReadBackTheSame) {
  const uint32_t seconds[6] = {0, 1, 255, 256, 0x12345678u, 0xFFFFFFFFu};
  const int32_t moves[6] = {4, 999, 1000, -1, 0x7FFFFFFF, -0x7FFFFFFF - 1};
  std::copy(std::begin(seconds), std::end(seconds), BestSeconds);
  std::copy(std::begin(moves), std::end(moves), BestMoves);
  WriteFile(Counting(60));  // an older, longer file is replaced whole
  SaveRecords();

  const std::vector<uint8_t> expected = {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0x00,
                                         0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x78, 0x56, 0x34, 0x12,
                                         0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x00, 0x00, 0x00, 0xE7, 0x03,
                                         0x00, 0x00, 0xE8, 0x03, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,
                                         0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80};
  EXPECT_EQ(ReadFile(), expected);
  EXPECT_FALSE(std::filesystem::exists(Folder() / "quill.dat.tmp"));

  std::fill(std::begin(BestSeconds), std::end(BestSeconds), 7u);
  std::fill(std::begin(BestMoves), std::end(BestMoves), 7);
  LoadRecords();
  EXPECT_TRUE(std::equal(std::begin(seconds), std::end(seconds), BestSeconds));
  EXPECT_TRUE(std::equal(std::begin(moves), std::end(moves), BestMoves));
}

TEST_F(Records_, ASaveThatCannotWriteLeavesTheOldFileWholeAndKeepsTheRecordsInMemory) {
  const std::vector<uint8_t> old = Counting(48);
  WriteFile(old);
  // Something in the way of the new file: it cannot be created.
  std::filesystem::create_directory(Folder() / "quill.dat.tmp");
  BestSeconds[3] = 42;
  BestMoves[3] = 17;
  SaveRecords();
  EXPECT_EQ(ReadFile(), old);
  EXPECT_EQ(BestSeconds[3], 42u);
  EXPECT_EQ(BestMoves[3], 17);
  EXPECT_TRUE(std::filesystem::is_directory(Folder() / "quill.dat.tmp"));

  // Once the way is clear, the next save stores what memory holds.
  std::filesystem::remove(Folder() / "quill.dat.tmp");
  SaveRecords();
  std::vector<uint8_t> saved = ReadFile();
  ASSERT_EQ(saved.size(), 48u);
  EXPECT_EQ(saved[12], 42);
  EXPECT_EQ(saved[36], 17);

  // A full disk in the middle of the save: the temporary file lands on a
  // device that takes no bytes. The old file stays, the temporary one goes.
  if (std::filesystem::exists("/dev/full")) {
    std::filesystem::create_symlink("/dev/full", Folder() / "quill.dat.tmp");
    BestSeconds[3] = 41;
    SaveRecords();
    EXPECT_EQ(ReadFile(), saved);
    EXPECT_FALSE(std::filesystem::is_symlink(Folder() / "quill.dat"));
    EXPECT_FALSE(std::filesystem::is_symlink(Folder() / "quill.dat.tmp"));
    EXPECT_EQ(BestSeconds[3], 41u);
  }

  // A folder that is not there: nothing is written anywhere, nothing breaks.
  std::strcpy(ProgramFolder, (Folder() / "missing/").c_str());
  SaveRecords();
  EXPECT_FALSE(std::filesystem::exists(Folder() / "missing"));
  EXPECT_EQ(ReadFile(), saved);
}

}  // namespace
