// The game's one window: it exists to receive the stylus and the system's
// activation messages, and to take the whole screen from the taskbar.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr const char* WindowClassName = "Quillmoth";
constexpr const char* WindowTitle = "Quillmoth";
constexpr int ProgramIconId = 101;

// Stored once window creation returns; nullptr before.
extern WindowHandle MainWindow;

// false: full-screen mode (taskbar, input-panel button and start icon hidden);
// true: gives the screen back.
void SetTaskbarVisible(bool visible);
intptr_t GameWindowProcedure(WindowHandle window, uint32_t message, uintptr_t first,
                             intptr_t second);
