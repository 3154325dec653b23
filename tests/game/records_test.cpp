#include "game/records.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "game/game_fixture.h"

namespace {

class Records_ : public GameTest {
 protected:
  std::filesystem::path File() const { return Folder() / "quill.dat"; }
  std::vector<uint8_t> RecordsFile() const { return Bytes(File()); }
  static std::vector<uint8_t> Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // The 48 bytes the records in memory must be saved as: six times, then
  // six move counts, each least significant byte first.
  static std::vector<uint8_t> Encoded() {
    std::vector<uint8_t> bytes;
    for (int32_t i = 0; i < 12; ++i) {
      const uint32_t v = i < 6 ? BestSeconds[i] : static_cast<uint32_t>(BestMoves[i - 6]);
      for (int32_t shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(v >> shift));
    }
    return bytes;
  }
  // Runs `body` in a child process as an ordinary user (for root, "nobody":
  // root may write everywhere) and returns its exit code.
  static int AsOrdinaryUser(int (*body)()) {
    const pid_t child = fork();
    if (child == 0) {
      if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
      _exit(body());
    }
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Twelve records, six times then six move counts, each `step` on from the
  // last; returns the bytes they must be saved as.
  static std::vector<uint8_t> Hold(uint32_t from, uint32_t step) {
    for (int32_t i = 0; i < 6; ++i) {
      BestSeconds[i] = from + static_cast<uint32_t>(i) * step;
      BestMoves[i] = static_cast<int32_t>(from + static_cast<uint32_t>(i + 6) * step);
    }
    return Encoded();
  }
  // The power going, or the program being killed, in the middle of a save: a
  // child saves two sets of records by turns until it is killed at a random
  // moment, and every time quill.dat must hold the whole of one set or the
  // whole of the other. Each byte of one set differs from the same byte of
  // the other, so a file mixed from both matches neither. Once nobody kills
  // it, a save still lands.
  void KillSavesThenSave(uint32_t seed) {
    const std::vector<uint8_t> after = Hold(0xA0B0C0D0, 0xFFFFFFFF);
    const std::vector<uint8_t> before = Hold(0x10203040, 1);
    SaveRecords();
    std::mt19937 random(seed);
    int finished = 0;
    for (int round = 0; round < 200; ++round) {
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        for (uint64_t n = 0;; ++n) {
          n % 2 == 0 ? Hold(0xA0B0C0D0, 0xFFFFFFFF) : Hold(0x10203040, 1);
          SaveRecords();
        }
      }
      usleep(random() % 3001);
      kill(child, SIGKILL);
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself";
      const auto bytes = RecordsFile();
      ASSERT_TRUE(bytes == before || bytes == after)
          << "kill " << round << " left " << bytes.size() << " bytes that are neither set";
      finished += bytes == after;
      unfinished_ += std::filesystem::is_regular_file(Folder() / "quill.dat.tmp");
      for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
        const auto name = entry.path().filename();
        ASSERT_TRUE(name == "quill.dat" || name == "quill.dat.tmp") << "left behind: " << name;
      }
    }
    EXPECT_GT(finished, 0) << "no save finished before a kill";
    const std::vector<uint8_t> last = Hold(12, 7);
    SaveRecords();
    EXPECT_EQ(RecordsFile(), last);
  }
  int unfinished_ = 0;  // kills that left a new file not yet in place

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
}

// The save goes through a new file under a temporary name. Whatever an
// earlier run left under that name is neither written through nor in the
// way; a disk that fills up leaves the old file, no new one, and the records
// in memory for the next save.
TEST_F(Records_, ASaveLandsWholeOrNotAtAllWhateverLiesInItsWay) {
  const std::filesystem::path temp = Folder() / "quill.dat.tmp", victim = Folder() / "victim";
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  const rlimit full{20, saved.rlim_max};  // a disk that fills up after 20 bytes of the new file
  // What is in the way, and whether the save lands.
  const std::pair<std::function<void()>, bool> cases[] = {
      {[&] { std::filesystem::create_symlink(victim, temp); }, true},
      {[&] { std::ofstream(temp) << "left by a run that died"; }, true},
      {[&] { mkfifo(temp.c_str(), 0644); }, true},
      {[&] { setrlimit(RLIMIT_FSIZE, &full); }, false}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    std::ofstream(victim) << "precious";
    WriteCounting(48);
    const std::vector<uint8_t> old = RecordsFile();
    BestMoves[i] = static_cast<int32_t>(i);
    const std::vector<uint8_t> wanted = Encoded();
    cases[i].first();
    SaveRecords();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(RecordsFile(), cases[i].second ? wanted : old);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(temp)));
    EXPECT_EQ(std::filesystem::file_size(victim), 8u);
    SaveRecords();  // what memory holds lands with the next save
    EXPECT_EQ(RecordsFile(), wanted);
  }
  std::signal(SIGXFSZ, previous);
}

// A shared or installed copy whose folder the player may not write. An
// installed records file that may not be written either is read; records are
// then saved in the player's data folder and read from there from then on. A
// file the player may write, or, for root, another player's file, is
// rewritten where it lies and stays its owner's, with its mode.
TEST_F(Records_, AFolderThePlayerMayNotWriteKeepsTheRecordsInTheFileOrThePlayersDataFolder) {
  WriteCounting(60);
  const std::filesystem::path data = Folder() / "data";
  std::filesystem::create_directory(data);
  if (getuid() == 0) {
    ASSERT_EQ(chown(data.c_str(), 65534, 65534), 0);
  }
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
  const int installed = AsOrdinaryUser([] {
    std::fill(std::begin(BestSeconds), std::end(BestSeconds), DefaultRecord);
    LoadRecords();
    if (BestSeconds[0] != 0x04030201u) return 1;  // the installed file's first four bytes
    BestSeconds[0] = 5;
    SaveRecords();
    BestSeconds[0] = DefaultRecord;
    LoadRecords();  // as at the next start
    return BestSeconds[0] == 5 ? 0 : 2;
  });
  EXPECT_EQ(RecordsFile()[0], 1);  // the installed file is as it came
  std::filesystem::permissions(File(), std::filesystem::perms(0666));
  BestSeconds[2] = 7;
  const int writable = AsOrdinaryUser([] { return SaveRecords(), 0; });
  unsetenv("XDG_DATA_HOME");
  std::filesystem::permissions(Folder(), std::filesystem::perms(0755));
  EXPECT_EQ(std::tuple(installed, writable), std::tuple(0, 0));
  const std::vector<uint8_t> bytes = Bytes(data / "quillmoth" / "quill.dat");
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(std::vector(bytes.begin(), bytes.begin() + 8),
            (std::vector<uint8_t>{5, 0, 0, 0, 5, 6, 7, 8}));
  EXPECT_EQ(RecordsFile(), Encoded());
  struct stat info {};
  stat(File().c_str(), &info);
  EXPECT_EQ(std::tuple(info.st_uid, info.st_mode & 0777), std::tuple(getuid(), 0666u));

  if (getuid() == 0) {  // another player's file in a folder anyone may write
    ASSERT_EQ(chown(File().c_str(), 65534, 65534), 0);
    std::filesystem::permissions(File(), std::filesystem::perms(0660));
    BestSeconds[2] = 6;
    SaveRecords();
    EXPECT_EQ(RecordsFile(), Encoded());
    stat(File().c_str(), &info);
    EXPECT_EQ(std::tuple(info.st_uid, info.st_mode & 0777), std::tuple(65534u, 0660u));
  }
}

TEST_F(Records_, ANewFileThatReplacesTheOldOrOneRewrittenInPlaceIsWholeWheneverTheSaveDies) {
  KillSavesThenSave(1);
  EXPECT_GT(unfinished_, 0) << "no kill came in the middle of a save";
  EXPECT_FALSE(std::filesystem::exists(Folder() / "quill.dat.tmp"));
  std::filesystem::create_directory(Folder() / "quill.dat.tmp");  // nothing new can go beside it
  KillSavesThenSave(2);
  EXPECT_TRUE(std::filesystem::is_directory(Folder() / "quill.dat.tmp"));
}

}  // namespace
