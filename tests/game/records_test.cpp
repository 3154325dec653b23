#include "game/records.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include "game/game_fixture.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::string;
using Values = std::array<uint32_t, 12>;  // six times, then six move counts

class Records_ : public GameTest {
 protected:
  fs::path File() const { return Folder() / "quill.dat"; }
  Bytes RecordsFile() const { return ReadFile(File()); }
  void Write(const Bytes& bytes) const { std::ofstream(File(), std::ios::binary) << bytes; }
  // The records file's layout: each value least significant byte first.
  static Bytes Encode(const Values& values) { return RecordsBytes({values.begin(), values.end()}); }
  // Puts the values in memory; returns the bytes they must be saved as.
  static Bytes Hold(const Values& values) {
    for (int32_t i = 0; i < 6; ++i)
      std::tie(BestSeconds[i], BestMoves[i]) =
          std::tuple(values[i], static_cast<int32_t>(values[i + 6]));
    return Encode(values);
  }
  // Runs `body` in a child process as an ordinary user (for root, "nobody":
  // root may write everywhere) with XDG_DATA_HOME at `data` (none: unset)
  // and returns its exit code.
  static int AsOrdinaryUser(const std::optional<fs::path>& data, int (*body)()) {
    data ? setenv("XDG_DATA_HOME", data->c_str(), 1) : unsetenv("XDG_DATA_HOME");
    const pid_t child = fork();
    if (child == 0) {
      if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
      _exit(body());
    }
    int status = -1;
    waitpid(child, &status, 0);
    unsetenv("XDG_DATA_HOME");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // The player's data folder, owned by the ordinary user (for root, nobody).
  fs::path DataFolder() const {
    const fs::path data = Folder() / "data";
    fs::create_directory(data);
    EXPECT_TRUE(getuid() != 0 || chown(data.c_str(), 65534, 65534) == 0);
    return data;
  }
  // The power going, or the program being killed, in the middle of a save: a
  // child saves two sets of records by turns until it is killed at a random
  // moment, and every time quill.dat must hold the whole of one set or the
  // whole of the other. Each byte of one set differs from the same byte of
  // the other, so a file mixed from both matches neither. Once nobody kills
  // it, a save still lands.
  void KillSavesThenSave(uint32_t seed) {
    Values one{}, other{};
    for (uint32_t i = 0; i < 12; ++i)
      std::tie(one[i], other[i]) = std::tuple(0xA0B0C0D0 - i, 0x10203040 + i);
    const Bytes after = Hold(one), before = Hold(other);
    SaveRecords();
    std::mt19937 random(seed);
    int finished = 0;
    for (int round = 0; round < 200; ++round) {
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        for (uint64_t n = 0;; ++n) {
          Hold(n % 2 == 0 ? one : other);
          SaveRecords();
        }
      }
      usleep(random() % 3001);
      kill(child, SIGKILL);
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself";
      const Bytes bytes = RecordsFile();
      ASSERT_TRUE(bytes == before || bytes == after)
          << "kill " << round << " left " << bytes.size() << " bytes that are neither set";
      finished += bytes == after;
      unfinished_ += fs::is_regular_file(Folder() / "quill.dat.tmp");
      for (const auto& entry : fs::directory_iterator(Folder())) {
        const auto name = entry.path().filename();
        ASSERT_TRUE(name == "quill.dat" || name == "quill.dat.tmp") << "left behind: " << name;
      }
    }
    EXPECT_GT(finished, 0) << "no save finished before a kill";
    const Bytes last = Hold({12, 19, 26, 33, 40, 47, 54, 61, 68, 75, 82, 89});
    SaveRecords();
    EXPECT_EQ(RecordsFile(), last);
  }
  int unfinished_ = 0;  // kills that left a new file not yet in place
  // Bytes 1, 2, 3, ... so that every value shows which bytes it came from.
  void WriteCounting(int32_t size) const {
    Bytes bytes(static_cast<size_t>(size), 0);
    std::iota(bytes.begin(), bytes.end(), char{1});
    Write(bytes);
  }
};

TEST_F(Records_, FilesAreReadLittleEndianByteByByteAsFarAsTheyReach) {
  // Values any game can make, whose bytes differ: the file's last time is
  // 0x00410302 s and the held one 0x00400000 s, so a value cut short shows
  // which bytes came from where.
  const Bytes file = Encode({1, 2, 3, 4, 5, 0x00410302, 0x0104, 8, 12, 18, 24, 0x7F20});
  // File size, then BestSeconds[5], BestMoves[0] and BestMoves[5] after loading.
  const std::pair<size_t, std::tuple<uint32_t, int32_t, int32_t>> cases[] = {
      {0, {0x00400000, 256, 256}},
      {22, {0x00400302, 256, 256}},
      {30, {0x00410302, 0x0104, 256}},
      {48, {0x00410302, 0x0104, 0x7F20}},
      {60, {0x00410302, 0x0104, 0x7F20}}};
  for (const auto& [size, loaded] : cases) {
    SCOPED_TRACE(size);
    Write(file.substr(0, size) + (size > 48 ? "past the end" : ""));
    std::ranges::fill(BestSeconds, 0x00400000u);
    std::ranges::fill(BestMoves, 256);
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
  const Bytes bytes = Encode(
      {4294967, 4294968, 4294967295u, 0, 999, 1, 4, 7, 32767, 32768, 0xFFFF8000u, 0xFFFFFFFFu});
  Write(bytes);
  LoadRecords();
  EXPECT_EQ(std::vector(std::begin(BestSeconds), std::end(BestSeconds)),
            (std::vector<uint32_t>{4294967, 999, 999, 0, 999, 1}));
  EXPECT_EQ(std::vector(std::begin(BestMoves), std::end(BestMoves)),
            (std::vector<int32_t>{4, 999, 32767, 999, 999, 999}));
  const auto time = [](const std::string& board, const std::string& value) {
    return "the records file's best time for the " + board + " board, " + value +
           " s, is longer than any game can last: read as no record";
  };
  const auto moves = [](const std::string& board, const std::string& value) {
    return "the records file's fewest moves for the " + board + " board, " + value +
           ", cannot come from any game: read as no record";
  };
  std::vector<std::string> named;
  for (const host::Notice& notice : host::Notices()) named.push_back(notice.Text);
  EXPECT_EQ(named,
            (std::vector{time("4 x 4", "4294968"), moves("4 x 4", "7"), time("4 x 6", "4294967295"),
                         moves("6 x 6", "32768"), moves("6 x 8", "-32768"), moves("8 x 8", "-1")}));
  EXPECT_EQ(RecordsFile(), bytes);
}

TEST_F(Records_, SavedRecordsAreTheFortyEightBytesOfTheLayout) {
  Hold({0, 1, 255, 256, 0x12345678u, 0xFFFFFFFFu, 4, 999, 1000, 0xFFFFFFFFu, 0x7FFFFFFF,
        0x80000000u});
  WriteCounting(60);  // an older, longer file is replaced whole
  SaveRecords();
  const std::vector<uint8_t> expected = {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0x00,
                                         0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x78, 0x56, 0x34, 0x12,
                                         0xFF, 0xFF, 0xFF, 0xFF, 0x04, 0x00, 0x00, 0x00, 0xE7, 0x03,
                                         0x00, 0x00, 0xE8, 0x03, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,
                                         0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80};
  EXPECT_EQ(RecordsFile(), Bytes(expected.begin(), expected.end()));
}

// The save goes through a new file under a temporary name. Whatever an
// earlier run left under that name is neither written through nor in the
// way; a save that cannot write at all leaves the old file and the records
// in memory for the next save.
TEST_F(Records_, ASaveLandsWholeOrNotAtAllWhateverLiesInItsWay) {
  const fs::path temp = Folder() / "quill.dat.tmp", victim = Folder() / "victim";
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  const rlimit none{0, saved.rlim_max};  // no file may take a byte
  // What is in the way, and whether the save lands.
  const std::pair<std::function<void()>, bool> cases[] = {
      {[&] { fs::create_symlink(victim, temp); }, true},
      {[&] { std::ofstream(temp) << "left by a run that died"; }, true},
      {[&] { mkfifo(temp.c_str(), 0644); }, true},
      {[&] { setrlimit(RLIMIT_FSIZE, &none); }, false}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    std::ofstream(victim) << "precious";
    WriteCounting(48);
    const Bytes old = RecordsFile();
    const Bytes wanted =
        Hold({10, 20, 30, 40, 50, 60, 5, 9, 13, 19, 25, static_cast<uint32_t>(33 + i)});
    cases[i].first();
    SaveRecords();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(RecordsFile(), cases[i].second ? wanted : old);
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp)));
    EXPECT_EQ(fs::file_size(victim), 8u);
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
  Hold({10, 20, 30, 40, 50, 60, 5, 9, 13, 19, 25, 33});
  const pid_t child = fork();
  if (child == 0) {
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) ||
        mount("tmpfs", Folder().c_str(), "tmpfs", 0, "size=64k") != 0) {
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
    if (fs::file_size(Folder() / "probe") != 0) _exit(3);
    const Bytes wanted = Hold({10, 20, 30, 40, 50, 60, 4, 9, 13, 19, 25, 33});
    SaveRecords();
    _exit(RecordsFile() == wanted && host::Notices().empty() ? 0 : 1);
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
  const Bytes installedBytes =
      Hold({0x00030201, 0x00070605, 9, 10, 11, 12, 100, 200, 300, 400, 500, 600});
  Write(installedBytes);
  const fs::path data = DataFolder();
  fs::permissions(Folder(), fs::perms(0555));
  const int installed = AsOrdinaryUser(data, [] {
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
  fs::permissions(File(), fs::perms(0666));
  const Bytes writableBytes = Hold({1, 2, 7, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  const int writable = AsOrdinaryUser(data, [] { return SaveRecords(), 0; });
  fs::permissions(Folder(), fs::perms(0755));
  EXPECT_EQ(std::tuple(installed, writable), std::tuple(0, 0));
  EXPECT_EQ(ReadFile(data / "quillmoth" / "quill.dat"),
            Encode({5, 0x00070605, 9, 10, 11, 12, 100, 200, 300, 400, 500, 600}));
  EXPECT_EQ(RecordsFile(), writableBytes);
  struct stat info {};
  stat(File().c_str(), &info);
  EXPECT_EQ(std::tuple(info.st_uid, info.st_mode & 0777), std::tuple(getuid(), 0666u));

  if (getuid() == 0) {  // another player's file in a folder anyone may write
    ASSERT_EQ(chown(File().c_str(), 65534, 65534), 0);
    fs::permissions(File(), fs::perms(0660));
    const Bytes othersBytes = Hold({1, 2, 6, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    SaveRecords();
    EXPECT_EQ(RecordsFile(), othersBytes);
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
  const fs::path data = DataFolder();
  fs::permissions(Folder(), fs::perms(0777));
  // What lies at the records file's place: its owner and mode.
  const std::tuple<const char*, uid_t, unsigned> cases[] = {
      {"another player's", 0, 0644}, {"made read-only", 65534, 0444}, {"a folder", 0, 0}};
  for (const auto& [what, owner, mode] : cases) {
    SCOPED_TRACE(what);
    fs::remove_all(File());
    fs::remove_all(data / "quillmoth");
    if (mode == 0) {
      // One anyone may write: a folder, however open, holds no records.
      fs::create_directory(File());
      fs::permissions(File(), fs::perms::all);
    } else {
      WriteCounting(48);
      ASSERT_EQ(chown(File().c_str(), owner, owner), 0);
      fs::permissions(File(), fs::perms(mode));
    }
    const Bytes before = mode == 0 ? Bytes{} : RecordsFile();
    const int saved = AsOrdinaryUser(data, [] {
      LoadRecords();
      BestMoves[0] = 4;
      SaveRecords();
      return std::ranges::none_of(host::Notices(), &host::Notice::Shown) ? 0 : 1;
    });
    EXPECT_EQ(saved, 0);
    const Bytes kept = ReadFile(data / "quillmoth" / "quill.dat");
    ASSERT_EQ(kept.size(), 48u);
    EXPECT_EQ(kept[24], 4);
    EXPECT_TRUE(mode == 0 || RecordsFile() == before);
  }

  // No folder to save in: the program's is closed to the player, and the
  // player's data folder is a file (or there is no home at all).
  fs::remove_all(File());
  fs::permissions(Folder(), fs::perms(0555));
  fs::remove_all(data / "quillmoth");
  std::ofstream(data / "quillmoth") << "not a folder";
  const std::optional<std::string> home =
      std::getenv("HOME") ? std::optional<std::string>(std::getenv("HOME")) : std::nullopt;
  for (const bool homeless : {false, true}) {
    SCOPED_TRACE(homeless);
    if (homeless) unsetenv("HOME");
    const int told = AsOrdinaryUser(homeless ? std::nullopt : std::optional(data), [] {
      LoadRecords();
      BestMoves[0] = 4;
      SaveRecords();
      BestMoves[0] = 3;
      SaveRecords();  // tried again, but not told twice
      const auto& n = host::Notices();
      if (n.size() != 1 || !n[0].Shown || BestMoves[0] != 3) return 1;
      return n[0].Text.starts_with("records cannot be saved in ") &&
                     n[0].Text.ends_with(": new records last until the game is closed")
                 ? 0
                 : 2;
    });
    EXPECT_EQ(told, 0);
  }
  if (home) setenv("HOME", home->c_str(), 1);
  fs::permissions(Folder(), fs::perms(0755));
}

TEST_F(Records_, ANewFileThatReplacesTheOldOrOneRewrittenInPlaceIsWholeWheneverTheSaveDies) {
  KillSavesThenSave(1);
  EXPECT_GT(unfinished_, 0) << "no kill came in the middle of a save";
  EXPECT_FALSE(fs::exists(Folder() / "quill.dat.tmp"));
  fs::create_directory(Folder() / "quill.dat.tmp");  // nothing new can go beside it
  KillSavesThenSave(2);
  EXPECT_TRUE(fs::is_directory(Folder() / "quill.dat.tmp"));
}

}  // namespace
