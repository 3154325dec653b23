// Showing the finished frame and, after it, handing the window its messages.
#pragma once

// CopyFrameToDisplay, then PumpMessages.
void PresentFrame();
// Dispatches every waiting message. A quit request (the window was closed)
// ends the main loop after the current frame.
void PumpMessages();
