#pragma once

#include <string>
#include <vector>

#include "companion/cli.h"
#include "engine/machine.h"

namespace quillora {

// The commands that read or change this machine's services and backups: status, verify, apply,
// backup, backups, restore.
bool isMachineCommand(const std::string& command);

// Runs one of them (args[0] is the command). Throws UsageError for bad arguments and where the
// machine has no services (anywhere but Windows), FileFailure or PlatformFailure when the system
// refuses.
CliResult runMachineCommand(const std::vector<std::string>& args, Machine& machine);

}  // namespace quillora
