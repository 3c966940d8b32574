#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "engine/answers.h"
#include "engine/backup_file.h"
#include "engine/failure.h"
#include "engine/machine.h"
#include "engine/service_step.h"

namespace quillora {

// What a service command found or did, one line per service and a summary, in UTF-8. complete is
// false when a service differs from what was asked or could not be set.
struct ServiceReport {
    std::string text;
    bool complete = true;
};

// For every step: the service, its current mode and state, what its row sets (the mode, and
// whether the service is stopped or started), and whether that would change anything. Reads only.
ServiceReport statusReport(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers);

// Every installed service that is not as its row leaves it (its mode, and stopped or running where
// the row stops or starts it); incomplete if any is not.
ServiceReport verifyReport(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers);

// The current mode of every service of the catalogue, as a backup.
std::vector<BackupEntry> currentModes(ServiceControl& services);

// The installed services whose start mode a restore of the backup would change, in its order.
std::vector<std::wstring> restoreWouldChange(ServiceControl& services, const std::vector<BackupEntry>& backup);

// What a restore did: the companion's report, and the counts and failures for a window.
struct RestoreResult {
    ServiceReport report;
    int changed = 0;
    int unchanged = 0;
    std::vector<std::pair<std::wstring, PlatformFailure>> failures;  // service key, and why
};

// Sets every service of a checked backup to its saved mode; neither stops nor starts any.
// Complete only if every installed one was set.
RestoreResult restoreModes(ServiceControl& services, const std::vector<BackupEntry>& backup);

// Brings every installed service of the profile to the state its row leaves it in, as the
// program's commands for the row do: a row that stops its service stops it and then sets the
// mode, a manual row only sets the mode, an automatic row sets it and then starts the service. A
// service that running services depend on is left running (its new mode still applies). Each
// wait lasts at most timeout. Complete only if every installed service ended in its row's state.
ServiceReport applyProfile(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers,
                           std::chrono::milliseconds timeout);

}  // namespace quillora
