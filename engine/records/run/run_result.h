#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "engine/catalogue/action.h"
#include "engine/records/backups/backup_file.h"
#include "engine/records/backups/backup_store.h"
#include "engine/machine/restore_point.h"
#include "engine/records/run/run_origin.h"
#include "engine/machine/machine.h"
#include "engine/catalogue/wording.h"
#include "engine/plan/plan.h"

namespace quillora {

// One command a run launched, and how it ended.
struct LaunchedCommand {
    CommandKind kind;
    std::size_t launch;  // the number the system gave the launch
    bool ended = false;
    std::optional<unsigned long> exitStatus;  // nullopt while it runs, or where it could not be read
};

// A service of the run's profile: what its row asked, and the commands the run launched for it,
// in order; none where the run left it alone.
struct TouchedService {
    std::wstring serviceKey;
    ActionKind asked;
    std::vector<LaunchedCommand> commands;
    std::optional<LeftAlone> leftAlone = std::nullopt;
    // The commands its step named that were never launched (the system refused the first of them,
    // or the run stopped), in order.
    std::vector<CommandKind> notLaunched = {};
    // false: a row of the run's plan that the run never reached (it stopped first).
    bool reached = true;
};

// A row of a run's plan, as the run begins: every row is in its result, reached or not.
struct PlannedService {
    std::wstring serviceKey;
    ActionKind asked;
    std::optional<LeftAlone> leftAlone;
};

// What a service was like as the run began: its start mode as the backup saved it, and its state.
struct ServiceBefore {
    std::optional<BackupEntry> saved;  // nullopt for a service the backup has no line for
    std::optional<ServiceState> state;  // nullopt: not installed
};

// A run's launches, step by step, as the run tells them: a step names the commands it is about
// to launch, and each launch that follows is the next of them. Steps left alone touch nothing.
class RunRecord {
public:
    // states: the services as they were when the backup was saved, in the backup's order.
    // planned: every row of the run's plan, in run order; the rows it never reaches are in its
    // result too.
    RunRecord(std::string backupPath, std::vector<BackupEntry> backup, std::vector<std::optional<ServiceState>> states,
              std::vector<PlannedService> planned = {});

    void stepStarts(const std::wstring& serviceKey, ActionKind asked, const std::vector<ServiceCommand>& commands,
                    std::optional<LeftAlone> leftAlone = std::nullopt);
    // The next command of the step under way was launched.
    void launched(std::size_t launch);
    // How a launch ended; nullopt where its exit status could not be read.
    void ended(std::size_t launch, std::optional<unsigned long> exitStatus);
    // The run is over: it has written its last line, or stopped where it was.
    void runOver() { over_ = true; }

    // The launches that have not been seen to end yet.
    std::vector<std::size_t> running() const;
    bool over() const { return over_; }
    // Whether the run is over and every command it launched has ended.
    bool complete() const { return over_ && running().empty(); }

    const std::vector<TouchedService>& touched() const { return touched_; }
    // Every row of the run: those of its plan in its order, each as the run touched it or, never
    // reached, as planned; then any row touched that the plan did not name.
    std::vector<TouchedService> rows() const;
    const std::string& backupPath() const { return backupPath_; }
    ServiceBefore before(const std::wstring& serviceKey) const;

private:
    std::vector<TouchedService> touched_;
    std::vector<PlannedService> planned_;
    std::string backupPath_;
    std::vector<BackupEntry> backup_;
    std::vector<std::optional<ServiceState>> states_;
    bool over_ = false;
};

enum class Outcome {
    Changed,       // as the row leaves it, and not so before
    Unchanged,     // as the row leaves it, as it was before
    NotInstalled,
    Failed,        // not as the row leaves it
    Unknown,       // the program ended before a command of the service finished
    NotLaunched,   // the run stopped before it reached the service: nothing was launched for it
    LeftAloneByChoice,  // the run left it alone: the user chose so
    LeftAloneNeeded,    // the run left it alone: this Windows needs it as it is
    LeftAloneAsWindowsHasIt,  // the row keeps it as Windows has it
};

// The command whose outcome explains a failure: sc config where the mode was not set, NET where
// the state was not reached. Where the program asked the Service Control Manager itself
// (quillora-cli apply, a restore) there is no command: kind is nullopt and the status is the
// Windows error number it refused with.
struct CommandFailure {
    std::optional<CommandKind> kind;
    std::optional<unsigned long> exitStatus;  // nullopt where it could not be read or never was
    bool launched = true;                     // false: the command was never launched
    bool operator==(const CommandFailure&) const = default;
};

// A saved start mode that a restore puts back.
struct PutBack {
    StartMode mode;
    bool delayed = false;
    bool operator==(const PutBack&) const = default;
};

// What a run asked of a service: a profile's action, a saved mode put back, or nothing known (a
// run whose result was never saved, shown from its backup).
using Asked = std::variant<std::monostate, ActionKind, PutBack>;

// What a run really did to one service: the mode from before (its backup), what was asked, what
// Windows reports afterwards, and the verdict.
struct ServiceResult {
    std::wstring serviceKey;
    std::optional<BackupEntry> before;
    Asked asked;
    std::optional<ServiceState> after;
    Outcome outcome;
    // For a failure, the command that explains it; none where every command reported success.
    std::optional<CommandFailure> failure;
    bool operator==(const ServiceResult&) const = default;
};

// The outcome of a service the run left alone, and why.
Outcome leftAloneOutcome(LeftAlone why);

// The word for an outcome in the language of the words: the same as the plan's for a service left
// alone, or not installed.
const wchar_t* outcomeWord(const Wording& words, Outcome outcome);

// What can be known of a touched service without reading it back: why it was left alone, that it
// was not installed before the run, that the run never reached it, or else nothing.
Outcome outcomeUnread(const TouchedService& touched, const ServiceBefore& before);

// Judges one touched service by its state read back against the start mode and the running
// state its row asks for, before and after; a service left alone is that, whatever its state.
ServiceResult judge(const TouchedService& touched, const ServiceBefore& before,
                    const std::optional<ServiceState>& after);

// The result of a whole run.
struct RunResult {
    std::string backupPath;
    std::vector<ServiceResult> services;
    // What made the run, kept in the result too, so that an undo is known as one where the history
    // could not say it; nullopt in results of earlier versions.
    std::optional<RunOrigin> origin = std::nullopt;
    // What Windows answered when the run asked for a restore point; nullopt where it asked none.
    std::optional<RestorePointAnswer> restorePoint = std::nullopt;
    bool operator==(const RunResult&) const = default;
};

// Every service the run touched, read back now and judged. A service whose command still runs is
// Unknown. Throws PlatformFailure where the services cannot be read.
RunResult readBack(const RunRecord& record, ServiceControl& services);

// What quillora-cli apply did, as a run's result: every row of its plan read back now and judged
// as the program's own runs are, a service Windows refused blamed on that refusal. backup: the
// backup apply saved first. Where the services cannot be read back, unread says why and the
// services from there on are as far as known. stoppedAt: the row apply stopped at, where it was
// stopped; from there on the rows it would have acted on were never reached.
RunResult appliedResult(const SavedBackup& backup, const std::vector<PlannedRow>& rows,
                        const std::vector<std::pair<std::wstring, PlatformFailure>>& refused, ServiceControl& services,
                        std::optional<PlatformFailure>& unread, std::size_t stoppedAt = SIZE_MAX);

// A service read back after a run acted, unless an earlier read failed: the first failure is kept
// in unread and the services from there on are not asked again (nothing is known of them).
std::optional<ServiceState> readAfter(ServiceControl& services, const std::wstring& serviceKey,
                                      std::optional<PlatformFailure>& unread);

// How many services Windows refused.
std::size_t failures(const RunResult& result);

// The result as the file saved beside the backup: UTF-8, CR LF, the same in every window language.
//   quillora-result 1
//   backup<TAB>BACKUP-FILE-NAME
//   made-by<TAB>ORIGIN             what made the run, as the history says it; absent in earlier ones
//   restore-point<TAB>ANSWER       Windows' answer where the run asked for a restore point
//   KEY<TAB>BEFORE<TAB>ASKED<TAB>AFTER<TAB>RESULT[<TAB>REASON]
//   end
// One line for every row of the run, those it left alone and those it never reached too; BEFORE is
// "not saved" for a service left alone by choice, which the backup leaves out; AFTER is "not read"
// where the service was not read after the run. ASKED is the action's words, or "put back"
// and a mode for a restore.
// REASON, for a failure: the command and its exit status ("sc-config 5", "net-stop 2", "net-start
// ?" where it could not be read, "sc-config not-launched" where it never ran), "windows 5" where
// the Service Control Manager refused the program itself, or "reported-success".
std::string formatRunResult(const RunResult& result);
// One service's line of the file as its fields, KEY to REASON; REASON empty where there is none.
std::vector<std::string> resultFields(const ServiceResult& service);

// A saved result read back: nullopt for a file that is not a whole, well-formed result. The backup
// path is the folder of resultPath and the backup's name in the file.
std::optional<RunResult> parseRunResult(const std::string& resultPath, const std::string& text);

// The words of an outcome in the file: changed, unchanged, not installed, failed, unknown, "left
// alone: your choice", "left alone: needed by Windows".
const char* outcomeName(Outcome outcome);

}  // namespace quillora
