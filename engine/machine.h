#pragma once

#include <optional>
#include <string>

#include "engine/start_mode.h"

namespace quillora {

struct ServiceState {
    StartMode mode;
    bool delayed = false;
    std::string state;  // "running", "stopped", ...
};

// The services of this machine as the companion reads and sets them. On Windows this is the
// Service Control Manager; every call throws PlatformFailure when Windows refuses.
class ServiceControl {
public:
    virtual ~ServiceControl() = default;
    // nullopt when no such service is installed.
    virtual std::optional<ServiceState> query(const std::wstring& serviceKey) = 0;
    virtual void setStartMode(const std::wstring& serviceKey, StartMode mode, bool delayed) = 0;
};

// Whole files, read at once and written so that a failure never leaves half a file. Paths are
// UTF-8; every call throws PlatformFailure when the system refuses.
class Files {
public:
    virtual ~Files() = default;
    virtual bool exists(const std::string& path) = 0;
    virtual std::string read(const std::string& path) = 0;
    // An existing file is replaced only when replace is true.
    virtual void writeAtomically(const std::string& path, const std::string& bytes, bool replace) = 0;
};

// What the companion's service commands work on: this machine's services and files.
class Machine {
public:
    virtual ~Machine() = default;
    virtual ServiceControl& services() = 0;
    virtual Files& files() = 0;
};

}  // namespace quillora
