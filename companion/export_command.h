#pragma once

#include <string>
#include <vector>

#include "companion/cli.h"
#include "engine/machine/machine.h"

namespace quillora {

// export PROFILE [--answers ABC] --format inf|ansible [--output FILE [--force]] [--installed-only]
// export --from-backup FILE --format inf|ansible [--output FILE [--force]]
// Throws UsageError, FileFailure or PlatformFailure.
CliResult exportCommand(const std::vector<std::string>& args, Machine& machine);

}  // namespace quillora
