#include "game/records.h"

#include <bit>
#include <fstream>
#include <iterator>

#include "game/game_fixture.h"

namespace {

class Records_ : public GameTest {
 protected:
  std::filesystem::path File() const { return Folder() / "quill.dat"; }
  std::vector<uint8_t> RecordsFile() const {
    std::ifstream in(File(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // Bytes 1, 2, 3, ... so that every value shows which bytes it came from.
  void WriteCounting(int32_t size) const {
    std::ofstream out(File(), std::ios::binary | std::ios::trunc);
    for (int32_t i = 0; i < size; ++i) out.put(static_cast<char>(i + 1));
  }
};

TEST_F(Records_, FilesAreReadLittleEndianByteByByteAsFarAsTheyReach) {
  // Moves held before loading: 0xAABBCCDD, so that kept bytes show.
  const uint32_t held = 0xAABBCCDDu;
  // File size, then BestSeconds[5] and BestMoves[0], [1] and [5] after loading.
  const std::pair<uint32_t, std::array<uint32_t, 4>> cases[] = {
      {0, {999, held, held, held}},
      {30, {0x18171615, 0x1C1B1A19, 0xAABB1E1D, held}},
      {48, {0x18171615, 0x1C1B1A19, 0x201F1E1D, 0x302F2E2D}},
      {60, {0x18171615, 0x1C1B1A19, 0x201F1E1D, 0x302F2E2D}}};
  for (const auto& [size, loaded] : cases) {
    SCOPED_TRACE(static_cast<int32_t>(size));
    WriteCounting(static_cast<int32_t>(size));
    std::fill(std::begin(BestSeconds), std::end(BestSeconds), DefaultRecord);
    std::fill(std::begin(BestMoves), std::end(BestMoves), static_cast<int32_t>(held));
    LoadRecords();
    const auto moves = std::bit_cast<std::array<uint32_t, BoardSizes>>(BestMoves);
    EXPECT_EQ((std::array{BestSeconds[5], moves[0], moves[1], moves[5]}), loaded);
    EXPECT_EQ(RecordsFile().size(), size);
  }
}

TEST_F(Records_, SavedRecordsAreTheFortyEightBytesOfTheLayout) {
  std::ranges::copy(std::array<uint32_t, 6>{0, 1, 255, 256, 0x12345678u, 0xFFFFFFFFu}, BestSeconds);
  std::ranges::copy(std::array<int32_t, 6>{4, 999, 1000, -1, 0x7FFFFFFF, -0x7FFFFFFF - 1},
                    BestMoves);
  WriteCounting(60);  // an older, longer file is replaced whole
  SaveRecords();
  const uint8_t expected[48] = {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0x00,
                                0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x78, 0x56, 0x34, 0x12,
                                0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x00, 0x00, 0x00, 0xE7, 0x03,
                                0x00, 0x00, 0xE8, 0x03, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,
                                0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80};
  EXPECT_EQ(RecordsFile(), std::vector(std::begin(expected), std::end(expected)));
  EXPECT_FALSE(std::filesystem::exists(Folder() / "quill.dat.tmp"));
}

TEST_F(Records_, ASaveThatFailsLeavesTheOldFileWholeAndKeepsTheRecordsInMemory) {
  WriteCounting(48);
  const std::vector<uint8_t> old = RecordsFile();
  const std::filesystem::path temp = Folder() / "quill.dat.tmp";
  BestSeconds[3] = 42;
  // The new file cannot be made (a folder is in its way), or the disk fills
  // up while it is written (it lands on a device that takes no bytes).
  for (bool full : {false, true}) {
    if (!full) std::filesystem::create_directory(temp);
    if (full) std::filesystem::create_symlink("/dev/full", temp);
    SaveRecords();
    ASSERT_FALSE(std::filesystem::is_symlink(File()));  // or reading it would never end
    EXPECT_EQ(RecordsFile(), old);
    EXPECT_EQ(BestSeconds[3], 42u);
    EXPECT_FALSE(std::filesystem::is_symlink(temp));  // a half-written file is not left behind
    std::filesystem::remove(temp);
  }
}

}  // namespace
