#pragma once

#include <optional>
#include <string>

#include "engine/machine.h"

namespace quillora {

// The program's one setting, the language of its windows, kept in settings.ini in the program's
// per-user folder, beside the backups' folder: "[Quillora]", then "language=en" or "language=zh".

// Where the settings are kept. Throws PlatformFailure where there is no such folder.
std::string settingsPath(Machine& machine);

// The language saved, "en" or "zh"; nullopt when none is saved or the file cannot be read.
std::optional<std::string> savedLanguage(Machine& machine);

// Keeps the language for the next start, written whole or not at all. Throws FileFailure naming
// the file, or PlatformFailure.
void saveLanguage(Machine& machine, const std::string& language);

}  // namespace quillora
