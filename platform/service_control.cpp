#include "platform/service_control.h"

#include "engine/catalogue/catalogue.h"

#include <algorithm>
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

RunState runStateOf(DWORD state)
{
    switch (state) {
    case SERVICE_STOPPED:
        return RunState::Stopped;
    case SERVICE_START_PENDING:
        return RunState::Starting;
    case SERVICE_STOP_PENDING:
        return RunState::Stopping;
    case SERVICE_RUNNING:
        return RunState::Running;
    case SERVICE_CONTINUE_PENDING:
        return RunState::Continuing;
    case SERVICE_PAUSE_PENDING:
        return RunState::Pausing;
    case SERVICE_PAUSED:
        return RunState::Paused;
    default:
        return RunState::Unknown;
    }
}

// The service's configuration, in a buffer that also holds the strings it points to.
std::vector<unsigned char> configOf(SC_HANDLE service)
{
    DWORD needed = 0;
    QueryServiceConfigW(service, nullptr, 0, &needed);
    std::vector<unsigned char> buffer(needed ? needed : sizeof(QUERY_SERVICE_CONFIGW));
    if (!QueryServiceConfigW(service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()),
                             static_cast<DWORD>(buffer.size()), &needed))
        throw systemFailure(GetLastError());
    return buffer;
}

DWORD startTypeOfService(SC_HANDLE service)
{
    return reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(configOf(service).data())->dwStartType;
}

bool isDelayed(SC_HANDLE service)
{
    DelayedAutoStartInfo info{};
    DWORD needed = 0;
    return QueryServiceConfig2W(service, kDelayedAutoStartInfo, reinterpret_cast<BYTE*>(&info), sizeof info, &needed)
        && info.delayed;
}

SERVICE_STATUS currentStatus(SC_HANDLE service)
{
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service, &status))
        throw systemFailure(GetLastError());
    return status;
}

// Polls the service until it reaches the state, gives up on its way (stopped while starting), or
// the time is up; the status it was last seen in. The Service Control Manager of Windows XP has
// no notification of state changes, so polling is what works everywhere.
SERVICE_STATUS waitForState(SC_HANDLE service, DWORD wanted, std::chrono::milliseconds timeout)
{
    constexpr DWORD kPollMilliseconds = 100;
    const DWORD started = GetTickCount();
    SERVICE_STATUS status = currentStatus(service);
    while (status.dwCurrentState != wanted && GetTickCount() - started < static_cast<DWORD>(timeout.count())) {
        if (wanted == SERVICE_RUNNING && status.dwCurrentState == SERVICE_STOPPED)
            break;
        Sleep(kPollMilliseconds);
        status = currentStatus(service);
    }
    return status;
}

}  // namespace

WindowsServiceControl::WindowsServiceControl()
    : manager_(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE))
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
    return ServiceState{modeOf(startTypeOfService(service.get())), isDelayed(service.get()),
                        runStateOf(currentStatus(service.get()).dwCurrentState)};
}

ServiceHandle WindowsServiceControl::openInstalled(const std::wstring& serviceKey, DWORD access)
{
    ServiceHandle service = open(serviceKey, access);
    if (!service)
        throw systemFailure(ERROR_SERVICE_DOES_NOT_EXIST);
    return service;
}

void WindowsServiceControl::setStartMode(const std::wstring& serviceKey, StartMode mode, bool delayed)
{
    const ServiceHandle service = openInstalled(serviceKey, SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG);
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

std::vector<std::wstring> WindowsServiceControl::runningDependants(const std::wstring& serviceKey)
{
    const ServiceHandle service = openInstalled(serviceKey, SERVICE_ENUMERATE_DEPENDENTS);
    DWORD needed = 0, count = 0;
    std::vector<unsigned char> buffer(sizeof(ENUM_SERVICE_STATUSW));
    while (!EnumDependentServicesW(service.get(), SERVICE_ACTIVE, reinterpret_cast<ENUM_SERVICE_STATUSW*>(buffer.data()),
                                   static_cast<DWORD>(buffer.size()), &needed, &count)) {
        if (GetLastError() != ERROR_MORE_DATA)
            throw systemFailure(GetLastError());
        buffer.resize(needed);
    }
    std::vector<std::wstring> names;
    const auto* dependants = reinterpret_cast<const ENUM_SERVICE_STATUSW*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(dependants[i].lpServiceName);
    return names;
}

bool WindowsServiceControl::stop(const std::wstring& serviceKey, std::chrono::milliseconds timeout)
{
    const ServiceHandle service = openInstalled(serviceKey, SERVICE_STOP | SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (!ControlService(service.get(), SERVICE_CONTROL_STOP, &status) && GetLastError() != ERROR_SERVICE_NOT_ACTIVE)
        throw systemFailure(GetLastError());
    return waitForState(service.get(), SERVICE_STOPPED, timeout).dwCurrentState == SERVICE_STOPPED;
}

bool WindowsServiceControl::start(const std::wstring& serviceKey, std::chrono::milliseconds timeout)
{
    const ServiceHandle service = openInstalled(serviceKey, SERVICE_START | SERVICE_QUERY_STATUS);
    if (!StartServiceW(service.get(), 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
        throw systemFailure(GetLastError());
    const SERVICE_STATUS status = waitForState(service.get(), SERVICE_RUNNING, timeout);
    if (status.dwCurrentState == SERVICE_STOPPED)
        throw systemFailure(status.dwWin32ExitCode ? status.dwWin32ExitCode : ERROR_SERVICE_NEVER_STARTED);
    return status.dwCurrentState == SERVICE_RUNNING;
}

std::vector<std::optional<ServiceState>> WindowsServiceControl::queryAll(const std::vector<std::wstring>& serviceKeys)
{
    DWORD needed = 0, count = 0, resume = 0;
    std::vector<unsigned char> buffer(64 * 1024);
    std::vector<std::wstring> installed;
    for (;;) {
        const BOOL done = EnumServicesStatusExW(manager_.get(), SC_ENUM_PROCESS_INFO, SERVICE_WIN32 | SERVICE_DRIVER,
                                                SERVICE_STATE_ALL, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                &needed, &count, &resume, nullptr);
        if (!done && GetLastError() != ERROR_MORE_DATA)
            throw systemFailure(GetLastError());
        const auto* services = reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
        for (DWORD i = 0; i < count; ++i)
            installed.push_back(services[i].lpServiceName);
        if (done)
            break;
        buffer.resize(std::max<std::size_t>(buffer.size(), needed));
    }
    return statesFromListed(serviceKeys, installed, [this](const std::wstring& key) { return query(key); });
}

std::vector<std::optional<ServiceState>> statesFromListed(
    const std::vector<std::wstring>& serviceKeys, const std::vector<std::wstring>& listed,
    const std::function<std::optional<ServiceState>(const std::wstring&)>& query)
{
    std::vector<std::optional<ServiceState>> states;
    for (const std::wstring& key : serviceKeys) {
        const bool exists = std::any_of(listed.begin(), listed.end(),
                                        [&](const std::wstring& name) { return lstrcmpiW(name.c_str(), key.c_str()) == 0; });
        states.push_back(exists || isUserTemplate(key) ? query(key) : std::nullopt);
    }
    return states;
}

std::wstring WindowsServiceControl::displayName(const std::wstring& serviceKey)
{
    const ServiceHandle service = open(serviceKey, SERVICE_QUERY_CONFIG);
    if (!service)
        return {};
    const std::vector<unsigned char> buffer = configOf(service.get());
    const auto* config = reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(buffer.data());
    return config->lpDisplayName ? config->lpDisplayName : L"";
}

std::wstring WindowsServiceControl::description(const std::wstring& serviceKey)
{
    const ServiceHandle service = open(serviceKey, SERVICE_QUERY_CONFIG);
    if (!service)
        return {};
    DWORD needed = 0;
    QueryServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, nullptr, 0, &needed);
    if (needed == 0)
        return {};
    std::vector<BYTE> buffer(needed);
    if (!QueryServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, buffer.data(), needed, &needed))
        return {};
    const auto* text = reinterpret_cast<const SERVICE_DESCRIPTIONW*>(buffer.data());
    return text->lpDescription ? text->lpDescription : L"";
}

}  // namespace quillora::platform
