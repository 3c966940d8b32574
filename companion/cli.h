#pragma once

#include <string>
#include <vector>

#include "engine/machine/machine.h"

namespace quillora {

// The companion's output: what goes to stdout and stderr, and the exit status.
struct CliResult {
    int status = 0;
    std::string out;
    std::string err;
    // out is a file's exact bytes (an export to standard output): a redirection gets them as
    // --output would write them, not as text whose line ends are made CR LF.
    bool outIsFile = false;
};

// Exit statuses, the same for every command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitIncomplete = 1;  // differences found, services not brought to their state
inline constexpr int kExitUsage = 2;       // a command line the companion cannot take
inline constexpr int kExitFailure = 3;     // a file or the system refused
inline constexpr int kExitStopped = 4;     // Ctrl+C, Ctrl+Break or a closed console stopped a run; what it did is saved

// Runs the companion on its arguments (without the program name), on this machine. Prints
// nothing itself, so that the whole behaviour can be checked without a console.
CliResult runCli(const std::vector<std::string>& args, Machine& machine);

}  // namespace quillora
