#pragma once

#include <windows.h>

#include "handles.h"
#include "service_commands.h"

namespace quillora {

inline void closeServiceHandle(SC_HANDLE handle) { CloseServiceHandle(handle); }
using ServiceHandle = platform::Owned<SC_HANDLE, closeServiceHandle>;

// The services of this machine through the Service Control Manager.
class WindowsServiceControl : public ServiceControl {
public:
    WindowsServiceControl();
    std::optional<ServiceState> query(const std::wstring& serviceKey) override;
    void setStartMode(const std::wstring& serviceKey, StartMode mode, bool delayed) override;

private:
    // nullptr when no such service is installed.
    ServiceHandle open(const std::wstring& serviceKey, DWORD access);

    ServiceHandle manager_;
};

std::string readWholeFile(const std::wstring& path);

// Writes a temporary file beside the target and renames it into place, so that a failure never
// leaves a half-written file. An existing target is replaced only when replace is true.
void writeFileAtomically(const std::wstring& path, const std::string& bytes, bool replace);

}  // namespace quillora
