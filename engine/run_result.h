#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/action.h"
#include "engine/answers.h"
#include "engine/backup_file.h"
#include "engine/machine.h"
#include "engine/service_step.h"

namespace quillora {

// One command a run launched, and how it ended.
struct LaunchedCommand {
    std::size_t launch;  // the number the desktop gave the launch
    std::wstring commandLine;
    std::optional<unsigned long> exitStatus;  // nullopt while the command runs
};

// A service a run asked something of, and the commands it launched for it, in order.
struct TouchedService {
    std::wstring serviceKey;
    ActionKind asked;
    std::vector<LaunchedCommand> commands;
};

// A run's launches, step by step, as the run makes them. The runner launches a step's commands
// and then writes its log line, so the commands launched since the last line belong to the step
// of the next one. Steps left alone launch nothing and touch nothing.
class RunRecord {
public:
    RunRecord(std::vector<ServiceStep> steps, std::string backupPath, std::vector<BackupEntry> backup);

    void launched(std::size_t launch, const std::wstring& commandLine);
    // The next step's log line was written; the answers are those its action was read with.
    void stepLogged(const Answers& answers);
    // Notes how a launch ended.
    void ended(std::size_t launch, unsigned long exitStatus);
    // The run is over: it has written its last line, or stopped where it was.
    void runOver() { over_ = true; }

    // The launches that have not been seen to end yet.
    std::vector<std::size_t> running() const;
    // Whether the run is over and every command it launched has ended.
    bool complete() const { return over_ && running().empty(); }

    const std::vector<TouchedService>& touched() const { return touched_; }
    const std::string& backupPath() const { return backupPath_; }
    // The start mode the backup saved for a service; nullopt for one it has no line for.
    std::optional<BackupEntry> before(const std::wstring& serviceKey) const;

private:
    std::vector<ServiceStep> steps_;
    std::size_t nextStep_ = 0;
    std::vector<LaunchedCommand> unassigned_;
    std::vector<TouchedService> touched_;
    std::string backupPath_;
    std::vector<BackupEntry> backup_;
    bool over_ = false;
};

enum class Outcome { Changed, Unchanged, NotInstalled, Failed };

// What a run really did to one service: the mode from before (its backup), what was asked, what
// Windows reports now, and the verdict.
struct ServiceResult {
    std::wstring serviceKey;
    std::optional<BackupEntry> before;
    ActionKind asked;
    std::optional<ServiceState> after;
    Outcome outcome;
    // For a failure: the first command that did not end well, if one did not; none when every
    // command reported success and the service is still not as asked.
    std::optional<LaunchedCommand> failedCommand;
    std::wstring reason;  // Windows' words for the failure, filled in by the caller
};

// Judges one touched service by the state read back: as the row leaves it is a change (or no
// change where the backup already held that mode), otherwise a failure; sc's exit status is a
// Windows error number, NET's is not, so a failing command only names the reason.
ServiceResult judge(const TouchedService& touched, const std::optional<BackupEntry>& before,
                    const std::optional<ServiceState>& after);

// Whether a command line is the sc config one, whose exit status is a Windows error number.
bool isScConfig(const std::wstring& commandLine);

// The result of a whole run, read back from the services once all its commands have ended.
struct RunResult {
    std::string backupPath;
    std::vector<ServiceResult> services;
};

// "auto-20261207-101500-01.txt" -> "auto-20261207-101500-01.result.log", beside it.
std::string resultPathFor(const std::string& backupPath);

// The result as the file saved beside the backup: UTF-8, CR LF.
//   quillora-result 1
//   backup<TAB>BACKUP-FILE-NAME
//   KEY<TAB>BEFORE<TAB>ASKED<TAB>AFTER<TAB>RESULT[<TAB>REASON]
//   end
std::string formatRunResult(const RunResult& result);

// The words of a result in the file: changed, unchanged, not installed, failed.
const char* outcomeName(Outcome outcome);

}  // namespace quillora
