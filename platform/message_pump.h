#pragma once

namespace quillora::platform {

// Handles every message already waiting for this thread and returns when none is left. A WM_QUIT
// met on the way is put back for the main loop.
void processPendingMessages();

// The main message loop; returns the exit code of WM_QUIT.
int runMessageLoop();

}  // namespace quillora::platform
