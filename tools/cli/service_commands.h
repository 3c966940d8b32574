#pragma once

#include <optional>
#include <string>
#include <vector>

#include "backup_file.h"
#include "cli.h"
#include "service_step.h"
#include "start_mode.h"

namespace quillora {

struct ServiceState {
    StartMode mode;
    bool delayed = false;
    std::string state;  // "running", "stopped", ...
};

// The services of this machine as the companion reads and sets them. On Windows this is the
// Service Control Manager; it throws PlatformFailure when Windows refuses.
class ServiceControl {
public:
    virtual ~ServiceControl() = default;
    // nullopt when no such service is installed.
    virtual std::optional<ServiceState> query(const std::wstring& serviceKey) = 0;
    virtual void setStartMode(const std::wstring& serviceKey, StartMode mode, bool delayed) = 0;
};

// For every step: the service, its current mode and state, the mode the profile sets, and whether
// that would change anything. Reads only.
CliResult statusCommand(ServiceControl& services, const std::vector<ServiceStep>& steps);

// Every installed service whose mode differs from what the profile sets; status 1 if any does.
CliResult verifyCommand(ServiceControl& services, const std::vector<ServiceStep>& steps);

// The current mode of every service of the catalogue, as a backup.
std::vector<BackupEntry> currentModes(ServiceControl& services);

// Sets every service of a checked backup to its saved mode; status 0 only if every installed one
// was set.
CliResult restoreCommand(ServiceControl& services, const std::vector<BackupEntry>& backup);

}  // namespace quillora
