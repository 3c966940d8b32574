#pragma once

#include <string>

#include "engine/machine/machine.h"

namespace quillora {

// Refuses, before any work is done, a file the command was asked to write that is a folder, or
// that exists when --force was not given. Throws FileFailure naming it.
void checkOutputFile(Files& files, const std::string& path, bool force);

}  // namespace quillora
