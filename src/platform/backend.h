// What differs between the ways the host can run: on the desktop a real SDL2
// window with sound and a wall clock, or nothing at all with a virtual clock;
// in a browser the page's canvas. Everything else (windows, queue, display
// memory, scripts, files) is shared and lives in its own file; those files
// reach the running backend and the start-up options through the functions
// at the end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/host.h"

namespace host::detail {

class Backend {
 public:
  virtual ~Backend() = default;

  // The 32-bit millisecond counter; wraps to 0 after 2^32 ms.
  //
  // As the game sees it, the counter stands still while a frame is drawn and
  // presented and moves only while the game sleeps: every read within a
  // frame gives the same value, so how far the counter moved in each frame
  // is all a recording needs to give a replay the very same clock. A real
  // clock moves in a sleep by the real time that passed since it last moved;
  // a virtual one by what the sleep asked for.
  virtual uint32_t ReadTicks() = 0;
  // Sleeps for `milliseconds` from the game's last read of the counter, and
  // in a frame given a length (BeginFrame) until the frame has lasted that
  // long, then moves the counter on.
  virtual void Sleep(uint32_t milliseconds) = 0;
  // Makes the counter read `ticks` now.
  virtual void SetTicks(uint32_t ticks) = 0;
  // A frame ends and the next one begins. `length` is how many milliseconds
  // the new frame lasts (a script's "wait N MS"): exactly, on a virtual
  // clock; at least, on a real one. 0 leaves the frame to the game's pause.
  virtual void BeginFrame(uint32_t length) = 0;

  // Moves whatever the desktop has delivered (mouse, touch, keys, focus, the
  // close button) into the platform queue. Called only from
  // PeekPlatformMessage.
  virtual void CollectDesktopEvents() = 0;
  // The game window was shown or hidden.
  virtual void ShowGameWindow(bool visible) = 0;
  // Another copy of the program asked this one to come to the front.
  virtual void BringToFront() = 0;
  // The display memory holds a new picture (GXEndDraw).
  virtual void PresentDisplay() = 0;
  // Starts an effect; false when the file cannot be played.
  virtual bool PlaySound(const std::string& path, uint32_t flags) = 0;
  // Shows the player a fault the game cannot show itself (TellPlayer), where
  // they look without a terminal.
  virtual void ShowNotice(const std::string& text) = 0;
  // The game has ended: keeps its last picture on show until the player
  // closes the window (the end of a replay). Returns at once where nobody
  // watches.
  virtual void HoldLastFrame() = 0;
};

// The backends the build chose: desktop/backend_choice.cpp on the desktop (a
// window, or headless for scripts), web/backend_choice.cpp in the page.
//
// The backend of a run; nullptr, with the reason in *error, when it cannot
// start (a desktop with no video device).
std::unique_ptr<Backend> MakeBackend(const Options& options, std::string* error);
// The one that stands in while no run is going on.
std::unique_ptr<Backend> MakeIdleBackend();

// The backend of the current run. Outside a run (a unit test of game code
// that never started the host) the build's idle backend (on the desktop a
// headless one with a clock at 0) stands in, so a stray platform call cannot
// crash.
Backend& CurrentBackend();
bool Running();
const Options& RunOptions();
// The full path of the program file ('/' separated), or the one the options
// give; empty when the system cannot tell.
std::string ModulePath();
// Sets the exit code the run must end with (the first non-zero one wins).
void SetExitCode(int code);
// Forgets the recorded sound requests.
void ResetSound();
// Forgets the faults reported to the player.
void ResetNotices();

}  // namespace host::detail
