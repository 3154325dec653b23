// The handheld's services, as the game sees them.
//
// The game was written against a small set of system services: a direct
// display library (the GX* calls), a window with a message queue, the shell's
// full-screen switch, a millisecond tick counter, asynchronous WAV playback
// and plain file access. This header is the whole contract between the game
// (app/, gfx/, game/, screens/) and the desktop host; nothing else in the game
// may include SDL or read the wall clock.
//
// Two backends implement it and are chosen at start-up: an SDL2 window with
// sound, and a headless one that keeps everything in memory with a virtual
// clock; a browser build has a third, a web page's canvas (web_backend.cpp).
// All keep real display memory in the chosen pixel layout, so what the game
// writes there is exactly what a person would see.
//
// Threading: everything here is called from the game's one thread.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// Direct display library
//
// Pairing rule: every write to display memory happens between one
// GXBeginDraw and the matching GXEndDraw. GXEndDraw is the moment the picture
// becomes visible (the SDL window is refreshed then). GXBeginDraw returns the
// address of the display's pixel (0, 0); the pitches in GXDisplayProperties
// are byte distances from it and may be negative. It returns nullptr when the
// display is not open.

// Flag for GXOpenDisplay: the program takes the whole screen.
constexpr uint32_t GXFullScreen = 0x0001;

struct GXDisplayProperties {
  uint32_t Width;        // pixels across; the game assumes 240
  uint32_t Height;       // pixels down; the game assumes 320
  int32_t PixelPitch;    // bytes from one pixel to the next along x
  int32_t RowPitch;      // bytes from one row to the next along y
  int32_t BitsPerPixel;  // 16, 4, 2, or a depth the game does not draw
  uint32_t FormatFlags;  // not used by the game
};

struct PlatformWindow;
using WindowHandle = PlatformWindow*;

int GXOpenDisplay(WindowHandle window, uint32_t flags);
int GXOpenInput();
GXDisplayProperties GXGetDisplayProperties();
void* GXBeginDraw();
int GXEndDraw();
int GXCloseInput();
int GXCloseDisplay();

// ---------------------------------------------------------------------------
// Windows and messages
//
// A window procedure runs only when a message is dispatched to it: during
// CreatePlatformWindow (the create message, before the handle is returned),
// during ShowPlatformWindow (activation) and in DispatchPlatformMessage. Input
// from the desktop (mouse, touch, keys, focus, the close button, a second copy
// asking to be shown) is collected into the queue only when the queue is
// looked at with PeekPlatformMessage, never behind the game's back.

using InstanceHandle = void*;
using IconHandle = void*;
using BrushHandle = void*;
using WindowProcedure = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t first,
                                     intptr_t second);

constexpr uint32_t MessageCreate = 0x0001;
constexpr uint32_t MessageDestroy = 0x0002;
constexpr uint32_t MessageActivate = 0x0006;
constexpr uint32_t MessageEnable = 0x000A;
constexpr uint32_t MessageQuit = 0x0012;
constexpr uint32_t MessageSettingChange = 0x001A;
constexpr uint32_t MessageKeyDown = 0x0100;
constexpr uint32_t MessageKeyUp = 0x0101;
constexpr uint32_t MessageCharacter = 0x0102;
constexpr uint32_t MessageStylusMove = 0x0200;
constexpr uint32_t MessageStylusDown = 0x0201;
constexpr uint32_t MessageStylusUp = 0x0202;

// Low word of an activate message's first parameter.
constexpr uint32_t ActivateOff = 0;
constexpr uint32_t ActivateOn = 1;
constexpr uint32_t ActivateByStylus = 2;

// Show commands.
constexpr int ShowHide = 0;
constexpr int ShowNormal = 1;
constexpr int ShowShow = 5;

// Window styles the game asks for.
constexpr uint32_t StyleVisible = 0x10000000;
constexpr uint32_t ExStyleTopMost = 0x00000008;

constexpr int StockBlackBrush = 4;

// Stylus messages carry the position in the second parameter: x in the low
// 16 bits, y in the high 16 bits, in 240 x 320 screen pixels.
constexpr intptr_t PackStylusPosition(uint32_t x, uint32_t y) {
  return static_cast<intptr_t>((y & 0xFFFFu) << 16 | (x & 0xFFFFu));
}

struct WindowClass {
  uint32_t Style;
  WindowProcedure Procedure;
  int32_t ClassExtraBytes;
  int32_t WindowExtraBytes;
  InstanceHandle Instance;
  IconHandle Icon;
  void* Cursor;
  BrushHandle Background;
  const char* MenuName;
  const char* ClassName;
};

struct PlatformRect {
  int32_t Left;
  int32_t Top;
  int32_t Right;
  int32_t Bottom;
};

struct PlatformMessage {
  WindowHandle Window;  // nullptr for the quit request
  uint32_t Message;
  uintptr_t First;
  intptr_t Second;
};

// Finds a top-level window of the class, in this process or in another copy
// of the program started by the same user. The handle of another copy's
// window is good only for ShowPlatformWindow (which asks that copy to raise
// itself).
WindowHandle FindTopLevelWindow(const char* className);
bool DeclareWindowClass(const WindowClass& windowClass);
WindowHandle CreatePlatformWindow(uint32_t exStyle, const char* className, const char* title,
                                  uint32_t style, int32_t x, int32_t y, int32_t width,
                                  int32_t height, WindowHandle parent, void* menu,
                                  InstanceHandle instance, void* createData);
bool ShowPlatformWindow(WindowHandle window, int showCommand);
bool UpdatePlatformWindow(WindowHandle window);
bool GetPlatformWindowRect(WindowHandle window, PlatformRect* rect);
bool MovePlatformWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                        bool repaint);
intptr_t DefaultWindowProcedure(WindowHandle window, uint32_t message, uintptr_t first,
                                intptr_t second);
// Queues the quit request (MessageQuit, first parameter = exit code).
void PostQuitRequest(int exitCode);
// True when a message waits in the queue; leaves it there.
bool PeekPlatformMessage();
// Takes the oldest message out of the queue. Returns false when that message
// is the quit request. Must only be called when PeekPlatformMessage said yes.
bool TakePlatformMessage(PlatformMessage* message);
void TranslatePlatformMessage(const PlatformMessage& message);
intptr_t DispatchPlatformMessage(const PlatformMessage& message);
IconHandle LoadIconResource(InstanceHandle instance, int resourceId);
BrushHandle GetStockBrush(int stockObject);
InstanceHandle GetProgramInstance();

// ---------------------------------------------------------------------------
// Shell: the full-screen switch and the taskbar window "HHTaskbar".
constexpr uint32_t ShellShowTaskbar = 0x01;
constexpr uint32_t ShellHideTaskbar = 0x02;
constexpr uint32_t ShellShowInputButton = 0x04;
constexpr uint32_t ShellHideInputButton = 0x08;
constexpr uint32_t ShellShowStartIcon = 0x10;
constexpr uint32_t ShellHideStartIcon = 0x20;
bool ShellFullScreen(WindowHandle window, uint32_t flags);

// ---------------------------------------------------------------------------
// Time
//
// Milliseconds since the device started, as a 32-bit counter that wraps to 0
// after 2^32 ms. The counter stands still while the game draws and presents
// a frame and moves only inside SleepMilliseconds: every read in a frame
// gives the same value, which is what lets a recording give a replay the
// very same clock. A window's counter then moves by the real time that
// passed since it last moved; the headless backend's clock is virtual and
// moves by exactly the amount asked for (or, in a frame a script gave a
// length, to the end of that length).
uint32_t ReadTickCounter();
void SleepMilliseconds(uint32_t milliseconds);

// Called by the main loop once per frame, after the frame's pause: scripted
// input for the next frame is put into the queue here.
void HostFrameEnded();

// ---------------------------------------------------------------------------
// Module: the full path of the running program file, '/' separated, zero
// terminated. Returns the length written (cut to capacity - 1), 0 on failure.
size_t GetModuleFileName(char* buffer, size_t capacity);
// Longest path the host hands out or accepts, terminator included.
constexpr size_t PlatformPathCapacity = 4096;

// ---------------------------------------------------------------------------
// Sound: WAV files, played once each, in the background.
constexpr uint32_t SoundAsync = 0x00001;
constexpr uint32_t SoundNoDefault = 0x00002;
constexpr uint32_t SoundNoStop = 0x02000;
constexpr uint32_t SoundFileName = 0x20000;
// Every sound plays in the background whether or not SoundAsync is given
// (nothing in the game may wait for the device), and a missing or unreadable
// file plays nothing at all, so SoundNoDefault changes nothing either.
// The host mixes a few effects at once. A request that finds every voice
// busy is dropped when SoundNoStop is given (the game never waits for the
// device and never cuts a sound short); without it, it replaces the oldest.
// Returns false when the file could not be played.
bool PlaySoundFile(const char* path, uint32_t flags);

// ---------------------------------------------------------------------------
// Files
using FileHandle = int32_t;
constexpr FileHandle NoFile = -1;
// Opens for reading, sharing reads; creates an empty file when there is none.
// Anything at the path that is not a plain file (a pipe, a device, a folder)
// counts as a file that cannot be opened, and opening never blocks.
FileHandle OpenFileForReading(const char* path);
// Creates a new file for writing; fails when anything at all, a symbolic
// link included, is already at the path.
FileHandle CreateNewFile(const char* path);
// Opens a plain file for writing from its first byte without truncating it,
// creating it when there is none. What is not overwritten stays.
FileHandle OpenFileForUpdate(const char* path);
// Cuts (or extends with zeros) the file to `length` bytes.
bool TruncateFile(FileHandle file, uint64_t length);
// Read and write report the number of bytes moved (0 on failure).
size_t ReadFromFile(FileHandle file, void* buffer, size_t count);
size_t WriteToFile(FileHandle file, const void* buffer, size_t count);
// Forces what was written onto the disk.
bool FlushFileToDisk(FileHandle file);
bool CloseFile(FileHandle file);
// Puts `from` in the place of `to` in one step (same folder), with `to`'s
// permissions, and makes the change last across a power cut. Refuses (false,
// nothing changed) when `to` is a symbolic link or belongs to another user.
bool ReplaceFile(const char* from, const char* to);
bool RemoveFile(const char* path);
// Whether anything lies at the path, and whether this program may write to
// it (a file, or a folder to make files in).
bool PathExists(const char* path);
bool PathWritable(const char* path);
// Whether a plain file lies at the path that this program may write: a
// folder, a device or someone else's read-only file in its place is none.
bool PlainFileWritable(const char* path);
// Makes the folder and any missing folders above it. True when it exists.
bool CreateFolders(const char* path);
// The player's own folder for the game's data, '/' terminated:
// $XDG_DATA_HOME/quillmoth/, else ~/.local/share/quillmoth/. Returns the
// length written, 0 when there is none (no home folder) or it does not fit.
size_t GetPlayerDataFolder(char* buffer, size_t capacity);

// ---------------------------------------------------------------------------
// Telling the player
//
// The handheld game reported nothing; a desktop or a page that loses a
// player's records without a word does them wrong. These carry what the
// game cannot show on its own screen, as one line of text without a line
// end.
//
// A fault worth a line on standard error ("quillmoth: " and the text).
void ReportProblem(const char* text);
// A fault the player must hear of even without a terminal: the line on
// standard error, and the window's title on the desktop or the note under
// the picture on the page.
void TellPlayer(const char* text);
