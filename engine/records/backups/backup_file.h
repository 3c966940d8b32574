#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/machine/start_mode.h"
#include "engine/text/file_problem.h"

namespace quillora {

// The backup file of the companion, UTF-8 with CR LF line ends:
//
//   quillora-backup 1
//   KEY<TAB>MODE[<TAB>delayed]      one line per service of the catalogue
//   end
//
// MODE is boot, system, auto, demand or disabled, or absent for a service that was not installed;
// "delayed" marks an automatic start that Windows delays. The end line tells a complete file from
// a cut one.
struct BackupEntry {
    std::wstring serviceKey;
    std::optional<StartMode> mode;  // nullopt: the service was not installed
    bool delayed = false;
    bool operator==(const BackupEntry&) const = default;
};

// A backup file that cannot be used, with the line at fault (1-based); what() begins "line N: ".
class BackupError : public FileProblemError {
public:
    // english: what is wrong, in the companion's words; the line, where given, is quoted after it.
    BackupError(FileProblem problem, int line, const std::string& english, std::optional<std::string> quotedLine = {});
};

// A backup's first line, which names its form and version.
inline constexpr char kBackupHeader[] = "quillora-backup 1";

std::string formatBackup(const std::vector<BackupEntry>& entries);

// One service's line of a backup, KEY<TAB>MODE[<TAB>delayed], without its line end; and the same
// read back, checked as a backup's lines are. Throws BackupError naming that line number.
std::string formatEntry(const BackupEntry& entry);
BackupEntry parseEntry(const std::string& line, int lineNumber);

// Reads and checks a whole backup; only keys of the catalogue, each once, with known modes. A
// backup with no service is whole: it was saved before a run that left every service alone.
// Throws BackupError.
std::vector<BackupEntry> parseBackup(const std::string& bytes);

// A file in the backup's form under a first line of its own, so that a person edits it as a
// backup and every reader of backups knows it: the first line is one of headers (its index
// given back), and a file whose first line is none of them is refused as notThisKind.
struct BackupForm {
    std::size_t header = 0;
    std::vector<BackupEntry> entries;
};
BackupForm parseBackupForm(const std::string& bytes, const std::vector<std::string>& headers, FileProblem notThisKind,
                           const std::string& notThisKindWords);
std::string formatBackupForm(const std::string& header, const std::vector<BackupEntry>& entries);

}  // namespace quillora
