#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/machine/failure.h"
#include "engine/machine/machine.h"
#include "engine/machine/restore_point.h"
#include "engine/plan/plan.h"
#include "engine/records/backups/backup_store.h"
#include "engine/records/history/run_history.h"
#include "engine/records/run/run_origin.h"
#include "engine/records/run/run_result.h"

namespace quillora {

// The files a run keeps of itself.
enum class RunFile {
    Backup,   // the start modes from before it, saved first
    Journal,  // what it means to leave each service in, and how far it got, beside the backup
    Result,   // what it really did, saved beside the backup
    History,  // history.log: what made it, and its counts
};

// The mode a row that launches its commands sets, as the journal and a backup write it.
BackupEntry modeSetBy(const PlannedRow& row);

// What a plan's rows mean to leave their services in: the mode each row that launches its commands
// sets.
std::vector<BackupEntry> intentOf(const std::vector<PlannedRow>& rows);

// A file of the run that could not be written, or a read of the services after it had changed
// some that failed.
struct RunProblem {
    enum class Kind { FileNotKept, ServicesNotReadBack };
    Kind kind;
    RunFile file;  // the file not kept; the result, for a read back that failed
    FileFailure failure;
};

// One run on this machine, whoever starts it (the windows' profiles and ways back, quillora-cli
// apply, restore and drift --fix), as one transaction: it holds the claim on the services for as
// long as it lives, saves the automatic backup, then the journal of what it means to leave each
// service in, and records what made it when it begins; its caller notes each service in the
// journal as it reaches it, before acting on it; once its caller has acted and judged each
// service, it saves that one result with its counts. Only the act differs between runs. A file of the run that cannot be written never undoes what the run
// did: it is kept among the problems, each file once, and told by whoever shows the run.
class MachineRun {
public:
    // claim: the claim already held (a run nested in another of the same program shares it); where
    // none is given the run claims the services itself and throws RunsBusy while another program
    // holds them. Throws the backup's failure, FileFailure or PlatformFailure, where it cannot be
    // saved: nothing is changed then. restorePoints: where given, Windows is asked for a restore
    // point before the backup, and told that its changes are over once the run is.
    // intent: the mode the run means to leave each service in that it sets (saved modes put back
    // as they are: those without a mode, not installed when they were saved, are left as they are).
    MachineRun(Machine& machine, const RunOrigin& origin, std::vector<BackupEntry> intent = {},
               const std::vector<std::wstring>& leftOut = {}, std::shared_ptr<RunClaim> claim = nullptr,
               RestorePoints* restorePoints = nullptr);
    // A run of a profile's plan: its intent is what the plan's rows set, and every row of the plan
    // is in its result, reached or not.
    MachineRun(Machine& machine, const RunOrigin& origin, const PlanInputs& plan, const std::vector<std::wstring>& leftOut,
               std::shared_ptr<RunClaim> claim, RestorePoints* restorePoints);
    ~MachineRun();
    MachineRun(const MachineRun&) = delete;
    MachineRun& operator=(const MachineRun&) = delete;

    Machine& machine() const { return machine_; }
    const SavedBackup& backup() const { return backup_; }
    const RunOrigin& origin() const { return origin_; }
    // What Windows answered when asked for a restore point; nullopt where none was asked.
    const std::optional<RestorePointAnswer>& restorePoint() const { return restorePoint_; }

    const std::vector<BackupEntry>& intent() const { return intent_; }
    // The rows of the plan it runs, in run order; none for a run of saved modes.
    const std::vector<PlannedService>& planned() const { return planned_; }
    // The run is about to act on this service, setting it to this mode: noted in the journal first.
    void reached(const BackupEntry& mode);

    // A read of the services after the act failed: the result holds what is known. Kept once.
    void readBackFailed(const PlatformFailure& failure);
    // Saves the judged result beside the backup, with what made the run, and its counts in the
    // history. Returns it as saved.
    const RunResult& finish(RunResult result);

    // The one judged result, once finished; every count a user sees comes from it.
    const std::optional<RunResult>& result() const { return result_; }
    RunCounts counts() const;
    // What went wrong with the run's files and reads, each once, in the order it happened.
    const std::vector<RunProblem>& problems() const { return problems_; }

private:
    MachineRun(Machine& machine, const RunOrigin& origin, const std::vector<PlannedRow>& rows,
               const std::vector<std::wstring>& leftOut, std::shared_ptr<RunClaim> claim, RestorePoints* restorePoints);
    void keep(RunFile file, const std::function<void()>& write);
    // Whether that problem was kept already: each is told once.
    bool hasProblem(RunProblem::Kind kind, RunFile file) const;
    void askRestorePoint();
    void endRestorePoint();

    Machine& machine_;
    std::shared_ptr<RunClaim> claim_;
    RunOrigin origin_;
    std::vector<BackupEntry> intent_;
    std::vector<PlannedService> planned_;
    RestorePoints* restorePoints_;
    std::optional<RestorePointAnswer> restorePoint_;
    // Windows answered the request with a point that the run must end once it is over: one it
    // made, one Windows 8 kept from earlier (it answered success all the same), or one shared.
    bool holdsRestorePoint_ = false;
    SavedBackup backup_;
    std::optional<RunResult> result_;
    std::vector<RunProblem> problems_;
};

}  // namespace quillora
