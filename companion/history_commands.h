#pragma once

#include <string>
#include <vector>

#include "companion/arguments.h"
#include "companion/cli.h"
#include "engine/machine/machine.h"

namespace quillora {

// The commands of the machine's history of runs. Each takes the whole command line (args[0] is
// the command) and a machine whose services can be reached, and throws UsageError for bad
// arguments, FileFailure or PlatformFailure when the system refuses.

// history [RUN]: every run, newest first, or one run whole.
CliResult historyCommand(const std::vector<std::string>& args, Machine& machine);
// drift [--run RUN] [--fix [--all]]: what has changed since a run, and setting it again.
CliResult driftCommand(const std::vector<std::string>& args, Machine& machine);
// restore --before RUN [--all], its arguments read.
CliResult restoreBeforeRun(const Arguments& arguments, Machine& machine);

}  // namespace quillora
