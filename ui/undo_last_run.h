#pragma once

#include <windows.h>

#include "engine/records/run_results.h"
#include "platform/dialogs.h"
#include "ui/run_controller.h"
#include "ui/texts.h"

namespace quillora::ui {

// Whether the main window's undo can be offered now: an automatic backup exists (the start modes
// from before the last run), no run is under way, and the last run's commands have all ended: a
// late sc config would otherwise overwrite what the undo put back.
bool canUndoLastRun(Machine& machine, const RunController& runs, const RunResults& results);

// Puts back the start modes of the newest automatic backup through the Service Control Manager,
// as quillora-cli restore --last does, after asking; then says what changed. Starts and stops no
// service, and saves no backup of its own, so a second undo finds nothing more to do. Does nothing
// while a run is under way or its commands still run, nor when a run started while it asked; while
// another program changes the services, it says so and does nothing. A
// backup of a run that left every service alone is said to have nothing to undo.
void undoLastRun(platform::Dialogs& dialogs, Machine& machine, const RunController& runs, const RunResults& results,
                 Language language, HWND owner);

}  // namespace quillora::ui
