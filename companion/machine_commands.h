#pragma once

#include <string>
#include <vector>

#include "companion/arguments.h"
#include "companion/cli.h"
#include "engine/machine/failure.h"
#include "engine/machine/machine.h"
#include "engine/records/transaction/machine_run.h"

namespace quillora {

// The commands that read or change this machine's services and backups. Each takes the whole
// command line (args[0] is the command) and a machine whose services can be reached, and throws
// UsageError for bad arguments, FileFailure or PlatformFailure when the system refuses.

// status PROFILE [--answers ABC]
CliResult statusCommand(const std::vector<std::string>& args, Machine& machine);
// verify PROFILE [--answers ABC]
CliResult verifyCommand(const std::vector<std::string>& args, Machine& machine);
// apply PROFILE [--answers ABC] [--timeout SECONDS]
CliResult applyCommand(const std::vector<std::string>& args, Machine& machine);
// backup FILE [--force] | backup --name NAME [--force]
CliResult backupCommand(const std::vector<std::string>& args, Machine& machine);
// backups
CliResult backupsCommand(const std::vector<std::string>& args, Machine& machine);
// restore FILE | restore --last | restore --before RUN [--all]
CliResult restoreCommand(const std::vector<std::string>& args, Machine& machine);

// What went wrong with a run's files or its read back, for standard error.
std::string runProblems(const MachineRun& run);
// What Windows answered when the run asked for a restore point, as a line; empty where it asked
// none.
std::string restorePointLine(const std::optional<RestorePointAnswer>& answer);
// System Restore where the command line asks for a restore point (--restore-point), else nullptr.
RestorePoints* restorePointsAsked(const Arguments& arguments, Machine& machine);
// A run's exit status: success only where the command's own report is complete and the judged
// result counts no failure and nothing unknown.
int judgedStatus(const MachineRun& run, bool complete);
// What a restore, restore --before or drift --fix says where nothing differs: as the windows' ways
// back, it makes no run then.
std::string nothingToPutBack();
// The status of a run that was stopped before it reached every service (Ctrl+C, Ctrl+Break, a
// closed console): kExitStopped; else status.
int stoppedStatus(const MachineRun& run, int status);
// For standard error: that the run was stopped, and how many services it did not reach; empty
// where it reached them all.
std::string stoppedLine(const MachineRun& run);
// The totals that end a run's report, from its judged result, which the exit status and the
// history count too: "3 changed, 40 unchanged, 2 not installed, 0 failed, 14 kept".
std::string totalsLine(const MachineRun& run);

}  // namespace quillora
