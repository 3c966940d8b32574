#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "engine/answers.h"
#include "engine/backup_file.h"
#include "engine/machine.h"
#include "engine/service_step.h"

namespace quillora {

// What a service command found or did, one line per service and a summary, in UTF-8. complete is
// false when a service differs from what was asked or could not be set.
struct ServiceReport {
    std::string text;
    bool complete = true;
};

// For every step: the service, its current mode and state, the mode the profile sets, and whether
// that would change anything. Reads only.
ServiceReport statusReport(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers);

// Every installed service whose mode differs from what the profile sets; incomplete if any does.
ServiceReport verifyReport(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers);

// The current mode of every service of the catalogue, as a backup.
std::vector<BackupEntry> currentModes(ServiceControl& services);

// Sets every service of a checked backup to its saved mode; complete only if every installed one
// was set.
ServiceReport restoreModes(ServiceControl& services, const std::vector<BackupEntry>& backup);

// Brings every installed service of the profile to the state its row means: disabled ones are
// stopped and then disabled, manual ones only set, automatic ones set and then started. A service
// that running services depend on is left running (its new mode still applies). Each wait lasts
// at most timeout. Complete only if every installed service ended in the profile's state.
ServiceReport applyProfile(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers,
                           std::chrono::milliseconds timeout);

}  // namespace quillora
