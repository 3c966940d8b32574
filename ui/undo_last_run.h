#pragma once

#include <windows.h>

#include "platform/desktop.h"
#include "ui/run_controller.h"
#include "ui/texts.h"

namespace quillora::ui {

// Whether the main window's undo can be offered now: an automatic backup exists (the start modes
// from before the last run) and no run is under way.
bool canUndoLastRun(platform::Desktop& desktop, const RunController& runs);

// Puts back the start modes of the newest automatic backup through the Service Control Manager,
// as quillora-cli restore --last does, after asking; then says what changed. Starts and stops no
// service, and saves no backup of its own, so a second undo finds nothing more to do. Does nothing
// while a run is under way.
void undoLastRun(platform::Desktop& desktop, const RunController& runs, Language language, HWND owner);

}  // namespace quillora::ui
