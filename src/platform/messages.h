// The host's side of the window and message services: what the rest of the
// host needs from the queue and the window list.
#pragma once

#include "platform/platform.h"

namespace host::detail {

// Appends to the one queue of the game's thread.
void QueueMessage(const PlatformMessage& message);
// The first window the game created, nullptr before that.
WindowHandle GameWindow();
// The icon of the game window's class (nullptr when none was given).
IconHandle GameWindowIcon();
// Creates the taskbar; called once a run has started.
void StartWindows();
// Forgets every window, class and message.
void ResetWindows();

}  // namespace host::detail
