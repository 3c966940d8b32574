#include "engine/records/going_back.h"

#include <algorithm>

namespace quillora {
namespace {

bool contains(const std::vector<std::wstring>& keys, const std::wstring& key)
{
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// One service as the run left it, read back and judged against the mode it put back; unread
// where the services could not be read back, its outcome then unknown but where Windows refused.
ServiceResult judgePutBack(const BackupEntry& entry, const std::optional<BackupEntry>& before,
                           const std::optional<ServiceState>& after, bool unread, const RestoreResult& restore,
                           const std::optional<WindowsVersion>& windows)
{
    ServiceResult service{entry.serviceKey, before, PutBack{*entry.mode, entry.delayed}, after, Outcome::NotInstalled,
                          std::nullopt};
    const auto refused = std::find_if(restore.failures.begin(), restore.failures.end(),
                                      [&](const auto& failure) { return failure.first == entry.serviceKey; });
    if (refused != restore.failures.end()) {
        service.outcome = Outcome::Failed;
        service.failure = CommandFailure{std::nullopt, refused->second.number()};
    } else if (unread) {
        service.outcome = Outcome::Unknown;
    } else if (after && restoreChanges(entry, *after, windows)) {
        // Windows took the mode, and then reports another: nothing to blame but what it said.
        service.outcome = Outcome::Failed;
    } else if (after) {
        const bool changed = std::any_of(restore.changed.begin(), restore.changed.end(),
                                         [&](const ModeChange& change) { return change.serviceKey == entry.serviceKey; });
        service.outcome = changed ? Outcome::Changed : Outcome::Unchanged;
    }
    return service;
}

}  // namespace

RestoreResult putBack(MachineRun& run, const std::vector<BackupEntry>& modes)
{
    ServiceControl& services = servicesOf(run.machine());
    const std::optional<WindowsVersion> windows = run.machine().windowsVersion();
    const RestoreResult restore = restoreModes(services, modes, windows);
    RunResult result;
    std::optional<PlatformFailure> unread;
    for (const BackupEntry& entry : modes) {
        // A service that was not installed when the modes were saved is left as it is.
        if (!entry.mode)
            continue;
        const std::optional<ServiceState> after = readAfter(services, entry.serviceKey, unread);
        result.services.push_back(
            judgePutBack(entry, savedEntry(run.backup(), entry.serviceKey), after, unread.has_value(), restore, windows));
    }
    if (unread)
        run.readBackFailed(*unread);
    run.finish(std::move(result));
    return restore;
}

std::vector<std::wstring> disablingNeeded(const std::vector<ModeChange>& changes, const std::optional<WindowsVersion>& windows)
{
    std::vector<std::wstring> keys;
    if (!windows)
        return keys;
    for (const ModeChange& change : changes) {
        if (change.to == StartMode::Disabled && isNeeded(change.serviceKey, generationOf(*windows)))
            keys.push_back(change.serviceKey);
    }
    return keys;
}

std::vector<BackupEntry> without(std::vector<BackupEntry> modes, const std::vector<std::wstring>& keys)
{
    modes.erase(std::remove_if(modes.begin(), modes.end(), [&](const BackupEntry& entry) { return contains(keys, entry.serviceKey); }),
                modes.end());
    return modes;
}

}  // namespace quillora
