// The emulated display memory behind the GX* calls.
#pragma once

#include "platform/host.h"

namespace host::detail {

// Lays out fresh, cleared display memory for the mode; the display is closed.
void ResetDisplayMemory(DisplayMode mode);

}  // namespace host::detail
