#include "engine/records/machine_run.h"

#include <algorithm>
#include <utility>

namespace quillora {

MachineRun::MachineRun(Machine& machine, const RunOrigin& origin, const std::vector<std::wstring>& leftOut,
                       std::shared_ptr<RunClaim> claim)
    : machine_(machine),
      claim_(claim ? std::move(claim) : std::shared_ptr<RunClaim>(claimRunsNow(machine))),
      origin_(origin),
      backup_(saveAutomaticBackup(machine, leftOut))
{
    keep(RunFile::History, [&] { recordOrigin(machine_, backup_.path, origin_); });
}

void MachineRun::readBackFailed(const PlatformFailure& failure)
{
    const bool toldBefore = std::any_of(problems_.begin(), problems_.end(), [](const RunProblem& problem) {
        return problem.kind == RunProblem::Kind::ServicesNotReadBack;
    });
    if (toldBefore)
        return;
    problems_.push_back({RunProblem::Kind::ServicesNotReadBack, RunFile::Result, FileFailure("", failure.number(), failure.description())});
}

const RunResult& MachineRun::finish(RunResult result)
{
    result.backupPath = backup_.path;
    result.origin = origin_;
    result_ = std::move(result);
    keep(RunFile::Result, [&] { writeResult(machine_, *result_); });
    // A history that could not be written when the run began is not asked again: one notice a file.
    keep(RunFile::History, [&] { recordCounts(machine_, backup_.path, countsOf(*result_)); });
    return *result_;
}

RunCounts MachineRun::counts() const
{
    return result_ ? countsOf(*result_) : RunCounts{};
}

// Writes one of the run's files; where that fails, keeps the failure, naming the file, once a file.
void MachineRun::keep(RunFile file, const std::function<void()>& write)
{
    const bool failedBefore = std::any_of(problems_.begin(), problems_.end(), [&](const RunProblem& problem) {
        return problem.kind == RunProblem::Kind::FileNotKept && problem.file == file;
    });
    if (failedBefore)
        return;
    try {
        write();
    } catch (const FileFailure& failure) {
        problems_.push_back({RunProblem::Kind::FileNotKept, file, failure});
    } catch (const PlatformFailure& failure) {
        problems_.push_back({RunProblem::Kind::FileNotKept, file, FileFailure("", failure.number(), failure.description())});
    }
}

}  // namespace quillora
