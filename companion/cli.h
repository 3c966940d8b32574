#pragma once

#include <string>
#include <vector>

#include "engine/machine.h"

namespace quillora {

// The companion's output: what goes to stdout and stderr, and the exit status.
struct CliResult {
    int status = 0;
    std::string out;
    std::string err;
};

inline constexpr int kExitUsage = 2;

// Runs the companion on its arguments (without the program name), on this machine's services and
// files; machine is nullptr where there are none to reach (anywhere but Windows). Prints nothing
// itself, so that the whole behaviour can be checked without a console.
CliResult runCli(const std::vector<std::string>& args, Machine* machine);

}  // namespace quillora
