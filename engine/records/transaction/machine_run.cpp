#include "engine/records/transaction/machine_run.h"

#include <algorithm>
#include <utility>

#include "engine/records/run/run_journal.h"
#include "engine/text/utf8.h"

namespace quillora {

namespace {

const wchar_t kRestorePointPrefix[] = L"Quillora: ";

// A failure as a problem keeps it: the file it names, where it names one.
FileFailure asFileFailure(const PlatformFailure& failure)
{
    const auto* file = dynamic_cast<const FileFailure*>(&failure);
    return file ? *file : FileFailure("", failure.number(), failure.description());
}

// The restore point an earlier run was given, the newest that says one; nullopt where none does.
std::optional<std::int64_t> earlierRestorePoint(Machine& machine)
{
    try {
        for (const HistoryRun& run : runHistory(machine)) {
            const std::optional<RunResult> result = savedResult(machine, run);
            if (result && result->restorePoint && result->restorePoint->kind != RestorePointAnswer::Kind::Off
                && result->restorePoint->kind != RestorePointAnswer::Kind::Refused)
                return result->restorePoint->sequence;
        }
    } catch (const PlatformFailure&) {
        // Nothing earlier can be known: the answer stands as Windows gave it.
    }
    return std::nullopt;
}

}  // namespace

BackupEntry modeSetBy(const PlannedRow& row)
{
    return {row.step.serviceKey, row.mode, row.delayed};
}

std::vector<BackupEntry> intentOf(const std::vector<PlannedRow>& rows)
{
    std::vector<BackupEntry> intent;
    for (const PlannedRow& row : rows) {
        if (row.setsMode)
            intent.push_back(modeSetBy(row));
    }
    return intent;
}

MachineRun::MachineRun(Machine& machine, const RunOrigin& origin, std::vector<BackupEntry> intent,
                       const std::vector<std::wstring>& leftOut, std::shared_ptr<RunClaim> claim,
                       RestorePoints* restorePoints)
    : machine_(machine),
      claim_(claim ? std::move(claim) : std::shared_ptr<RunClaim>(claimRunsNow(machine))),
      origin_(origin),
      intent_(std::move(intent)),
      restorePoints_(restorePoints)
{
    // A service not installed when its modes were saved is left as it is: no run means that.
    intent_.erase(std::remove_if(intent_.begin(), intent_.end(), [](const BackupEntry& entry) { return !entry.mode; }),
                  intent_.end());
    askRestorePoint();
    try {
        backup_ = saveAutomaticBackup(machine, leftOut);
    } catch (...) {
        endRestorePoint();
        throw;
    }
    // What the run means to do is on disk before it acts, so that how far it got is known however
    // its program ends.
    keep(RunFile::Journal, [&] {
        machine_.files().writeAtomically(journalPathFor(backup_.path), formatJournal(intent_), false);
    });
    keep(RunFile::History, [&] { recordOrigin(machine_, backup_.path, origin_); });
}

MachineRun::MachineRun(Machine& machine, const RunOrigin& origin, const PlanInputs& plan,
                       const std::vector<std::wstring>& leftOut, std::shared_ptr<RunClaim> claim,
                       RestorePoints* restorePoints)
    : MachineRun(machine, origin, profilePlan(plan), leftOut, std::move(claim), restorePoints)
{
}

MachineRun::MachineRun(Machine& machine, const RunOrigin& origin, const std::vector<PlannedRow>& rows,
                       const std::vector<std::wstring>& leftOut, std::shared_ptr<RunClaim> claim,
                       RestorePoints* restorePoints)
    : MachineRun(machine, origin, intentOf(rows), leftOut, std::move(claim), restorePoints)
{
    for (const PlannedRow& row : rows)
        planned_.push_back({row.step.serviceKey, row.asked, row.leftAlone});
}

void MachineRun::reached(const BackupEntry& mode)
{
    keep(RunFile::Journal, [&] { machine_.files().append(journalPathFor(backup_.path), reachedLine(mode)); });
}

MachineRun::~MachineRun()
{
    endRestorePoint();
}

// Windows 8 and later make no restore point where one was made in the last 24 hours, and answer
// with the number of that one: where an earlier run was given the same number, none was made.
void MachineRun::askRestorePoint()
{
    if (!restorePoints_)
        return;
    restorePoint_ = restorePoints_->begin(kRestorePointPrefix + fromUtf8(originText(origin_)));
    holdsRestorePoint_ = restorePoint_->opened();
    if (restorePoint_->kind == RestorePointAnswer::Kind::Made && earlierRestorePoint(machine_) == restorePoint_->sequence)
        restorePoint_->kind = RestorePointAnswer::Kind::AlreadyMade;
}

void MachineRun::endRestorePoint()
{
    if (std::exchange(holdsRestorePoint_, false))
        restorePoints_->end(restorePoint_->sequence);
}

void MachineRun::readBackFailed(const PlatformFailure& failure)
{
    if (!hasProblem(RunProblem::Kind::ServicesNotReadBack, RunFile::Result))
        problems_.push_back({RunProblem::Kind::ServicesNotReadBack, RunFile::Result, asFileFailure(failure)});
}

const RunResult& MachineRun::finish(RunResult result)
{
    result.backupPath = backup_.path;
    result.origin = origin_;
    result.restorePoint = restorePoint_;
    result_ = std::move(result);
    keep(RunFile::Result, [&] { writeResult(machine_, *result_); });
    // A history that could not be written when the run began is not asked again: one notice a file.
    keep(RunFile::History, [&] { recordCounts(machine_, backup_.path, countsOf(*result_)); });
    endRestorePoint();
    return *result_;
}

RunCounts MachineRun::counts() const
{
    return result_ ? countsOf(*result_) : RunCounts{};
}

// Writes one of the run's files; where that fails, keeps the failure, naming the file, once a file.
void MachineRun::keep(RunFile file, const std::function<void()>& write)
{
    if (hasProblem(RunProblem::Kind::FileNotKept, file))
        return;
    try {
        write();
    } catch (const PlatformFailure& failure) {
        problems_.push_back({RunProblem::Kind::FileNotKept, file, asFileFailure(failure)});
    }
}

bool MachineRun::hasProblem(RunProblem::Kind kind, RunFile file) const
{
    return std::any_of(problems_.begin(), problems_.end(),
                       [&](const RunProblem& problem) { return problem.kind == kind && problem.file == file; });
}

}  // namespace quillora
