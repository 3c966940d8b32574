#pragma once

#include <functional>

#include <windows.h>

#include "engine/machine/machine.h"
#include "platform/handles.h"

namespace quillora::platform {

inline void closeServiceHandle(SC_HANDLE handle) { CloseServiceHandle(handle); }
using ServiceHandle = Owned<SC_HANDLE, closeServiceHandle>;

// The services of this machine through the Service Control Manager: the one place that opens
// services and reads or sets them.
// The state of each service, from the names one enumeration listed: a listed service is read by its
// name; one the enumeration does not list is not installed, unless it is a per-user template, which
// an enumeration of services need not list, and which is looked up by its name all the same.
std::vector<std::optional<ServiceState>> statesFromListed(
    const std::vector<std::wstring>& serviceKeys, const std::vector<std::wstring>& listed,
    const std::function<std::optional<ServiceState>(const std::wstring&)>& query);

class WindowsServiceControl : public ServiceControl {
public:
    WindowsServiceControl();
    std::optional<ServiceState> query(const std::wstring& serviceKey) override;
    // One enumeration tells which services exist, so that only those are opened.
    std::vector<std::optional<ServiceState>> queryAll(const std::vector<std::wstring>& serviceKeys) override;
    void setStartMode(const std::wstring& serviceKey, StartMode mode, bool delayed) override;
    std::vector<std::wstring> runningDependants(const std::wstring& serviceKey) override;
    bool stop(const std::wstring& serviceKey, std::chrono::milliseconds timeout) override;
    bool start(const std::wstring& serviceKey, std::chrono::milliseconds timeout) override;
    std::wstring description(const std::wstring& serviceKey) override;
    std::wstring displayName(const std::wstring& serviceKey) override;

private:
    // nullptr when no such service is installed.
    ServiceHandle open(const std::wstring& serviceKey, DWORD access);
    // Like open, but a missing service is a failure.
    ServiceHandle openInstalled(const std::wstring& serviceKey, DWORD access);

    ServiceHandle manager_;
};

}  // namespace quillora::platform
