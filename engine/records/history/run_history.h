#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/catalogue/answers.h"
#include "engine/catalogue/catalogue.h"
#include "engine/machine/failure.h"
#include "engine/machine/machine.h"
#include "engine/records/backups/backup_file.h"
#include "engine/records/backups/backup_on_machine.h"
#include "engine/records/backups/backup_store.h"
#include "engine/records/run/run_origin.h"
#include "engine/records/run/run_result.h"

namespace quillora {

// Every run kept on this machine: each automatic backup is the start of one, named by its time
// ("20261207-101500-01"). What made a run and what its result counts are kept in the history file
// beside the backups, one line a run, so that a listing reads one file and the folder's names:
//
//   quillora-history 1
//   RUN<TAB>MADE-BY[<TAB>CHANGED<TAB>UNCHANGED<TAB>FAILED<TAB>KEPT[<TAB>UNKNOWN<TAB>NOT-LAUNCHED]]
//
// MADE-BY is what made the run, as engine/records/run/run_origin.h writes it; the counts follow once
// the run's result is saved, the last two only where either is not 0. A line that
// cannot be read counts for nothing: its run is listed as its files tell.

// What a result counts: services changed, unchanged, failed, left alone (kept), those whose
// commands had not ended when the program did (unknown), and those the run never reached.
struct RunCounts {
    int changed = 0;
    int unchanged = 0;
    int failed = 0;
    int kept = 0;
    int unknown = 0;
    int notLaunched = 0;
    bool operator==(const RunCounts&) const = default;
};

// A run with a backup and no usable result: why. The program ended before the run did (killed, or
// the machine went down), its result could not be saved, or its result file cannot be read.
struct Unfinished {
    enum class Why { ProgramEnded, ResultNotSaved, ResultUnreadable };
    Why why;
    std::string reason;  // for an unreadable result: what is wrong with it, in English
    bool operator==(const Unfinished&) const = default;
};

RunCounts countsOf(const RunResult& result);

// A run as the history lists it.
struct HistoryRun {
    std::string name;  // "20261207-101500-01"
    StoredBackup backup;
    std::optional<RunOrigin> origin;  // nullopt: not recorded (a run of an earlier version)
    // What its result counts; for an unfinished run without one, what its journal and backup tell
    // (unknown where it reached the service, not launched where it never did).
    std::optional<RunCounts> counts;
    std::optional<Unfinished> unfinished;  // nullopt: its result is saved
};

// When the run started, "2026-12-07 10:15:00", as its name tells; the name where it tells none.
std::string runTimeOf(const HistoryRun& run);

// Every run of this machine, newest first in the order the runs began (the history file's lines,
// and a run's name, its start time, where it has none; never a file's time), from the names in
// the backup folder and the history file; a result file is read only for a run the history file
// does not count or name the maker of, so a run the history counts whose result was damaged since
// is known as unfinished only once it is read whole. Throws PlatformFailure where the folder
// cannot be listed.
std::vector<HistoryRun> runHistory(Machine& machine);

// The newest of them; with skippingUndos, the newest that is not itself an undo, which is what
// the undo goes back to before. nullptr where there is none.
const HistoryRun* newestRun(const std::vector<HistoryRun>& runs, bool skippingUndos = false);

// The run of that name among them; nullptr where there is none.
const HistoryRun* findRun(const std::vector<HistoryRun>& runs, const std::string& name);

// Records what made the run of this backup, or what its result counts, in the history file.
// Throws FileFailure where the file cannot be written.
void recordOrigin(Machine& machine, const std::string& backupPath, const RunOrigin& origin);
void recordCounts(Machine& machine, const std::string& backupPath, const RunCounts& counts);

// The result saved beside the run's backup; nullopt where there is none, or it cannot be read or
// is not a whole result (what is wrong with it is said when the run is read whole).
std::optional<RunResult> savedResult(Machine& machine, const HistoryRun& run);

// Writes a run's result beside its backup. Throws PlatformFailure where it cannot be written.
void writeResult(Machine& machine, const RunResult& result);

// A file of a run that cannot be used: which, and why: a problem found in it, or the system's
// refusal.
struct RunFileProblem {
    std::string path;
    std::variant<FileProblemError, PlatformFailure> why;
    // In English, for the companion.
    std::string english() const;
};

// One run read whole: its backup, checked, and its result; its journal where it has no result.
struct RunDetail {
    std::optional<std::vector<BackupEntry>> backup;  // nullopt where it cannot be used
    std::optional<RunResult> result;  // as saved; nullopt where none was saved or it cannot be read
    std::vector<RunFileProblem> problems;
    // The result, or where there is none the services its backup saved, each with what it was
    // before and nothing known after: unknown where the run reached it or its journal cannot
    // tell, not launched where the journal says the run never did.
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

// What the program's runs last set a service to: the mode the newest run that set it (changed
// it, or found it as asked) left it with, and that run. The machine's desired state as the runs
// made it. An unfinished run speaks for the services its journal names: the mode it meant for
// those it reached, and, for those it never reached, that it stopped first (the user stopped it:
// no drift); a run whose result cannot be read speaks for its services too, which no older run
// then decides.
struct LastSet {
    enum class Kind {
        Set,         // mode is what the run set
        NotReached,  // an unfinished run meant to set it and stopped first
        Unreadable,  // the run's result, or its journal, cannot be read: why
    };
    BackupEntry mode;
    std::string run;
    Kind kind = Kind::Set;
    std::string why = {};  // for Unreadable, in English
    bool operator==(const LastSet&) const = default;
};

// What each run said of the services it speaks for, kept between readings: a run whose files the
// folder's listing shows unchanged is not read again, so that a view that follows the machine reads
// only the runs whose files changed.
class LastSetReadings {
public:
    std::vector<LastSet> of(Machine& machine, const HistoryRun& run);

private:
    struct Reading {
        StoredBackup files;  // as listed when read
        std::vector<LastSet> said;
    };
    std::map<std::string, Reading> byRun_;
};

// Every service some run set, each once, from the newest run that speaks for it. Runs of earlier
// versions whose result was never saved say nothing. readings, where given, keeps what each run
// said for the next time.
std::vector<LastSet> lastSetModes(Machine& machine, const std::vector<HistoryRun>& runs,
                                  LastSetReadings* readings = nullptr);

// The services whose start mode differs now from what the program last set them to, each from
// the mode now to that mode; only those set, never those not reached or unreadable.
std::vector<ModeChange> changedSinceLastSet(const std::vector<LastSet>& lastSet, ServiceControl& services,
                                            const std::optional<WindowsVersion>& windows);

}  // namespace quillora
