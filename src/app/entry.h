// Program entry: single copy check, display and window set-up, the main loop,
// and giving the screen back at the end.
#pragma once

#include "platform/platform.h"

// Always returns 0, as the handheld's shell expects of a windowed program.
int ProgramEntry(InstanceHandle instance, InstanceHandle previous, const char* commandLine,
                 int showCommand);
