#include "game/records.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <string>

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
  // Values any game can make, whose bytes differ: the file's last time is
  // 0x00410302 s and the held one 0x00400000 s, so a value cut short shows
  // which bytes came from where.
  const std::array<uint32_t, 12> file{1, 2, 3, 4, 5, 0x00410302, 0x0104, 8, 12, 18, 24, 0x7F20};
  const auto write = [&](size_t size) {
    std::ofstream out(File(), std::ios::binary | std::ios::trunc);
    for (size_t i = 0; i < size; ++i) out.put(static_cast<char>(file[i / 4] >> (8 * (i % 4))));
  };
  // File size, then BestSeconds[5], BestMoves[0] and BestMoves[5] after loading.
  const std::pair<size_t, std::tuple<uint32_t, int32_t, int32_t>> cases[] = {
      {0, {0x00400000, 256, 256}},
      {22, {0x00400302, 256, 256}},
      {30, {0x00410302, 0x0104, 256}},
      {48, {0x00410302, 0x0104, 0x7F20}},
      {60, {0x00410302, 0x0104, 0x7F20}}};
  for (const auto& [size, loaded] : cases) {
    SCOPED_TRACE(size);
    write(std::min<size_t>(size, 48));
    if (size > 48) std::ofstream(File(), std::ios::binary | std::ios::app) << "past the end";
    std::fill(std::begin(BestSeconds), std::end(BestSeconds), 0x00400000u);
    std::fill(std::begin(BestMoves), std::end(BestMoves), 256);
    LoadRecords();
    EXPECT_EQ(std::tuple(BestSeconds[5], BestMoves[0], BestMoves[5]), loaded);
    EXPECT_EQ(RecordsFile().size(), size);
  }
}

// A value no game can make reads as no record and is named, once for each,
// on standard error; every plausible value stays exactly as stored, and the
// file is left as it is.
TEST_F(Records_, ValuesNoGameCanMakeReadAsNoRecordAndAreNamed) {
  // Times: the longest the millisecond clock can count, one past it, the
  // largest 32-bit count, 0 (a record nobody can beat, but one a quick
  // enough player could have made), 999, 1. Moves: each board's pairs, one
  // under them, 32,767, one past it, -32,768 (an older copy's counter
  // wrapping), -1.
  const std::array<uint32_t, 12> stored{4294967, 4294968, 4294967295u, 0,          999, 1, 4, 7,
                                        32767,   32768,   0xFFFF8000u, 0xFFFFFFFFu};
  std::ofstream out(File(), std::ios::binary);
  for (uint32_t value : stored)
    for (int b = 0; b < 4; ++b) out.put(static_cast<char>(value >> (8 * b)));
  out.close();
  const std::vector<uint8_t> bytes = RecordsFile();
  LoadRecords();
  EXPECT_EQ(std::vector(std::begin(BestSeconds), std::end(BestSeconds)),
            (std::vector<uint32_t>{4294967, 999, 999, 0, 999, 1}));
  EXPECT_EQ(std::vector(std::begin(BestMoves), std::end(BestMoves)),
            (std::vector<int32_t>{4, 999, 32767, 999, 999, 999}));
  std::vector<std::string> named;
  for (const host::Notice& notice : host::Notices()) named.push_back(notice.Text);
  EXPECT_EQ(named, (std::vector<std::string>{
                       "the records file's best time for the 4 x 4 board, 4294968 s, is longer "
                       "than any game can last: read as no record",
                       "the records file's fewest moves for the 4 x 4 board, 7, cannot come from "
                       "any game: read as no record",
                       "the records file's best time for the 4 x 6 board, 4294967295 s, is longer "
                       "than any game can last: read as no record",
                       "the records file's fewest moves for the 6 x 6 board, 32768, cannot come "
                       "from any game: read as no record",
                       "the records file's fewest moves for the 6 x 8 board, -32768, cannot come "
                       "from any game: read as no record",
                       "the records file's fewest moves for the 8 x 8 board, -1, cannot come from "
                       "any game: read as no record"}));
  EXPECT_EQ(RecordsFile(), bytes);
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
// way; a save that cannot write at all leaves the old file and the records
// in memory for the next save.
TEST_F(Records_, ASaveLandsWholeOrNotAtAllWhateverLiesInItsWay) {
  const std::filesystem::path temp = Folder() / "quill.dat.tmp", victim = Folder() / "victim";
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  const rlimit none{0, saved.rlim_max};  // no file may take a byte
  // What is in the way, and whether the save lands.
  const std::pair<std::function<void()>, bool> cases[] = {
      {[&] { std::filesystem::create_symlink(victim, temp); }, true},
      {[&] { std::ofstream(temp) << "left by a run that died"; }, true},
      {[&] { mkfifo(temp.c_str(), 0644); }, true},
      {[&] { setrlimit(RLIMIT_FSIZE, &none); }, false}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    std::ofstream(victim) << "precious";
    WriteCounting(48);
    const std::vector<uint8_t> old = RecordsFile();
    BestMoves[i] = static_cast<int32_t>(i + 4);
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

// A disk too full for the new file still has the old file's own blocks:
// the records are rewritten there instead of being lost. The program's
// folder is a 64 KB memory file system, filled up, in a mount namespace of
// a child's own, so nothing is left mounted whatever happens.
TEST_F(Records_, AFullDiskStillTakesANewRecordInTheRecordsFileItself) {
  std::ranges::copy(std::array<uint32_t, 6>{10, 20, 30, 40, 50, 60}, BestSeconds);
  std::ranges::copy(std::array<int32_t, 6>{5, 9, 13, 19, 25, 33}, BestMoves);
  const pid_t child = fork();
  if (child == 0) {
    const std::string folder = Folder().string();
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) ||
        mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
      _exit(77);
    }
    SaveRecords();  // the file as the last record left it, and more an older copy left
    std::ofstream(File(), std::ios::binary | std::ios::app) << "past the 48 bytes";
    std::ofstream filler(Folder() / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    for (int i = 0; i < 64 && filler.write(block.data(), block.size()).flush(); ++i) {
    }
    filler.close();
    std::ofstream(Folder() / "probe") << "x";  // it cannot even take this
    if (std::filesystem::file_size(Folder() / "probe") != 0) _exit(3);
    BestMoves[0] = 4;
    const std::vector<uint8_t> wanted = Encoded();
    SaveRecords();
    const bool landed = Bytes(File()) == wanted && host::Notices().empty();
    _exit(landed ? 0 : 1);
  }
  int status = -1;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "this machine lets no test mount a file system";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the record did not land; 3: the disk was not full";
}

// A shared or installed copy whose folder the player may not write. An
// installed records file that may not be written either is read; records are
// then saved in the player's data folder and read from there from then on. A
// file the player may write, or, for root, another player's file, is
// rewritten where it lies and stays its owner's, with its mode.
TEST_F(Records_, AFolderThePlayerMayNotWriteKeepsTheRecordsInTheFileOrThePlayersDataFolder) {
  // Times and moves a game can make, every byte of the first two values a
  // different one.
  std::ranges::copy(std::array<uint32_t, 6>{0x00030201, 0x00070605, 9, 10, 11, 12}, BestSeconds);
  std::ranges::copy(std::array<int32_t, 6>{100, 200, 300, 400, 500, 600}, BestMoves);
  const std::vector<uint8_t> installedBytes = Encoded();
  std::ofstream(File(), std::ios::binary)
      .write(reinterpret_cast<const char*>(installedBytes.data()), 48);
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
    if (BestSeconds[0] != 0x00030201u) return 1;  // the installed file's first value
    BestSeconds[0] = 5;
    SaveRecords();
    BestSeconds[0] = DefaultRecord;
    LoadRecords();  // as at the next start
    return BestSeconds[0] == 5 ? 0 : 2;
  });
  EXPECT_EQ(RecordsFile(), installedBytes);  // the installed file is as it came
  std::filesystem::permissions(File(), std::filesystem::perms(0666));
  BestSeconds[2] = 7;
  const int writable = AsOrdinaryUser([] { return SaveRecords(), 0; });
  unsetenv("XDG_DATA_HOME");
  std::filesystem::permissions(Folder(), std::filesystem::perms(0755));
  EXPECT_EQ(std::tuple(installed, writable), std::tuple(0, 0));
  const std::vector<uint8_t> bytes = Bytes(data / "quillmoth" / "quill.dat");
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(std::vector(bytes.begin(), bytes.begin() + 8),
            (std::vector<uint8_t>{5, 0, 0, 0, 5, 6, 7, 0}));
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

// Wherever the records file beside the program cannot be kept (another
// player's file in a folder anyone may write, the player's own file made
// read-only, a folder in its place), the records go to the player's data
// folder and that file is left exactly as it was. Where they cannot be
// saved at all, the player is told, once a run, beyond standard error.
TEST_F(Records_, RecordsThatCannotStayBesideTheProgramGoToThePlayersFolderOrThePlayerIsTold) {
  if (getuid() != 0) GTEST_SKIP() << "needs root, to play another user (nobody) on their files";
  const std::filesystem::path data = Folder() / "data";
  std::filesystem::create_directory(data);
  ASSERT_EQ(chown(data.c_str(), 65534, 65534), 0);
  std::filesystem::permissions(Folder(), std::filesystem::perms(0777));
  // What lies at the records file's place: its owner and mode.
  const std::tuple<const char*, uid_t, unsigned> cases[] = {
      {"another player's", 0, 0644}, {"made read-only", 65534, 0444}, {"a folder", 0, 0}};
  for (const auto& [what, owner, mode] : cases) {
    SCOPED_TRACE(what);
    std::filesystem::remove_all(File());
    std::filesystem::remove_all(data / "quillmoth");
    if (mode == 0) {
      // One anyone may write: a folder, however open, holds no records.
      std::filesystem::create_directory(File());
      std::filesystem::permissions(File(), std::filesystem::perms::all);
    } else {
      WriteCounting(48);
      ASSERT_EQ(chown(File().c_str(), owner, owner), 0);
      std::filesystem::permissions(File(), std::filesystem::perms(mode));
    }
    const std::vector<uint8_t> before = mode == 0 ? std::vector<uint8_t>{} : RecordsFile();
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const int saved = AsOrdinaryUser([] {
      LoadRecords();
      BestMoves[0] = 4;
      SaveRecords();
      return std::ranges::none_of(host::Notices(), &host::Notice::Shown) ? 0 : 1;
    });
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(saved, 0);
    const std::vector<uint8_t> kept = Bytes(data / "quillmoth" / "quill.dat");
    ASSERT_EQ(kept.size(), 48u);
    EXPECT_EQ(kept[24], 4);
    if (mode != 0) {
      EXPECT_EQ(RecordsFile(), before);
    }
  }

  // No folder to save in: the program's is closed to the player, and the
  // player's data folder is a file (or there is no home at all).
  std::filesystem::remove_all(File());
  std::filesystem::permissions(Folder(), std::filesystem::perms(0555));
  std::filesystem::remove_all(data / "quillmoth");
  std::ofstream(data / "quillmoth") << "not a folder";
  for (bool home : {true, false}) {
    SCOPED_TRACE(home);
    home ? setenv("XDG_DATA_HOME", data.c_str(), 1) : unsetenv("XDG_DATA_HOME");
    const std::optional<std::string> savedHome =
        std::getenv("HOME") ? std::optional<std::string>(std::getenv("HOME")) : std::nullopt;
    if (!home) unsetenv("HOME");
    const int told = AsOrdinaryUser([] {
      LoadRecords();
      BestMoves[0] = 4;
      SaveRecords();
      BestMoves[0] = 3;
      SaveRecords();  // tried again, but not told twice
      const auto& notices = host::Notices();
      return notices.size() == 1 && notices[0].Shown &&
                     notices[0].Text.starts_with("records cannot be saved in ") &&
                     notices[0].Text.ends_with(": new records last until the game is closed") &&
                     BestMoves[0] == 3
                 ? 0
                 : 1;
    });
    if (savedHome) setenv("HOME", savedHome->c_str(), 1);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(told, 0);
  }
  std::filesystem::permissions(Folder(), std::filesystem::perms(0755));
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
