#pragma once

#include <windows.h>

namespace quillora::platform {

// Asked of a top-level window when Esc is pressed in it: nonzero where Esc closes it. The designed
// windows give Esc no meaning and answer zero, as every window does by default.
inline constexpr UINT kClosesOnEscape = WM_APP + 40;

// Handles every message already waiting for this thread and returns when none is left. A WM_QUIT
// met on the way is put back for the main loop.
void processPendingMessages();

// The main message loop; returns the exit code of WM_QUIT.
int runMessageLoop();

}  // namespace quillora::platform
