#include "platform/service_control.h"

#include <vector>

#include "platform/system_error.h"

namespace quillora::platform {
namespace {

// Delayed automatic start came with Windows Vista; XP answers ERROR_INVALID_LEVEL.
constexpr DWORD kDelayedAutoStartInfo = 3;
struct DelayedAutoStartInfo {
    BOOL delayed;
};

StartMode modeOf(DWORD startType)
{
    switch (startType) {
    case SERVICE_BOOT_START:
        return StartMode::Boot;
    case SERVICE_SYSTEM_START:
        return StartMode::System;
    case SERVICE_AUTO_START:
        return StartMode::Automatic;
    case SERVICE_DISABLED:
        return StartMode::Disabled;
    default:
        return StartMode::Manual;
    }
}

DWORD startTypeOf(StartMode mode)
{
    switch (mode) {
    case StartMode::Boot:
        return SERVICE_BOOT_START;
    case StartMode::System:
        return SERVICE_SYSTEM_START;
    case StartMode::Automatic:
        return SERVICE_AUTO_START;
    case StartMode::Disabled:
        return SERVICE_DISABLED;
    case StartMode::Manual:
        break;
    }
    return SERVICE_DEMAND_START;
}

const char* stateName(DWORD state)
{
    switch (state) {
    case SERVICE_STOPPED:
        return "stopped";
    case SERVICE_START_PENDING:
        return "starting";
    case SERVICE_STOP_PENDING:
        return "stopping";
    case SERVICE_RUNNING:
        return "running";
    case SERVICE_CONTINUE_PENDING:
        return "continuing";
    case SERVICE_PAUSE_PENDING:
        return "pausing";
    case SERVICE_PAUSED:
        return "paused";
    default:
        return "unknown";
    }
}

DWORD startTypeOfService(SC_HANDLE service)
{
    DWORD needed = 0;
    QueryServiceConfigW(service, nullptr, 0, &needed);
    std::vector<unsigned char> buffer(needed ? needed : sizeof(QUERY_SERVICE_CONFIGW));
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!QueryServiceConfigW(service, config, static_cast<DWORD>(buffer.size()), &needed))
        throw systemFailure(GetLastError());
    return config->dwStartType;
}

bool isDelayed(SC_HANDLE service)
{
    DelayedAutoStartInfo info{};
    DWORD needed = 0;
    return QueryServiceConfig2W(service, kDelayedAutoStartInfo, reinterpret_cast<BYTE*>(&info), sizeof info, &needed)
        && info.delayed;
}

}  // namespace

WindowsServiceControl::WindowsServiceControl() : manager_(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT))
{
    if (!manager_)
        throw systemFailure(GetLastError());
}

ServiceHandle WindowsServiceControl::open(const std::wstring& serviceKey, DWORD access)
{
    ServiceHandle service(OpenServiceW(manager_.get(), serviceKey.c_str(), access));
    if (!service && GetLastError() != ERROR_SERVICE_DOES_NOT_EXIST)
        throw systemFailure(GetLastError());
    return service;
}

std::optional<ServiceState> WindowsServiceControl::query(const std::wstring& serviceKey)
{
    const ServiceHandle service = open(serviceKey, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS);
    if (!service)
        return std::nullopt;
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service.get(), &status))
        throw systemFailure(GetLastError());
    return ServiceState{modeOf(startTypeOfService(service.get())), isDelayed(service.get()), stateName(status.dwCurrentState)};
}

void WindowsServiceControl::setStartMode(const std::wstring& serviceKey, StartMode mode, bool delayed)
{
    const ServiceHandle service = open(serviceKey, SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG);
    if (!service)
        throw systemFailure(ERROR_SERVICE_DOES_NOT_EXIST);
    if (!ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, startTypeOf(mode), SERVICE_NO_CHANGE, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr))
        throw systemFailure(GetLastError());
    if (mode != StartMode::Automatic)
        return;
    DelayedAutoStartInfo info{delayed};
    if (!ChangeServiceConfig2W(service.get(), kDelayedAutoStartInfo, &info)) {
        const DWORD error = GetLastError();
        // Windows before Vista has no delayed start: nothing to clear there.
        if (delayed || error != ERROR_INVALID_LEVEL)
            throw systemFailure(error);
    }
}

}  // namespace quillora::platform
