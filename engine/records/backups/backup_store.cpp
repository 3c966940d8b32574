#include "engine/records/backups/backup_store.h"

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "engine/records/backups/backup_file.h"
#include "engine/catalogue/catalogue.h"
#include "engine/machine/failure.h"
#include "engine/records/backups/backup_on_machine.h"

namespace quillora {
namespace {

const char kBackupFolderName[] = "backups";
const char kAutomaticPrefix[] = "auto-";
const char kExtension[] = ".txt";
const char kResultExtension[] = ".result.log";
const char kJournalExtension[] = ".journal.log";
constexpr int kMostPerSecond = 99;

bool isAutomatic(const std::string& name)
{
    return name.rfind(kAutomaticPrefix, 0) == 0;
}

bool isBackupName(const std::string& name)
{
    const std::size_t extension = sizeof kExtension - 1;
    return name.size() > extension && name.compare(name.size() - extension, extension, kExtension) == 0;
}

std::string inFolder(Machine& machine, const std::string& name)
{
    return backupFolder(machine) + machine.separator() + name;
}

}  // namespace

std::optional<BackupEntry> savedEntry(const SavedBackup& backup, const std::wstring& serviceKey)
{
    const auto entry = std::find_if(backup.entries.begin(), backup.entries.end(),
                                    [&](const BackupEntry& e) { return e.serviceKey == serviceKey; });
    return entry == backup.entries.end() ? std::nullopt : std::optional(*entry);
}

std::vector<BackupEntry> readBackupFile(Files& files, const std::string& path)
{
    return parseBackup(readFile(files, path));
}

std::string backupFolder(Machine& machine)
{
    return dataFolder(machine) + machine.separator() + kBackupFolderName;
}

SavedBackup saveAutomaticBackup(Machine& machine, const std::vector<std::wstring>& leftOut)
{
    std::vector<std::wstring> keys = catalogueKeys(listsFor(machine.windowsVersion()));
    keys.erase(std::remove_if(keys.begin(), keys.end(),
                              [&](const std::wstring& key) {
                                  return std::find(leftOut.begin(), leftOut.end(), key) != leftOut.end();
                              }),
               keys.end());
    std::vector<std::optional<ServiceState>> states = servicesOf(machine).queryAll(keys);
    const std::vector<BackupEntry> entries = modesOf(keys, states);
    const std::string bytes = formatBackup(entries);
    const std::string folder = backupFolder(machine);
    machine.files().createFolders(folder);
    const std::string stamp = kAutomaticPrefix + machine.timeStamp();
    // Runs can follow each other within a second: each gets a file of its own.
    for (int sequence = 1; sequence <= kMostPerSecond; ++sequence) {
        const std::string number = (sequence < 10 ? "-0" : "-") + std::to_string(sequence);
        const std::string path = inFolder(machine, stamp + number + kExtension);
        if (machine.files().exists(path))
            continue;
        try {
            machine.files().writeAtomically(path, bytes, false);
        } catch (const FileFailure&) {
            // Another program (quillora-cli apply, another start of Quillora) took the name
            // between the look and the write: the next number is free.
            if (machine.files().exists(path))
                continue;
            throw;
        }
        return {path, entries, std::move(states)};
    }
    throw FileFailure(inFolder(machine, stamp + "-" + std::to_string(kMostPerSecond) + kExtension), windows_error::kFileExists,
                      L"The file exists.");
}

std::string namedBackupPath(Machine& machine, const std::string& name)
{
    const bool plain = !name.empty() && name.size() <= 64
        && std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-'
                   || c == '_' || c == '.';
           });
    if (!plain || name[0] == '.')
        throw std::invalid_argument("a backup name may hold only letters, digits, '-', '_' and '.'");
    if (isAutomatic(name))
        throw std::invalid_argument("names starting with 'auto-' are kept for automatic backups");
    return inFolder(machine, name + kExtension);
}

std::vector<StoredBackup> storedBackups(Machine& machine)
{
    std::vector<StoredBackup> backups;
    const std::vector<FileEntry> files = machine.files().list(backupFolder(machine));
    using Stamp = std::pair<std::int64_t, std::int64_t>;
    std::map<std::string, Stamp> stamps;
    for (const FileEntry& file : files)
        stamps.emplace(file.name, Stamp{file.modified, file.size});
    const auto beside = [&](const std::string& name) {
        const auto found = stamps.find(name);
        return found == stamps.end() ? std::optional<Stamp>() : found->second;
    };
    for (const FileEntry& file : files) {
        if (!isBackupName(file.name))
            continue;
        const std::optional<Stamp> result = beside(resultPathFor(file.name));
        const std::optional<Stamp> journal = beside(journalPathFor(file.name));
        backups.push_back({inFolder(machine, file.name), file.name, isAutomatic(file.name), file.modified, result.has_value(),
                           journal.has_value(), result.value_or(Stamp{}), journal.value_or(Stamp{})});
    }
    std::sort(backups.begin(), backups.end(), [](const StoredBackup& a, const StoredBackup& b) { return a.name > b.name; });
    return backups;
}

namespace {

// The path of a file kept beside a backup, in place of the backup's extension.
std::string besideBackup(const std::string& backupPath, const char* extension)
{
    const std::size_t length = sizeof kExtension - 1;
    const bool ends = backupPath.size() > length && backupPath.compare(backupPath.size() - length, length, kExtension) == 0;
    return (ends ? backupPath.substr(0, backupPath.size() - length) : backupPath) + extension;
}

}  // namespace

std::string resultPathFor(const std::string& backupPath)
{
    return besideBackup(backupPath, kResultExtension);
}

std::string journalPathFor(const std::string& backupPath)
{
    return besideBackup(backupPath, kJournalExtension);
}

std::string fileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string runNameOf(const std::string& backupPath)
{
    const std::string name = fileNameOf(backupPath);
    const std::size_t prefix = sizeof kAutomaticPrefix - 1, extension = sizeof kExtension - 1;
    if (!isAutomatic(name) || !isBackupName(name) || name.size() <= prefix + extension)
        return "";
    return name.substr(prefix, name.size() - prefix - extension);
}

std::optional<std::string> automaticBackupTime(const StoredBackup& backup)
{
    // auto-YYYYMMDD-HHMMSS-NN.txt
    const std::string& name = backup.name;
    const std::size_t stamp = sizeof kAutomaticPrefix - 1;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const bool digits = name.size() >= stamp + 15 && name[stamp + 8] == '-'
        && std::all_of(name.begin() + stamp, name.begin() + stamp + 8, isDigit)
        && std::all_of(name.begin() + stamp + 9, name.begin() + stamp + 15, isDigit);
    if (!backup.automatic || !digits)
        return std::nullopt;
    const auto part = [&](std::size_t from, std::size_t length) { return name.substr(stamp + from, length); };
    return part(0, 4) + "-" + part(4, 2) + "-" + part(6, 2) + " " + part(9, 2) + ":" + part(11, 2) + ":" + part(13, 2);
}

}  // namespace quillora
