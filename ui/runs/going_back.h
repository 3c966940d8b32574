#pragma once

#include <windows.h>

#include <string>

#include "engine/records/history/run_history.h"
#include "engine/records/transaction/run_results.h"
#include "platform/dialogs.h"
#include "ui/runs/run_controller.h"
#include "ui/words/texts.h"

namespace quillora::ui {

// Going back from the windows: the main window's undo, and from the history a restore to before a
// run or a set again of what a run left. Each asks first (when, and each service that will change,
// from -> to), warns as every run does before it disables a service this Windows needs, then puts
// the modes back as a run of its own (engine/records/transaction/going_back.h) and says how it went. Each goes
// in through the run controller's one door: while a run of this program is under way or its
// commands still run, a box says so and nothing happens (a late sc config would overwrite what was
// put back); while another program changes the services, a box says so too.

// What a going back needs, and the window its boxes belong to.
struct GoingBackPlace {
    platform::Dialogs& dialogs;
    Machine& machine;
    RunController& runs;
    RunResults& results;
    Language language;
    HWND owner;
};

// Whether the main window's undo can be offered now: an automatic backup exists, no run is under
// way, and every command of the runs has ended.
bool canUndoLastRun(Machine& machine, const RunController& runs);

// Puts back the modes from before the newest run that is not itself an undo: a second undo finds
// nothing more to do, and an undo is reversed from the history.
void undoLastRun(const GoingBackPlace& place);
// Puts back the modes saved before the run of this name.
void restoreBeforeRun(const GoingBackPlace& place, const std::string& run);
// Puts back the modes the run of this name left, for the services changed since.
void setAgain(const GoingBackPlace& place, const std::string& run);

}  // namespace quillora::ui
