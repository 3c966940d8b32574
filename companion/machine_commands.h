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

// What Windows answered when the run asked for a restore point, as a line; empty where it asked
// none.
std::string restorePointLine(const std::optional<RestorePointAnswer>& answer);
// System Restore where the command line asks for a restore point (--restore-point), else nullptr.
RestorePoints* restorePointsAsked(const Arguments& arguments, Machine& machine);
// What a restore, restore --before or drift --fix says where nothing differs: as the windows' ways
// back, it makes no run then.
std::string nothingToPutBack();
// How a run ended, every part from its one judged result: out followed by its totals ("3 changed,
// 40 unchanged, 2 not installed, 0 failed, 14 kept (needed here)"); err followed by what went wrong
// with its files, and, where Ctrl+C, Ctrl+Break or a closed console stopped it, how many services it
// did not reach. The status: kExitStopped where it was stopped; success only where the command's
// own report is complete and the result counts no failure and nothing unknown.
CliResult finishedRun(const MachineRun& run, bool complete, const std::string& out, const std::string& err);

}  // namespace quillora
