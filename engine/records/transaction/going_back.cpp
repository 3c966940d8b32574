#include "engine/records/transaction/going_back.h"

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

RestoreResult putBack(MachineRun& run, const std::vector<BackupEntry>& modes, const std::vector<std::wstring>& kept)
{
    ServiceControl& services = servicesOf(run.machine());
    const std::optional<WindowsVersion> windows = run.machine().windowsVersion();
    const RestoreResult restore = restoreModes(services, modes, windows, [&](const BackupEntry& entry) {
        if (run.machine().stopRequested())
            return false;
        run.reached(entry);
        return true;
    });
    RunResult result;
    std::optional<PlatformFailure> unread;
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const BackupEntry& entry = modes[i];
        const std::optional<BackupEntry> before = savedEntry(run.backup(), entry.serviceKey);
        // Stopped before it: nothing was set, and nothing is read.
        if (i >= restore.reached) {
            const Asked asked = entry.mode ? Asked(PutBack{*entry.mode, entry.delayed}) : Asked();
            result.services.push_back({entry.serviceKey, before, asked, std::nullopt, Outcome::NotLaunched, std::nullopt});
            continue;
        }
        const std::optional<ServiceState> after = readAfter(services, entry.serviceKey, unread);
        // A service that was not installed when the modes were saved is left as it is.
        if (!entry.mode) {
            result.services.push_back({entry.serviceKey, before, Asked(), after,
                                       unread ? Outcome::Unknown : after ? Outcome::Unchanged : Outcome::NotInstalled,
                                       std::nullopt});
            continue;
        }
        result.services.push_back(judgePutBack(entry, before, after, unread.has_value(), restore, windows));
    }
    for (const std::wstring& key : kept)
        result.services.push_back({key, savedEntry(run.backup(), key), Asked(), readAfter(services, key, unread),
                                   Outcome::LeftAloneNeeded, std::nullopt});
    if (unread)
        run.readBackFailed(*unread);
    run.finish(std::move(result));
    return restore;
}

std::vector<std::wstring> neededStartedLess(const std::vector<ModeChange>& changes, const std::optional<WindowsVersion>& windows)
{
    std::vector<std::wstring> keys;
    if (!windows)
        return keys;
    for (const ModeChange& change : changes) {
        // Boot, system, automatic, manual, disabled: later in that order starts less readily.
        const bool less = static_cast<int>(change.to) > static_cast<int>(change.from);
        if (less && isNeeded(change.serviceKey, generationOf(*windows)))
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
