// The desktop host around the platform services: how it is set up from the
// command line, and what it lets the tests and scripted runs observe. The
// game never includes this header; host_main.cpp and the tests do.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace host {

// The display memory layouts the host can emulate. Each one makes the game
// take a different conversion path when it presents a frame. Each has a row
// in display_layouts.cpp: its name, memory, pitches and decoder.
enum class DisplayMode {
  Rgb565,          // 16-bit, pixel pitch 2, row pitch 480: one block copy
  Rgb565Wide,      // 16-bit, row pitch 512: row by row
  Rgb565Flipped,   // 16-bit, row pitch -480: memory bottom-up
  Rgb565Sideways,  // 16-bit, pixel pitch 640, row pitch -2: pixel by pixel
  Gray4,           // 4-bit grey, two pixels a byte, columns bottom to top
  Gray2,           // 2-bit grey, four pixels a byte, row pitch 60
  Rgb444,          // 12-bit: a depth the game does not draw
};

constexpr int ScreenWidth = 240;
constexpr int ScreenHeight = 320;

struct Options {
  bool Headless = false;
  int Scale = 0;  // 0: the largest whole factor up to 3 that fits the desktop
  DisplayMode Display = DisplayMode::Rgb565;
  std::string ScriptPath;  // "-" for standard input; empty for none
  std::string ScriptText;  // a script given directly (tests); used when no path
  // First value of the tick counter. Without it a script's "# tick-start N"
  // line gives it; without either, 0 for a headless run and the
  // milliseconds since the machine started for a window.
  std::optional<uint32_t> TickStart;
  std::string ModulePath;  // overrides the program's own path (tests)
  std::string RuntimeDir;  // overrides where running copies meet (tests)
  // Keeps every sound request for SoundRequests(). Off for real runs: a
  // long session would otherwise grow by one entry per effect.
  bool LogSounds = false;
  // The host plays no sound at all (the game still asks, and its own
  // speaker button still works).
  bool Mute = false;
  // Faults told to the player reach Notices() only, not standard error (the
  // fuzz targets, which meet thousands of damaged records files).
  bool QuietNotices = false;
  std::string RecordPath;  // --record: the run written down as a script
  // --replay: a recording played back with its own clock and records, in a
  // window at the recorded pace, or headless as fast as it goes.
  std::string ReplayPath;
  // --shot-scale, 1 to 8: F12's pictures are this many times 240 x 320. 0,
  // when not given: the whole factor the window shows the picture at then.
  int ShotScale = 0;
  // --pictures: a folder of the player's own pictures to make tile faces
  // from (the desktop's; the page has its own control).
  std::string PicturesFolder;
};

// Parses a --display value; false when it names no mode.
bool ParseDisplayMode(const std::string& text, DisplayMode* mode);

// Sets up the chosen backend. Nothing is opened on the desktop until the game
// opens the display or creates its window. Returns false, with a one-line
// reason in *error, when the backend cannot start (no script for a headless
// run, an unreadable or malformed script, no video device).
bool Start(const Options& options, std::string* error);
// One line on standard error for each data folder ("Graph", "Sound" beside
// the program) with files missing, unreadable, empty, cut short or not what
// the game needs, naming the folder, the first few files and what is wrong,
// and how many; the window's title says it in short. The game runs on
// regardless.
void ReportMissingData();
// Tears everything down; the next Start begins from a clean state.
void Stop();
// The exit code the run must end with: 0, 2 after a malformed script line,
// 1 when a script's shot or the recording could not be written.
int ExitCode();
// After the game has ended: a replay's window keeps the last frame on show
// until the player closes it. Returns at once for any other run.
void HoldLastFrame();
// True when this copy found another one running and only brought it to the
// front: the game did not run here.
bool HandedOver();

// --- observation (tests and scripts) ---

// What the display shows now, as 240 x 320 RGB888 triples, top row first.
void ReadDisplayPicture(std::span<uint8_t, ScreenWidth * ScreenHeight * 3> rgb);
// Writes that picture as an 8-bit RGB PNG. False when the file cannot be written.
bool WriteDisplayPng(const std::string& path);
// The raw display memory, guard space on both sides included, and the offset
// in it of the address GXBeginDraw hands out. That address is pixel (0, 0)
// in every layout but the sideways one, whose pixel (x, y) lies at
// origin + 640 - 2y + 640x.
std::span<const uint8_t> DisplayMemory();
size_t DisplayOrigin();
// Number of GXEndDraw calls so far: frames that reached the display.
uint32_t EndDrawCount();

bool TaskbarVisible();
uint32_t LastShellFlags();
bool DisplayOpen();
// Every sound request so far, when the run was started with LogSounds: the
// path asked for and its flags.
struct SoundRequest {
  std::string Path;
  uint32_t Flags;
};
const std::vector<SoundRequest>& SoundRequests();
// The faults reported to the player this run (ReportProblem, TellPlayer),
// the first 100 of them, and whether each went beyond standard error.
struct Notice {
  std::string Text;
  bool Shown;
};
const std::vector<Notice>& Notices();

// --- input injection (tests) ---
void PostMessageToGameWindow(uint32_t message, uintptr_t first, intptr_t second);
// Makes GXBeginDraw return nullptr while set.
void SetDisplayUnavailable(bool unavailable);
// Makes DeclareWindowClass / CreatePlatformWindow fail.
void SetWindowCreationFails(bool classFails, bool windowFails);
// Moves the virtual clock (headless only).
void SetTickCounter(uint32_t ticks);
// Frames the main loop has finished (HostFrameEnded calls).
uint64_t FramesRun();
// Called at the end of every frame of the current run, after the frame's
// pause and before the script's next commands; for tests that check the
// game's state frame by frame. Set it after Start; Start and Stop clear it.
void SetFrameObserver(std::function<void()> observer);

}  // namespace host
