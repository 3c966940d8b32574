#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/records/backups/backup_file.h"
#include "engine/catalogue/catalogue.h"
#include "engine/machine/failure.h"
#include "engine/machine/machine.h"
#include "engine/plan/service_report.h"

namespace quillora {

// A backup held against this machine's services: what to save, what a restore would change, and
// the restore itself.

// The current mode of every service of the catalogue's lists for this Windows, as a backup.
std::vector<BackupEntry> currentModes(ServiceControl& services, Lists lists);
// The same from states already read, one for each key.
std::vector<BackupEntry> modesOf(const std::vector<std::wstring>& keys, const std::vector<std::optional<ServiceState>>& states);

// One service's start mode before and after a restore.
struct ModeChange {
    std::wstring serviceKey;
    StartMode from;
    bool fromDelayed;
    StartMode to;
    bool toDelayed;
    bool operator==(const ModeChange&) const = default;
};

// Whether a restore of the entry would set the service's start mode on this Windows. An entry of a
// service that was not installed when the backup was made changes nothing.
bool restoreChanges(const BackupEntry& entry, const ServiceState& now, const std::optional<WindowsVersion>& windows);

// The installed services whose start mode a restore of the backup would change, in its order. On a
// Windows before Vista, which has no delayed start, a backup's delayed mark counts for nothing;
// where the Windows is not known, it counts.
std::vector<ModeChange> restoreWouldChange(ServiceControl& services, const std::vector<BackupEntry>& backup,
                                           const std::optional<WindowsVersion>& windows);

// What a restore did: the companion's report, and what changed and the failures for a window.
struct RestoreResult {
    ServiceReport report;
    std::vector<ModeChange> changed;
    // How many saved modes were reached; fewer than all where reaching stopped the restore.
    std::size_t reached = 0;
    std::vector<std::pair<std::wstring, PlatformFailure>> failures;  // service key, and why
};

// Sets every service of a checked backup to its saved mode; neither stops nor starts any.
// Complete only if every installed one was set.
// A backup's delayed mark is set only where the Windows has a delayed start. reaching, where
// given, is told of each saved mode before its service is read and set, and stops the restore
// there where it answers false. The report has a line a service and no totals: those are the
// judged result's.
RestoreResult restoreModes(ServiceControl& services, const std::vector<BackupEntry>& backup,
                           const std::optional<WindowsVersion>& windows,
                           const std::function<bool(const BackupEntry&)>& reaching = nullptr);

}  // namespace quillora
