// The records file after the power goes, or the program is killed, in the
// middle of a save: a child process saves two sets of records by turns until
// it is killed at a random moment, and every time quill.dat must hold the
// whole of one set or the whole of the other.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <iterator>
#include <random>
#include <utility>

#include "app/data_paths.h"
#include "game/records.h"
#include "support/headless_host.h"

namespace {

namespace fs = std::filesystem;

// Six best times, then six move counts, in the order they are filed.
using Records = std::array<uint32_t, 12>;
Records Counting(uint32_t from, uint32_t step) {
  Records records;
  for (uint32_t& value : records) value = std::exchange(from, from + step);
  return records;
}
// Each byte of one set differs from the same byte of the other, so that a
// file mixed from both matches neither.
const Records Before = Counting(0x10203040, 1), After = Counting(0xA0B0C0D0, 0xFFFFFFFF);
constexpr Records Final = {12, 40, 95, 200, 310, 600, 4, 9, 15, 24, 33, 47};
constexpr int Kills = 200;

// Least significant byte first, four bytes a value.
std::vector<uint8_t> FileBytes(const Records& records) {
  std::vector<uint8_t> bytes;
  for (uint32_t value : records)
    for (int shift = 0; shift < 32; shift += 8)
      bytes.push_back(static_cast<uint8_t>(value >> shift));
  return bytes;
}

void Hold(const Records& records) {
  for (int i = 0; i < BoardSizes; ++i) {
    BestSeconds[i] = records[i];
    BestMoves[i] = static_cast<int32_t>(records[BoardSizes + i]);
  }
}

class RecordsKill : public HeadlessHostTest {
 protected:
  void SetUp() override {
    HeadlessHostTest::SetUp();
    StartHost();
    BuildDataPaths();  // the records go to the private folder
    const auto old = FileBytes(Before);
    std::ofstream(Folder() / "quill.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(old.data()), 48);
  }

  std::vector<uint8_t> RecordsFile() const {
    std::ifstream in(Folder() / "quill.dat", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  // Kills a child that saves After and Before by turns, then, once nobody
  // kills it, saves Final.
  void KillSavesThenSave(uint32_t seed) {
    std::mt19937 random(seed);
    int after = 0;
    for (int round = 0; round < Kills; ++round) {
      int ready[2];
      ASSERT_EQ(pipe(ready), 0);
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        close(ready[0]);
        if (write(ready[1], "!", 1) != 1) _exit(1);
        for (uint64_t n = 0;; ++n) {
          Hold(n % 2 == 0 ? After : Before);
          SaveRecords();
        }
      }
      close(ready[1]);
      // Nothing may stop the test before the child is killed.
      char byte = 0;
      const bool saving = read(ready[0], &byte, 1) == 1;
      close(ready[0]);
      usleep(random() % 3001);
      kill(child, SIGKILL);
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      ASSERT_TRUE(saving && WIFSIGNALED(status)) << "the child ended by itself";

      const auto bytes = RecordsFile();
      ASSERT_TRUE(bytes == FileBytes(Before) || bytes == FileBytes(After))
          << "kill " << round << " left " << bytes.size() << " bytes that are neither set";
      after += bytes == FileBytes(After);
      unfinished_ += fs::is_regular_file(Folder() / "quill.dat.tmp");
      for (const auto& entry : fs::directory_iterator(Folder())) {
        const auto name = entry.path().filename();
        ASSERT_TRUE(name == "quill.dat" || name == "quill.dat.tmp") << "left behind: " << name;
      }
    }
    EXPECT_GT(after, 0) << "no save finished before a kill";

    Hold(Final);
    SaveRecords();
    EXPECT_EQ(RecordsFile(), FileBytes(Final));
  }

  int unfinished_ = 0;  // kills that left a new file not yet in place
};

TEST_F(RecordsKill, ANewFileThatReplacesTheOldIsWholeWheneverTheSaveDies) {
  KillSavesThenSave(1);
  EXPECT_GT(unfinished_, 0) << "no kill came in the middle of a save";
  EXPECT_FALSE(fs::exists(Folder() / "quill.dat.tmp"));
}

TEST_F(RecordsKill, AFileRewrittenInPlaceIsWholeWheneverTheSaveDies) {
  fs::create_directory(Folder() / "quill.dat.tmp");  // no new file can be made beside the old
  KillSavesThenSave(2);
  EXPECT_TRUE(fs::is_directory(Folder() / "quill.dat.tmp"));
}

}  // namespace
