#pragma once

#include <optional>
#include <string>

#include "engine/catalogue/answers.h"
#include "engine/catalogue/catalogue.h"
#include "engine/plan/plan.h"

namespace quillora {

// What made a run. The history file and the run's result each keep it as one line of text:
// "window PROFILE [ANSWERS]", "apply PROFILE [ANSWERS]", "window own COUNT", "apply own COUNT", "restore-before RUN", "set-again RUN",
// "undo RUN", "restore FILE-NAME" or "set-again-drifted".
enum class RunMaker {
    Window,         // a profile from the program's windows
    Apply,          // quillora-cli apply
    RestoreBefore,  // the modes from before an earlier run put back
    SetAgain,       // the modes an earlier run left put back where they had changed since
    Undo,           // the main window's undo of the run before it
    RestoreFile,    // quillora-cli restore FILE or --last: a backup's modes put back
    SetAgainDrifted,  // quillora-cli drift --fix: every service put back as the program last set it
};

struct RunOrigin {
    RunMaker maker;
    std::optional<Profile> profile;  // a profile's run
    std::string answers;             // its answers as letters (yyn), for the prompted profile
    std::string run;                 // the earlier run gone back to, or the backup's file name
    int ownSettings = 0;             // for the own profile, how many services it sets
    bool operator==(const RunOrigin&) const = default;
};

// A profile's run made by the windows or apply, as planned: the prompted profile with the answers
// it started with, three letters, or eight where the lists are Windows 10's; the own profile with
// how many services it sets.
RunOrigin profileOrigin(RunMaker maker, const PlanInputs& plan);
// A run that went back to an earlier one, or put back the backup of that file name.
RunOrigin goingBack(RunMaker maker, const std::string& run);
// What made a run as its files say it: "window prompted yny", "restore-before RUN".
std::string originText(const RunOrigin& origin);
// The same read back; nullopt for text that says none of them. What it names of an earlier run
// or a file is taken as it stands: whoever shows it shows it safely.
std::optional<RunOrigin> parseOrigin(const std::string& text);

}  // namespace quillora
