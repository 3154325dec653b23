#include "game/records.h"

#include <cstdio>

#include "platform/platform.h"
#include "services/data_paths.h"

uint32_t BestSeconds[BoardSizes] = {DefaultRecord, DefaultRecord, DefaultRecord,
                                    DefaultRecord, DefaultRecord, DefaultRecord};
int32_t BestMoves[BoardSizes] = {DefaultRecord, DefaultRecord, DefaultRecord,
                                 DefaultRecord, DefaultRecord, DefaultRecord};

// The records file "quill.dat", in the program's folder (or, for a copy
// installed where the player may not write, in the player's data folder;
// see RecordsFolder). Every copy of the
// game, on any device, reads and writes exactly this layout, so it must never
// change:
//
//   offset  size  field
//        0     4  BestSeconds[0]  unsigned   2 x 4 board
//        4     4  BestSeconds[1]  unsigned   4 x 4
//        8     4  BestSeconds[2]  unsigned   4 x 6
//       12     4  BestSeconds[3]  unsigned   6 x 6
//       16     4  BestSeconds[4]  unsigned   6 x 8
//       20     4  BestSeconds[5]  unsigned   8 x 8
//       24     4  BestMoves[0]    signed     2 x 4
//       ...                                  (one per board size, same order)
//       44     4  BestMoves[5]    signed     8 x 8
//
// 48 bytes, no header, version or checksum; every value little-endian (least
// significant byte first), signed values in two's complement. Bytes past the
// 48th are ignored when reading.
//
// A short file is not an error: each byte that is present replaces the same
// byte of the value in memory and the rest keep what they held, so a file cut
// after 30 bytes sets all six times, BestMoves[0] and the low half of
// BestMoves[1]. Copies of the game that rewrote the file in place can leave
// such a file behind, and every copy must read it the same way.
//
// A value no game can make is read as no record (DefaultRecord) and named
// on standard error: a time past what the 32-bit millisecond clock can
// count, fewer moves than the board has pairs, or more than the move
// counter reaches (older copies let it wrap to -32,768, a record nobody
// could ever beat). The file keeps it until a record is next broken.

namespace {

constexpr const char* RecordsTempName = "quill.dat.tmp";
constexpr size_t PathCapacity = FolderCapacity + 16;
constexpr int32_t ValuesPerArray = BoardSizes;

// The 32-bit value of record slot `index` (0..11 in file order).
uint32_t RecordWord(int32_t index) {
  if (index < ValuesPerArray) {
    return BestSeconds[index];
  }
  return static_cast<uint32_t>(BestMoves[index - ValuesPerArray]);
}

void SetRecordWord(int32_t index, uint32_t word) {
  if (index < ValuesPerArray) {
    BestSeconds[index] = word;
  } else {
    BestMoves[index - ValuesPerArray] = static_cast<int32_t>(word);
  }
}

// The player's own data folder ($XDG_DATA_HOME/quillmoth/), when it is used.
char PlayerFolder[FolderCapacity];

// Said once a run: the player learns that records are not kept, once.
uint8_t UnsavedTold = 0;

// The longest time a game can take: the clock's 2^32 ms, in seconds.
constexpr uint32_t LongestSeconds = 4294967;

// Where "quill.dat" is read and written. It belongs in the program's folder
// and stays there whenever it can be kept there: the file is a plain file
// this player may write, or there is none yet and the folder takes new
// files. Otherwise (an installed copy's folder, another player's file in a
// shared folder, a file made read-only, a folder in its place) the records
// live in the player's own data folder: read from there once a record has
// been saved there (until then from the program's folder, so a copy
// installed with records starts from them), and always written there. A
// file this player may not write is so never replaced.
const char* RecordsFolder(bool reading) {
  char programFile[PathCapacity];
  if (!JoinPath(programFile, sizeof programFile, ProgramFolder, RecordsFileName)) {
    return ProgramFolder;
  }
  const bool keptHere =
      PathExists(programFile) ? PlainFileWritable(programFile) : PathWritable(ProgramFolder);
  if (keptHere || GetPlayerDataFolder(PlayerFolder, sizeof PlayerFolder) == 0) {
    return ProgramFolder;
  }
  char playerFile[PathCapacity];
  if (reading && (!JoinPath(playerFile, sizeof playerFile, PlayerFolder, RecordsFileName) ||
                  !PathExists(playerFile))) {
    return ProgramFolder;
  }
  return PlayerFolder;
}

// Writes all twelve records into the folder's "quill.dat"; true when they
// are there, whole.
bool WriteRecordsFile(const char* folder) {
  char path[PathCapacity];
  char tempPath[PathCapacity];
  if (!JoinPath(path, sizeof path, folder, RecordsFileName) ||
      !JoinPath(tempPath, sizeof tempPath, folder, RecordsTempName)) {
    return false;
  }

  uint8_t bytes[RecordsFileBytes];
  for (int32_t index = 0; index < 2 * ValuesPerArray; ++index) {
    uint32_t word = RecordWord(index);
    for (int32_t b = 0; b < 4; ++b) {
      bytes[index * 4 + b] = static_cast<uint8_t>(word >> (8 * b));
    }
  }

  // The records must survive a battery pull or a full store in the middle of
  // a save: the new file is written and forced to disk beside the old one and
  // only then takes its place in one step. Until then the old file is whole;
  // after it, the new one is.
  //
  // A temporary file left by an earlier run, or anything else planted under
  // its name, is removed first and never written through.
  RemoveFile(tempPath);
  FileHandle file = CreateNewFile(tempPath);
  if (file != NoFile) {
    bool whole =
        WriteToFile(file, bytes, RecordsFileBytes) == RecordsFileBytes && FlushFileToDisk(file);
    whole = CloseFile(file) && whole;
    if (whole && ReplaceFile(tempPath, path)) {
      return true;
    }
    RemoveFile(tempPath);
  }
  // No file can be made beside the records (a folder the player may not
  // write, as in an installed or shared copy, or something in the way), it
  // cannot be written whole (a full disk: the records file's own blocks
  // still take new bytes), or it cannot take their place (their file is a
  // link, or someone else's). Then the records file itself is rewritten, as
  // the game always did, but without cutting it first: one write of 48
  // bytes leaves either the old records or the new ones, and the file keeps
  // its owner and mode.
  file = OpenFileForUpdate(path);
  if (file == NoFile) {
    return false;
  }
  bool written = WriteToFile(file, bytes, RecordsFileBytes) == RecordsFileBytes &&
                 TruncateFile(file, RecordsFileBytes) && FlushFileToDisk(file);
  return CloseFile(file) && written;
}

}  // namespace

void LoadRecords() {
  UnsavedTold = 0;  // a new run: a failed save is told again
  char path[PathCapacity];
  // A cut path would name some other file; better keep the defaults.
  if (!JoinPath(path, sizeof path, RecordsFolder(true), RecordsFileName)) {
    return;
  }
  // Creates an empty file when there is none, as the game always has.
  FileHandle file = OpenFileForReading(path);
  if (file == NoFile) {
    return;
  }
  uint8_t bytes[RecordsFileBytes];
  size_t arrived = 0;
  while (arrived < RecordsFileBytes) {
    size_t count = ReadFromFile(file, bytes + arrived, RecordsFileBytes - arrived);
    if (count == 0) {
      break;
    }
    arrived += count;
  }
  CloseFile(file);

  for (size_t i = 0; i < arrived; ++i) {
    int32_t index = static_cast<int32_t>(i / 4);
    uint32_t shift = static_cast<uint32_t>(i % 4) * 8;
    uint32_t word = RecordWord(index);
    word = (word & ~(0xFFu << shift)) | (static_cast<uint32_t>(bytes[i]) << shift);
    SetRecordWord(index, word);
  }

  for (int32_t b = 0; b < BoardSizes; ++b) {
    const BoardLayout& layout = BoardLayouts[b];
    const int32_t pairs = layout.Columns * layout.Rows / 2;
    char text[160];
    if (BestSeconds[b] > LongestSeconds) {
      std::snprintf(text, sizeof text,
                    "the records file's best time for the %d x %d board, %u s, is longer than "
                    "any game can last: read as no record",
                    static_cast<int>(layout.Columns), static_cast<int>(layout.Rows),
                    static_cast<unsigned>(BestSeconds[b]));
      ReportProblem(text);
      BestSeconds[b] = DefaultRecord;
    }
    if (BestMoves[b] < pairs || BestMoves[b] > MaxMoves) {
      std::snprintf(text, sizeof text,
                    "the records file's fewest moves for the %d x %d board, %d, cannot come "
                    "from any game: read as no record",
                    static_cast<int>(layout.Columns), static_cast<int>(layout.Rows),
                    static_cast<int>(BestMoves[b]));
      ReportProblem(text);
      BestMoves[b] = static_cast<int32_t>(DefaultRecord);
    }
  }
}

void SaveRecords() {
  const char* folder = RecordsFolder(false);
  if (folder == PlayerFolder) {
    CreateFolders(PlayerFolder);
  }
  if (!WriteRecordsFile(folder) && UnsavedTold != 1) {
    // The records stay in memory, and the next record tries again.
    UnsavedTold = 1;
    char text[PathCapacity + 96];
    std::snprintf(text, sizeof text,
                  "records cannot be saved in %s: new records last until the game is closed",
                  folder);
    TellPlayer(text);
  }
}
