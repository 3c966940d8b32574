#pragma once

#include <string>
#include <vector>

#include "companion/cli.h"
#include "engine/machine.h"

namespace quillora {

// The commands that read or change this machine's services: status, verify, backup, restore.
bool isMachineCommand(const std::string& command);

// Runs one of them (args[0] is the command) on the machine; without one (on a system other than
// Windows) it says that the command needs Windows. Throws UsageError for bad arguments.
CliResult runMachineCommand(const std::vector<std::string>& args, Machine* machine);

}  // namespace quillora
