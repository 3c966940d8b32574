#pragma once

#include <string>
#include <vector>

#include "companion/cli.h"
#include "engine/machine/machine.h"

namespace quillora {

enum class PlanOutput { Everything, CommandsOnly, LogOnly };

// plan PROFILE [--answers ABC] [--commands | --log]: runs the profile against recording doubles
// and prints what it did, in UTF-8; reads nothing of the machine. Throws UsageError.
CliResult planCommand(const std::vector<std::string>& args, Machine& machine);

}  // namespace quillora
