#include "engine/records/backups/backup_on_machine.h"

#include "engine/catalogue/catalogue.h"
#include "engine/plan/service_change.h"
#include "engine/text/utf8.h"

namespace quillora {
namespace {

// What a restore leaves a service in: its saved mode, neither stopped nor started. The entry must
// hold a mode (the service was installed when the backup was made).
ServiceTarget targetOf(const BackupEntry& entry)
{
    return {false, *entry.mode, entry.delayed, false};
}

bool setsMode(const BackupEntry& entry, const ServiceState& now)
{
    return entry.mode && pendingChange(targetOf(entry), now).any();
}

// The entries as this Windows takes them: without delayed marks where it has no delayed start.
std::vector<BackupEntry> asWindowsTakes(std::vector<BackupEntry> backup, const std::optional<WindowsVersion>& windows)
{
    if (windows && !hasDelayedStart(*windows)) {
        for (BackupEntry& entry : backup)
            entry.delayed = false;
    }
    return backup;
}

ModeChange changeOf(const BackupEntry& entry, const ServiceState& now)
{
    return {entry.serviceKey, now.mode, now.mode == StartMode::Automatic && now.delayed, *entry.mode, entry.delayed};
}

}  // namespace


std::vector<BackupEntry> modesOf(const std::vector<std::wstring>& keys, const std::vector<std::optional<ServiceState>>& states)
{
    std::vector<BackupEntry> entries;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::optional<ServiceState>& now = states[i];
        // Windows keeps a delayed flag for any service but heeds it only for an automatic start;
        // a backup marks only the delays that count.
        const bool delayed = now && now->mode == StartMode::Automatic && now->delayed;
        entries.push_back({keys[i], now ? std::optional<StartMode>(now->mode) : std::nullopt, delayed});
    }
    return entries;
}

std::vector<BackupEntry> currentModes(ServiceControl& services, Lists lists)
{
    const std::vector<std::wstring> keys = catalogueKeys(lists);
    return modesOf(keys, services.queryAll(keys));
}


bool restoreChanges(const BackupEntry& entry, const ServiceState& now, const std::optional<WindowsVersion>& windows)
{
    return setsMode(asWindowsTakes({entry}, windows).front(), now);
}

std::vector<ModeChange> restoreWouldChange(ServiceControl& services, const std::vector<BackupEntry>& backup,
                                           const std::optional<WindowsVersion>& windows)
{
    std::vector<ModeChange> changes;
    for (const BackupEntry& entry : asWindowsTakes(backup, windows)) {
        const std::optional<ServiceState> now = entry.mode ? services.query(entry.serviceKey) : std::nullopt;
        if (now && setsMode(entry, *now))
            changes.push_back(changeOf(entry, *now));
    }
    return changes;
}

RestoreResult restoreModes(ServiceControl& services, const std::vector<BackupEntry>& backup,
                           const std::optional<WindowsVersion>& windows,
                           const std::function<bool(const BackupEntry&)>& reaching)
{
    RestoreResult result;
    for (const BackupEntry& entry : asWindowsTakes(backup, windows)) {
        if (reaching && entry.mode && !reaching(entry))
            break;
        ++result.reached;
        std::string line = serviceName(entry.serviceKey) + ": ";
        std::optional<ServiceState> now;
        try {
            now = services.query(entry.serviceKey);
        } catch (const PlatformFailure& failure) {
            // Named as a failure of its own: the services set before it stay set, and are told.
            result.failures.emplace_back(entry.serviceKey, failure);
            result.report.text += line + failureText(failure) + "\n";
            continue;
        }
        if (!now) {
            line += "not installed";
        } else if (!entry.mode) {
            line += "not installed when the backup was made; left as it is";
        } else if (!setsMode(entry, *now)) {
            line += "unchanged (" + modeWords(now->mode, now->delayed) + ")";
        } else {
            try {
                services.setStartMode(entry.serviceKey, *entry.mode, entry.delayed);
                result.changed.push_back(changeOf(entry, *now));
                line += "changed from " + modeWords(now->mode, now->delayed) + " to " + modeWords(*entry.mode, entry.delayed);
            } catch (const PlatformFailure& failure) {
                result.failures.emplace_back(entry.serviceKey, failure);
                line += failureText(failure);
            }
        }
        result.report.text += line + "\n";
    }
    result.report.complete = result.failures.empty();
    return result;
}

}  // namespace quillora
