#pragma once

#include <string>
#include <vector>

#include "cli.h"

namespace quillora {

// The commands that read or change this machine's services: status, verify, backup, restore.
bool isServiceCommand(const std::string& command);

// Runs one of them (args[0] is the command). Windows only: elsewhere it says so.
CliResult runServiceCommand(const std::vector<std::string>& args);

}  // namespace quillora
