#pragma once

#include <windows.h>

namespace quillora::platform {

// Handles every message already waiting for this thread and returns when none is left. A WM_QUIT
// met on the way is put back for the main loop.
void processPendingMessages();

// The main message loop; returns the exit code of WM_QUIT.
int runMessageLoop();

// Dispatches one message, giving the keyboard navigation of the window it belongs to (Tab,
// arrows) first go, so that every window of the program moves its focus like a dialog.
void dispatchMessage(MSG& message);

}  // namespace quillora::platform
