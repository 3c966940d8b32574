#include "companion/machine_commands.h"

#include "engine/choice/skip_choice.h"

#include <algorithm>
#include <ctime>
#include <stdexcept>

#include "companion/arguments.h"
#include "companion/history_commands.h"
#include "companion/output_file.h"
#include "engine/records/backups/backup_file.h"
#include "engine/records/backups/backup_store.h"
#include "engine/records/history/run_history.h"
#include "engine/records/run/run_result.h"
#include "engine/machine/failure.h"
#include "engine/records/backups/backup_on_machine.h"
#include "engine/records/transaction/going_back.h"
#include "engine/records/transaction/machine_run.h"
#include "engine/plan/profile_on_machine.h"
#include "engine/plan/plan.h"
#include "engine/text/utf8.h"
#include "engine/catalogue/windows_needs.h"

namespace quillora {
namespace {

constexpr int kDefaultTimeoutSeconds = 30;
constexpr int kLongestTimeoutSeconds = 3600;

CliResult reported(const ServiceReport& report)
{
    return {report.complete ? kExitSuccess : kExitIncomplete, report.text, ""};
}

std::string onePositional(const Arguments& arguments, const std::string& command, const char* what)
{
    if (arguments.positional.empty())
        throw UsageError(command + " needs " + what);
    if (arguments.positional.size() > 1)
        throw UsageError("unexpected argument " + quoted(arguments.positional[1]) + ": " + command + " takes one "
                         + what);
    return arguments.positional[0];
}

std::chrono::milliseconds timeoutOf(const Arguments& arguments)
{
    const std::string* text = arguments.value("--timeout");
    if (!text)
        return std::chrono::seconds(kDefaultTimeoutSeconds);
    const long long seconds = decimalNumber(*text, 4).value_or(0);
    if (seconds < 1 || seconds > kLongestTimeoutSeconds)
        throw UsageError("--timeout " + quoted(*text) + ": expected whole seconds from 1 to "
                         + std::to_string(kLongestTimeoutSeconds));
    return std::chrono::seconds(seconds);
}

std::string localTime(std::int64_t seconds)
{
    const std::time_t time = static_cast<std::time_t>(seconds);
    char text[32] = "?";
    if (const std::tm* local = std::localtime(&time))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
    return text;
}

// The profile that status, verify or apply works on, planned on this machine. A service this
// Windows needs is left alone, unless --all asks for every one; all three read --all alike, so
// that their reports agree.
struct ProfileOnMachine {
    Arguments arguments;
    std::vector<std::wstring> skipped;  // left alone by choice (--skip)
    std::vector<PlannedRow> rows;
    std::string note;  // for standard error: answers that mean nothing on this Windows
    std::optional<RunOrigin> origin;  // what apply records of its run
};

// claim: where given, the right to change the services is claimed into it once the command line
// is read and before the services are: a plan read while another run changes them would be stale.
ProfileOnMachine profileOnMachine(const std::vector<std::string>& args, std::set<std::string> valued, Machine& machine,
                                  std::unique_ptr<RunClaim>* claim = nullptr)
{
    valued.insert("--skip");
    valued.insert(kOwnProfileOption);
    Arguments arguments = parseArguments(args, valued, {"--all", "--restore-point"});
    const ProfileRequest request = profileRequest(arguments, args[0], machine.files());
    std::vector<std::wstring> skipped = skippedKeys(arguments, machine.files());
    ProfileOnMachine profile{std::move(arguments), skipped, {}, "", std::nullopt};
    if (claim)
        *claim = claimRunsNow(machine);
    const NeededServices needed = profile.arguments.has("--all") ? NeededServices::Changed : NeededServices::LeftAlone;
    PlanInputs inputs = inputsOnMachine(request.profile, request.answers, std::move(skipped), machine, needed);
    profile.note = useOwnProfile(inputs, request);
    profile.rows = profilePlan(inputs);
    profile.origin = profileOrigin(RunMaker::Apply, inputs);
    if (request.windows10Answered && inputs.lists == Lists::Designed)
        profile.note += "quillora-cli: the last five --answers letters apply only on Windows 10 and 11; this Windows "
                       "has none of their services\n";
    return profile;
}

// What went wrong with a run's files or its read back, for standard error.
std::string runProblems(const MachineRun& run)
{
    std::string text;
    for (const RunProblem& problem : run.problems()) {
        const std::string why = printable(problem.failure.description());
        if (problem.kind == RunProblem::Kind::ServicesNotReadBack) {
            text += "quillora-cli: the services could not be read back after they were set; the result keeps what is "
                    "known: " + why + "\n";
            continue;
        }
        const char* what = problem.file == RunFile::Result ? "the run's result could not be saved"
            : problem.file == RunFile::History             ? "the history of runs could not be kept"
            : problem.file == RunFile::Journal             ? "the run's journal could not be kept"
                                                           : "the run's backup could not be saved";
        const std::string& path = problem.failure.path();
        text += std::string("quillora-cli: ") + what + " (the services were set all the same): "
            + (path.empty() ? "" : printable(path) + ": ") + why + "\n";
    }
    return text;
}

// The totals that end a run's report: "3 changed, 40 unchanged, 2 not installed, 0 failed, 14 kept
// (needed here)", those kept, unknown or not launched where there are any.
std::string totalsLine(const RunResult& result)
{
    const auto count = [&](Outcome outcome) {
        return std::to_string(std::count_if(result.services.begin(), result.services.end(),
                                            [&](const ServiceResult& service) { return service.outcome == outcome; }));
    };
    std::string line = count(Outcome::Changed) + " changed, " + count(Outcome::Unchanged) + " unchanged, "
        + count(Outcome::NotInstalled) + " not installed, " + count(Outcome::Failed) + " failed";
    for (const Outcome outcome : {Outcome::LeftAloneByChoice, Outcome::LeftAloneNeeded, Outcome::LeftAloneAsWindowsHasIt,
                                  Outcome::Unknown, Outcome::NotLaunched}) {
        if (count(outcome) != "0")
            line += ", " + count(outcome) + " " + toUtf8(outcomeWord(kEnglishWording, outcome));
    }
    return line + "\n";
}

// For standard error: that the run was stopped, and how many services it did not reach.
std::string stoppedLine(int notReached)
{
    return "quillora-cli: stopped as asked (Ctrl+C, Ctrl+Break or the console closed): " + std::to_string(notReached)
        + " service" + (notReached == 1 ? " was" : "s were")
        + " not reached; what was done is saved as the run's result\n";
}

}  // namespace

std::string restorePointLine(const std::optional<RestorePointAnswer>& answer)
{
    if (!answer)
        return "";
    switch (answer->kind) {
    case RestorePointAnswer::Kind::Made:
        return "restore point: made, number " + std::to_string(answer->sequence) + "\n";
    case RestorePointAnswer::Kind::AlreadyMade:
        return "restore point: none new: Windows makes one a day and kept the one made earlier, number "
            + std::to_string(answer->sequence) + "\n";
    case RestorePointAnswer::Kind::Shared:
        return "restore point: shared with the run begun before it, number " + std::to_string(answer->sequence) + "\n";
    case RestorePointAnswer::Kind::Off:
        break;
    case RestorePointAnswer::Kind::Refused:
        return answer->error == 0 ? "restore point: none: Windows made none and gave no reason\n"
                                  : "restore point: none: Windows refused (error " + std::to_string(answer->error) + ")\n";
    }
    return "restore point: none: System Restore is off\n";
}

RestorePoints* restorePointsAsked(const Arguments& arguments, Machine& machine)
{
    return arguments.has("--restore-point") ? machine.restorePoints() : nullptr;
}

std::string nothingToPutBack()
{
    return "nothing to change: every installed service is as it would be put back; no run was made\n";
}

CliResult finishedRun(const MachineRun& run, bool complete, const std::string& out, const std::string& err)
{
    const RunCounts counts = run.counts();
    const int status = counts.notLaunched > 0 ? kExitStopped
        : complete && counts.failed == 0 && counts.unknown == 0 ? kExitSuccess
                                                                : kExitIncomplete;
    return {status, out + totalsLine(*run.result()),
            err + runProblems(run) + (counts.notLaunched > 0 ? stoppedLine(counts.notLaunched) : "")};
}

CliResult statusCommand(const std::vector<std::string>& args, Machine& machine)
{
    const std::optional<WindowsVersion> windows = machine.windowsVersion();
    const ProfileOnMachine profile = profileOnMachine(args, {"--answers"}, machine);
    return {kExitSuccess, statusReport(profile.rows, windows).text, profile.note};
}

CliResult verifyCommand(const std::vector<std::string>& args, Machine& machine)
{
    const std::optional<WindowsVersion> windows = machine.windowsVersion();
    const ProfileOnMachine profile = profileOnMachine(args, {"--answers"}, machine);
    CliResult result = reported(verifyReport(profile.rows, windows));
    result.err = profile.note;
    return result;
}

CliResult applyCommand(const std::vector<std::string>& args, Machine& machine)
{
    const std::optional<WindowsVersion> windows = machine.windowsVersion();
    std::unique_ptr<RunClaim> claim;
    const ProfileOnMachine profile = profileOnMachine(args, {"--answers", "--timeout"}, machine, &claim);
    const std::chrono::milliseconds timeout = timeoutOf(profile.arguments);
    // apply keeps what it is about to change, as the program does before a run: the services left
    // alone by choice are neither changed nor saved, so that restore --last leaves them alone too.
    MachineRun run(machine, *profile.origin, intentOf(profile.rows), profile.skipped, std::move(claim),
                   restorePointsAsked(profile.arguments, machine));
    std::vector<std::pair<std::wstring, PlatformFailure>> refused;
    std::size_t stoppedAt = SIZE_MAX;
    const auto reaching = [&](const PlannedRow& row) {
        if (machine.stopRequested()) {
            stoppedAt = static_cast<std::size_t>(&row - profile.rows.data());
            return false;
        }
        run.reached(modeSetBy(row));
        return true;
    };
    const ServiceReport report = applyProfile(servicesOf(machine), profile.rows, timeout, windows, &refused, reaching);
    std::optional<PlatformFailure> unread;
    RunResult result = appliedResult(run.backup(), profile.rows, refused, servicesOf(machine), unread, stoppedAt);
    if (unread)
        run.readBackFailed(*unread);
    run.finish(std::move(result));
    return finishedRun(run, report.complete,
                       "saved the start modes from before in " + printable(run.backup().path) + "\n"
                           + restorePointLine(run.restorePoint()) + report.text,
                       profile.note);
}

CliResult backupCommand(const std::vector<std::string>& args, Machine& machine)
{
    const Arguments arguments = parseArguments(args, {"--name"}, {"--force"});
    ServiceControl& services = servicesOf(machine);
    std::string file;
    if (const std::string* name = arguments.value("--name")) {
        if (!arguments.positional.empty())
            throw UsageError("give either a file or --name, not both");
        try {
            file = namedBackupPath(machine, *name);
        } catch (const std::invalid_argument& error) {
            throw UsageError("--name " + quoted(*name) + ": " + error.what());
        }
        machine.files().createFolders(backupFolder(machine));
    } else {
        file = onePositional(arguments, "backup", "a file name (or --name NAME)");
    }
    const bool force = arguments.has("--force");
    checkOutputFile(machine.files(), file, force);
    const std::vector<BackupEntry> entries = currentModes(services, listsFor(machine.windowsVersion()));
    machine.files().writeAtomically(file, formatBackup(entries), force);
    return {kExitSuccess,
            "saved the start modes of " + std::to_string(entries.size()) + " services to " + printable(file) + "\n", ""};
}

CliResult restoreCommand(const std::vector<std::string>& args, Machine& machine)
{
    const Arguments arguments = parseArguments(args, {"--before"}, {"--last", "--all", "--restore-point"});
    const bool last = arguments.has("--last");
    const bool before = arguments.value("--before") != nullptr;
    if (static_cast<int>(last) + static_cast<int>(before) + static_cast<int>(!arguments.positional.empty()) > 1)
        throw UsageError("give one of a backup file, --last and --before RUN");
    if (arguments.has("--all") && !before)
        throw UsageError("--all goes with --before");
    if (before)
        return restoreBeforeRun(arguments, machine);
    std::string file = last ? "" : onePositional(arguments, "restore", "a backup file (or --last)");
    // Claimed before the newest run is chosen: a run under way would be making a newer one.
    std::unique_ptr<RunClaim> claim = claimRunsNow(machine);
    if (last) {
        const std::vector<HistoryRun> runs = runHistory(machine);
        const HistoryRun* newest = newestRun(runs);
        if (!newest)
            throw FileFailure(backupFolder(machine), 0, L"holds no automatic backup yet");
        file = newest->backup.path;
    }
    std::vector<BackupEntry> backup;
    try {
        backup = readBackupFile(machine.files(), file);
    } catch (const BackupError& error) {
        throw unusableFile(file, error);
    }
    if (restoreWouldChange(servicesOf(machine), backup, machine.windowsVersion()).empty())
        return {kExitSuccess,
                "restoring " + printable(file) + "\n"
                    + (backup.empty() ? "the backup lists no service: the run it was saved before left every service alone; "
                                        "no run was made\n"
                                      : nothingToPutBack()),
                ""};
    // A run of its own, with a backup first, so that the restore can be gone back from too.
    MachineRun run(machine, goingBack(RunMaker::RestoreFile, printable(fileNameOf(file))), backup, {},
                   std::move(claim), restorePointsAsked(arguments, machine));
    const RestoreResult restored = putBack(run, backup);
    return finishedRun(run, restored.report.complete,
                       "restoring " + printable(file) + "\n" + restorePointLine(run.restorePoint()) + restored.report.text,
                       "");
}

CliResult backupsCommand(const std::vector<std::string>& args, Machine& machine)
{
    const Arguments arguments = parseArguments(args, {}, {});
    if (!arguments.positional.empty())
        throw UsageError("unexpected argument " + quoted(arguments.positional[0]) + ": backups takes none");
    // The automatic backups in the order their runs began, each dated by its run's start; then the
    // named ones, which are no runs, by name, dated by when their files were written.
    std::string out;
    for (const HistoryRun& run : runHistory(machine))
        out += printable(runTimeOf(run)) + "  automatic  " + printable(run.backup.path)
            + (run.backup.hasResult ? "  (result: " + printable(resultPathFor(run.backup.name)) + ")" : "") + "\n";
    std::vector<StoredBackup> named = storedBackups(machine);
    named.erase(std::remove_if(named.begin(), named.end(), [](const StoredBackup& b) { return b.automatic; }), named.end());
    std::reverse(named.begin(), named.end());
    for (const StoredBackup& backup : named)
        out += localTime(backup.modified) + "  named      " + printable(backup.path) + "\n";
    if (out.empty())
        out = "no backups yet in " + printable(backupFolder(machine)) + "\n";
    return {kExitSuccess, out, ""};
}

}  // namespace quillora
