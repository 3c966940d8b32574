#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/records/backups/backup_file.h"
#include "engine/machine/machine.h"

namespace quillora {

// A backup in the user's backup folder: automatic ones are made before every run of the program
// and by apply; named ones by `quillora-cli backup --name`.
struct StoredBackup {
    std::string path;
    std::string name;  // the file name
    bool automatic;
    std::int64_t modified;  // seconds since 1970, UTC
    bool hasResult = false;  // what the run after it really did is saved beside it
    bool hasJournal = false;  // what the run after it meant to do, and how far it got, is beside it
    // The files beside it as the folder's listing gives them (time written, size): whether they
    // changed since they were last read, never which run is newer.
    std::pair<std::int64_t, std::int64_t> resultStamp = {};
    std::pair<std::int64_t, std::int64_t> journalStamp = {};
};

// An automatic backup just saved: where, what it holds, and the states it was made from, one for
// each entry.
struct SavedBackup {
    std::string path;
    std::vector<BackupEntry> entries;
    std::vector<std::optional<ServiceState>> states;
};

// What the backup saved of a service; nullopt where it has no line for it.
std::optional<BackupEntry> savedEntry(const SavedBackup& backup, const std::wstring& serviceKey);

// A backup file read and checked whole. Throws FileFailure for a folder or a file the system will
// not read, BackupError for one that is not a whole, well-formed backup.
std::vector<BackupEntry> readBackupFile(Files& files, const std::string& path);

// The backup folder of this machine. Throws PlatformFailure where there is none.
std::string backupFolder(Machine& machine);

// Saves the current start mode of every catalogue service but those left out (the ones a run
// leaves alone by the user's choice) as a new automatic backup, written atomically and never over
// an existing file. Throws FileFailure (naming the backup) or PlatformFailure.
SavedBackup saveAutomaticBackup(Machine& machine, const std::vector<std::wstring>& leftOut = {});

// The path of a named backup in the backup folder. Throws std::invalid_argument for a name that
// is not a plain name (letters, digits, '-', '_', '.'; not starting as automatic ones do).
std::string namedBackupPath(Machine& machine, const std::string& name);

// Every backup of the folder, newest first by name: an automatic backup's name is its run's start
// time; a file's time never counts, since a backup copied or scanned since is no newer.
std::vector<StoredBackup> storedBackups(Machine& machine);

// The files a run keeps beside its backup: "auto-20261207-101500-01.txt" ->
// "auto-20261207-101500-01.result.log" (what it really did) and "....journal.log" (what it meant
// to do, and how far it got).
std::string resultPathFor(const std::string& backupPath);
std::string journalPathFor(const std::string& backupPath);

// A path's last part, after its last '/' or '\\': a file's name without its folder.
std::string fileNameOf(const std::string& path);

// The name of the run an automatic backup was saved before: "auto-20261207-101500-01.txt" (in any
// folder) is run "20261207-101500-01"; empty for a file that is not an automatic backup.
std::string runNameOf(const std::string& backupPath);

// When an automatic backup was made, in local time, as "2026-12-07 10:15:00", read from its name;
// nullopt for a name that does not carry one.
std::optional<std::string> automaticBackupTime(const StoredBackup& backup);

}  // namespace quillora
