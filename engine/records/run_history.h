#pragma once

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/catalogue/answers.h"
#include "engine/catalogue/catalogue.h"
#include "engine/machine/failure.h"
#include "engine/machine/machine.h"
#include "engine/records/backup_file.h"
#include "engine/records/backup_on_machine.h"
#include "engine/records/backup_store.h"
#include "engine/records/run_result.h"

namespace quillora {

// Every run kept on this machine: each automatic backup is the start of one, named by its time
// ("20261207-101500-01"). What made a run and what its result counts are kept in the history file
// beside the backups, one line a run, so that a listing reads one file and the folder's names:
//
//   quillora-history 1
//   RUN<TAB>MADE-BY[<TAB>CHANGED<TAB>UNCHANGED<TAB>FAILED<TAB>KEPT]
//
// MADE-BY is "window PROFILE [ANSWERS]", "apply PROFILE [ANSWERS]", "restore-before RUN",
// "set-again RUN" or "undo RUN"; the counts follow once the run's result is saved. A line that
// cannot be read counts for nothing: its run is listed as its files tell.

enum class RunMaker {
    Window,         // a profile from the program's windows
    Apply,          // quillora-cli apply
    RestoreBefore,  // the modes from before an earlier run put back
    SetAgain,       // the modes an earlier run left put back where they had changed since
    Undo,           // the main window's undo of the run before it
};

struct RunOrigin {
    RunMaker maker;
    std::optional<Profile> profile;  // a profile's run
    std::string answers;             // its answers as letters (yyn), for the prompted profile
    std::string run;                 // the earlier run a restore, set again or undo went back to
    bool operator==(const RunOrigin&) const = default;
};

// A profile's run made by the windows or apply, with the answers it started with: three letters,
// or eight where the lists are Windows 10's.
RunOrigin profileOrigin(RunMaker maker, Profile profile, const Answers& answers, Lists lists);
// A run that went back to an earlier one.
RunOrigin goingBack(RunMaker maker, const std::string& run);
// What made a run as the history file says it: "window prompted yny", "restore-before RUN".
std::string originText(const RunOrigin& origin);

// What a result counts: services changed, unchanged, failed, and left alone (kept).
struct RunCounts {
    int changed = 0;
    int unchanged = 0;
    int failed = 0;
    int kept = 0;
    bool operator==(const RunCounts&) const = default;
};

RunCounts countsOf(const RunResult& result);

// A run as the history lists it.
struct HistoryRun {
    std::string name;  // "20261207-101500-01"
    StoredBackup backup;
    std::optional<RunOrigin> origin;  // nullopt: not recorded (a run of an earlier version)
    std::optional<RunCounts> counts;  // nullopt: its result was never saved
};

// When the run started, "2026-12-07 10:15:00", as its name tells; the name where it tells none.
std::string runTimeOf(const HistoryRun& run);

// Every run of this machine, newest first, from the names in the backup folder and the history
// file; a result file is read only for a run the history file does not count. Throws
// PlatformFailure where the folder cannot be listed.
std::vector<HistoryRun> runHistory(Machine& machine);

// The run of that name among them; nullptr where there is none.
const HistoryRun* findRun(const std::vector<HistoryRun>& runs, const std::string& name);

// Records what made the run of this backup, or what its result counts, in the history file.
// Throws FileFailure where the file cannot be written.
void recordOrigin(Machine& machine, const std::string& backupPath, const RunOrigin& origin);
void recordCounts(Machine& machine, const std::string& backupPath, const RunCounts& counts);

// Saves a run's result beside its backup and its counts in the history file. Throws
// PlatformFailure where either cannot be written.
void saveResult(Machine& machine, const RunResult& result);

// Writes what a run keeps of itself; where that fails, adds the failure, naming its file, to
// notKept instead of throwing: a run's history never undoes what the run did.
void keepInHistory(std::vector<FileFailure>& notKept, const std::function<void()>& write);

// A file of a run that cannot be used: which, and why: a problem found in it, or the system's
// refusal.
struct RunFileProblem {
    std::string path;
    std::variant<FileProblemError, PlatformFailure> why;
    // In English, for the companion.
    std::string english() const;
};

// One run read whole: its backup, checked, and its result.
struct RunDetail {
    std::optional<std::vector<BackupEntry>> backup;  // nullopt where it cannot be used
    std::optional<RunResult> result;  // as saved; nullopt where none was saved or it cannot be read
    std::vector<RunFileProblem> problems;
    // The result, or where there is none the services its backup saved, each with what it was
    // before and nothing known after.
    RunResult shown;

    // The problem of one of its files (the backup, or the result); nullptr where it has none.
    const RunFileProblem* problemWith(const std::string& path) const;
};

RunDetail readRun(Machine& machine, const HistoryRun& run);

// The modes a result left its services with: those it changed or found as asked, read back after
// it. Services it left alone, failed on, or whose outcome is unknown have none. What a restore of
// them would change is what has changed since the run.
std::vector<BackupEntry> modesLeft(const RunResult& result);

// The services whose start mode differs now from what the result left them with, each from the
// mode now to the mode left; one not installed now is not among them.
std::vector<ModeChange> changedSince(const RunResult& result, ServiceControl& services,
                                     const std::optional<WindowsVersion>& windows);

// What setting them again puts back: the mode each was left with.
std::vector<BackupEntry> modesToSetAgain(const std::vector<ModeChange>& changedSince);

}  // namespace quillora
