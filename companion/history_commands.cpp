#include "companion/history_commands.h"

#include "companion/arguments.h"
#include "companion/machine_commands.h"
#include "engine/records/backups/backup_on_machine.h"
#include "engine/records/transaction/going_back.h"
#include "engine/records/history/run_history.h"
#include "engine/plan/service_report.h"
#include "engine/text/printable.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {


// What made the run as its files say it, shown safely: what it names of an earlier run or a file
// comes from a file.
std::string madeBy(const HistoryRun& run)
{
    return run.origin ? printable(originText(*run.origin)) : "not recorded";
}

std::string countsText(const RunCounts& counts)
{
    return std::to_string(counts.changed) + "\t" + std::to_string(counts.unchanged) + "\t" + std::to_string(counts.failed)
        + "\t" + std::to_string(counts.kept) + "\t" + std::to_string(counts.unknown) + "\t"
        + std::to_string(counts.notLaunched);
}

// Why a run has no result to show: empty for a run whose result is saved.
std::string unfinishedText(const HistoryRun& run)
{
    if (!run.unfinished)
        return "";
    switch (run.unfinished->why) {
    case Unfinished::Why::ProgramEnded:
        return "unfinished: the program ended before the run did";
    case Unfinished::Why::ResultNotSaved:
        return "unfinished: its result could not be saved";
    case Unfinished::Why::ResultUnreadable:
        break;
    }
    return "unfinished: its result cannot be read: " + printable(run.unfinished->reason);
}

// The run RUN names; a name that is not among them is a file that is not there.
const HistoryRun& runNamed(const std::vector<HistoryRun>& runs, const std::string& name, Machine& machine)
{
    const HistoryRun* run = findRun(runs, name);
    if (!run)
        throw FileFailure(backupFolder(machine), 0,
                          fromUtf8("holds no run " + quoted(name) + "; quillora-cli history lists the runs"));
    return *run;
}

// The run's files read whole; where the one the command needs (the backup, or the result) cannot
// be used, a failure naming it.
RunDetail readNeeding(Machine& machine, const HistoryRun& run, const std::string& needed, const std::string& nothingDone)
{
    RunDetail detail = readRun(machine, run);
    if (const RunFileProblem* problem = detail.problemWith(needed))
        throw FileFailure(problem->path, 0, fromUtf8(problem->english() + nothingDone));
    return detail;
}

std::string modeChangeLine(const ModeChange& change, const std::string& run)
{
    return serviceName(change.serviceKey) + ": left " + modeWords(change.to, change.toDelayed) + " by run " + printable(run)
        + ", now " + modeWords(change.from, change.fromDelayed) + "\n";
}

// One service as the result file says it, after its log label, and what has changed since.
std::string serviceLine(const ServiceResult& service, const std::vector<ModeChange>& since)
{
    std::string line = toUtf8(labelOf(service.serviceKey));
    for (const std::string& field : resultFields(service)) {
        line += '\t';
        line += printable(field);
    }
    line += "\t";
    for (const ModeChange& change : since) {
        if (change.serviceKey == service.serviceKey)
            line += modeText(change.to, change.toDelayed) + " -> " + modeText(change.from, change.fromDelayed);
    }
    return line + "\n";
}

// Puts the modes back as a run of its own. A service this Windows needs is not disabled without
// --all, as apply leaves them alone.
CliResult goBackRun(Machine& machine, std::unique_ptr<RunClaim> claim, const std::vector<BackupEntry>& modes,
                    const RunOrigin& origin, const Arguments& arguments, const std::string& heading)
{
    const std::optional<WindowsVersion> windows = machine.windowsVersion();
    const std::vector<ModeChange> changes = restoreWouldChange(servicesOf(machine), modes, windows);
    const std::vector<std::wstring> needed =
        arguments.has("--all") ? std::vector<std::wstring>{} : neededStartedLess(changes, windows);
    std::string notes;
    for (const std::wstring& key : needed)
        notes += serviceName(key) + ": left alone: needed by " + windowsProductName(*windows) + " (--all changes it too)\n";
    const std::vector<BackupEntry> putting = without(modes, needed);
    // As the windows' ways back: one that would change nothing is no run.
    if (restoreWouldChange(servicesOf(machine), putting, windows).empty())
        return {kExitSuccess, heading + notes + nothingToPutBack(), ""};
    MachineRun run(machine, origin, putting, {}, std::move(claim), restorePointsAsked(arguments, machine));
    const RestoreResult restored = putBack(run, putting, needed);
    // As with apply, a service left alone because this Windows needs it is kept, no failure.
    return finishedRun(run, restored.report.complete,
                       heading + "saved the start modes from before in " + printable(run.backup().path) + "\n"
                           + restorePointLine(run.restorePoint()) + notes + restored.report.text,
                       "");
}

// The services changed since the run named, or, without a name, since the program last set each.
struct Drift {
    std::vector<ModeChange> changes;
    std::vector<std::string> runs;  // the run that left each
    std::string since;              // "run RUN", or "the program last set them"
    RunOrigin fix;                  // what setting them again is recorded as
    std::string notCompared = {};   // a line each for the services no run can be compared for, and why
    bool unreadable = false;        // a run's files that speak for a service cannot be read
};

Drift driftOfRun(Machine& machine, const HistoryRun& run, const std::string& nothingDone)
{
    const RunDetail detail = readNeeding(machine, run, resultPathFor(run.backup.path), nothingDone);
    if (!detail.result)
        throw FileFailure(resultPathFor(run.backup.path), 0,
                          fromUtf8("run " + printable(run.name) + " has no saved result: what it left is not known" + nothingDone));
    Drift drift{changedSince(*detail.result, servicesOf(machine), machine.windowsVersion()), {}, "run " + printable(run.name),
                goingBack(RunMaker::SetAgain, run.name)};
    drift.runs.assign(drift.changes.size(), run.name);
    return drift;
}

Drift driftOfLastSet(Machine& machine, const std::vector<HistoryRun>& runs, const std::string& nothingDone)
{
    const std::vector<LastSet> lastSet = lastSetModes(machine, runs);
    if (lastSet.empty())
        throw FileFailure(backupFolder(machine), 0,
                          fromUtf8("holds no run with a saved result: what the program set is not known" + nothingDone));
    Drift drift{changedSinceLastSet(lastSet, servicesOf(machine), machine.windowsVersion()), {},
                "the program last set them", goingBack(RunMaker::SetAgainDrifted, "")};
    for (const ModeChange& change : drift.changes) {
        for (const LastSet& set : lastSet) {
            if (set.mode.serviceKey == change.serviceKey)
                drift.runs.push_back(set.run);
        }
    }
    // What the user stopped is not finished behind their back; what cannot be read is not guessed
    // from an older run.
    for (const LastSet& set : lastSet) {
        const std::string name = serviceName(set.mode.serviceKey) + ": ";
        // A service not installed here has nothing to compare either way.
        if (set.kind == LastSet::Kind::NotReached && servicesOf(machine).query(set.mode.serviceKey))
            drift.notCompared += name + "not reached: run " + printable(set.run) + " stopped before it; not compared\n";
        if (set.kind == LastSet::Kind::Unreadable)
            drift.notCompared += name + "run " + printable(set.run) + " cannot be read (" + printable(set.why)
                + "); not compared with an older run\n";
        drift.unreadable = drift.unreadable || set.kind == LastSet::Kind::Unreadable;
    }
    return drift;
}

}  // namespace

CliResult historyCommand(const std::vector<std::string>& args, Machine& machine)
{
    const Arguments arguments = parseArguments(args, {}, {});
    if (arguments.positional.size() > 1)
        throw UsageError("unexpected argument " + quoted(arguments.positional[1]) + ": history takes one run at most");
    const std::vector<HistoryRun> runs = runHistory(machine);
    if (arguments.positional.empty()) {
        if (runs.empty())
            return {kExitSuccess, "no runs yet in " + printable(backupFolder(machine)) + "\n", ""};
        std::string out = "RUN\tSTARTED\tMADE BY\tCHANGED\tUNCHANGED\tFAILED\tKEPT\tUNKNOWN\tNOT LAUNCHED\tNOTE\n";
        for (const HistoryRun& run : runs)
            out += printable(run.name) + "\t" + printable(runTimeOf(run)) + "\t" + madeBy(run) + "\t"
                + countsText(run.counts.value_or(RunCounts{})) + "\t" + unfinishedText(run) + "\n";
        return {kExitSuccess, out, ""};
    }
    const HistoryRun& run = runNamed(runs, arguments.positional[0], machine);
    const RunDetail detail = readRun(machine, run);
    std::string out = "run " + printable(run.name) + ", started " + printable(runTimeOf(run)) + ", made by " + madeBy(run) + "\n";
    const std::vector<ModeChange> since = detail.result
        ? changedSince(*detail.result, servicesOf(machine), machine.windowsVersion())
        : std::vector<ModeChange>{};
    if (!detail.result)
        out += (run.unfinished ? unfinishedText(run) : "unfinished: its result cannot be read")
            + "; below, the start modes its backup saved before it, and how far its journal says it got\n";
    if (detail.result)
        out += restorePointLine(detail.result->restorePoint);
    out += "LABEL\tKEY\tBEFORE\tASKED\tAFTER\tRESULT\tREASON\tCHANGED SINCE\n";
    for (const ServiceResult& service : detail.shown.services)
        out += serviceLine(service, since);
    std::string err;
    for (const RunFileProblem& problem : detail.problems)
        err += "quillora-cli: " + quoted(problem.path, kLongestPath) + ": " + printable(problem.english()) + "\n";
    return {err.empty() ? kExitSuccess : kExitFailure, out, err};
}

CliResult driftCommand(const std::vector<std::string>& args, Machine& machine)
{
    const Arguments arguments = parseArguments(args, {"--run"}, {"--fix", "--all", "--restore-point"});
    if (!arguments.positional.empty())
        throw UsageError("unexpected argument " + quoted(arguments.positional[0]) + ": drift takes none");
    for (const char* option : {"--all", "--restore-point"}) {
        if (arguments.has(option) && !arguments.has("--fix"))
            throw UsageError(std::string(option) + " goes with --fix");
    }
    const bool fix = arguments.has("--fix");
    // Claimed before the run is read: a run under way would be making a newer one.
    std::unique_ptr<RunClaim> claim = fix ? claimRunsNow(machine) : nullptr;
    const std::vector<HistoryRun> runs = runHistory(machine);
    if (runs.empty())
        throw FileFailure(backupFolder(machine), 0, L"holds no run yet: nothing to compare with");
    const std::string* name = arguments.value("--run");
    const std::string nothingDone = fix ? "; nothing was changed" : "";
    const Drift drift = name ? driftOfRun(machine, runNamed(runs, *name, machine), nothingDone)
                             : driftOfLastSet(machine, runs, nothingDone);
    // Nothing changed is 0; something changed is 1; a run's files that cannot be read leave what it
    // set unknown, which needs a look: 3.
    const int unchangedStatus = drift.unreadable ? kExitFailure : kExitSuccess;
    if (drift.changes.empty())
        return {unchangedStatus, "no start mode has changed since " + drift.since + "\n" + drift.notCompared, ""};
    std::string out = std::to_string(drift.changes.size()) + " service" + (drift.changes.size() == 1 ? "" : "s")
        + " changed since " + drift.since + ":\n";
    for (std::size_t i = 0; i < drift.changes.size(); ++i)
        out += modeChangeLine(drift.changes[i], drift.runs[i]);
    out += drift.notCompared;
    if (!fix)
        return {kExitIncomplete, out, ""};
    return goBackRun(machine, std::move(claim), modesToSetAgain(drift.changes), drift.fix, arguments,
                     out + "setting them again\n");
}

CliResult restoreBeforeRun(const Arguments& arguments, Machine& machine)
{
    std::unique_ptr<RunClaim> claim = claimRunsNow(machine);
    const std::vector<HistoryRun> runs = runHistory(machine);
    const HistoryRun& run = runNamed(runs, *arguments.value("--before"), machine);
    const RunDetail detail = readNeeding(machine, run, run.backup.path, "; nothing was changed");
    return goBackRun(machine, std::move(claim), *detail.backup, goingBack(RunMaker::RestoreBefore, run.name),
                     arguments, "restoring the settings from before run " + printable(run.name) + "\n");
}

}  // namespace quillora
