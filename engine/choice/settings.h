#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/catalogue/catalogue.h"
#include "engine/catalogue/table_language.h"
#include "engine/machine/machine.h"

namespace quillora {

// What the program keeps for the user between starts, in settings.ini in the machine's data
// folder, beside the backups' folder: "[Quillora]", then one "key=value" line each: the language
// of its windows ("language=en", "language=zh" or "language=zh-TW"), for each profile, the
// services the user chose to leave alone ("skip.automatic=Alerter,ALG"), and whether the windows'
// runs ask Windows for a restore point ("restore-point=off"; on unless saved off). Saving one setting keeps
// the others. A file edited by hand is read as Windows reads an ini file: names in any case,
// blanks around names and values ignored.

// Where the settings are kept. Throws PlatformFailure where there is no such folder.
std::string settingsPath(Machine& machine);

// The language saved, its code in any case; nullopt when none is saved or the file cannot be read.
std::optional<TableLanguage> savedLanguage(Machine& machine);

// Keeps the language for the next start, written whole or not at all. Throws FileFailure naming
// the file, or PlatformFailure.
void saveLanguage(Machine& machine, TableLanguage language);

// The services the user chose to leave alone in the profile, in catalogue order; none when none
// is saved. Keys the catalogue does not know are dropped. Throws FileFailure naming the file where
// it exists and cannot be read: no choice is made up from a file that could not be read.
std::vector<std::wstring> savedSkips(Machine& machine, Profile profile);

// Keeps the choice for the next start, as saveLanguage does.
void saveSkips(Machine& machine, Profile profile, const std::vector<std::wstring>& keys);

// Whether the windows' runs ask Windows for a restore point first: yes unless the user turned it
// off, and yes where the file cannot be read.
bool savedRestorePoints(Machine& machine);
// Keeps the choice, as saveLanguage does.
void saveRestorePoints(Machine& machine, bool on);

}  // namespace quillora
